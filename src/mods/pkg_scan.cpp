#include "mods/pkg_scan.h"

#include <chrono>
#include <memory>
#include <utility>

#include "archive/seven_zip_abi.h"
#include "archive/seven_zip_plugin.h"
#include "common/interrupt_cleanup.h"
#include "common/text.h"
#include "config/sign_match.h"
#include "mods/byte_helpers.h"

namespace ashtint {

namespace {

std::string& LibraryPathValue() {
  static std::string path;
  return path;
}

std::atomic<int> retryPauseMs{3000};

}  // namespace

void SetArchiveLibraryPath(const std::string& path) {
  LibraryPathValue() = path;
  try {
    T7zPlugin load(path);  // loaded here, on the main thread, once for the whole process
  } catch (const std::exception&) {
    // A library that cannot be loaded is each worker's error to report.
  }
}
const std::string& ArchiveLibraryPath() { return LibraryPathValue(); }
void SetRetryPauseMs(int ms) { retryPauseMs = ms; }
int RetryPauseMs() { return retryPauseMs; }

std::string OutputPathOf(const std::string& outDir, const std::string& itemPath) {
  auto refuse = [&] { throw EItemPathError("Item path leaves the output folder: " + itemPath); };
  if (itemPath.empty() || itemPath.front() == '\\' || itemPath.front() == '/') refuse();
  if (itemPath.find(':') != std::string::npos) refuse();  // a drive, or a stream on Windows
  std::string path = outDir;
  std::size_t start = 0;
  while (start <= itemPath.size()) {
    std::size_t end = itemPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = itemPath.size();
    const std::string_view part(itemPath.data() + start, end - start);
    if (part == "..") refuse();
    if (!part.empty() && part != ".") {
      if (path.size() > outDir.size()) path += PathDelim;
      path += part;
    }
    start = end + 1;
  }
  if (path.size() == outDir.size()) refuse();
  return path;
}

ThPkgScan::ThPkgScan(std::string pkgFile, TLogProc onLog, std::string outDir, std::string clientDir)
    : PkgFile(std::move(pkgFile)), ClientDir(std::move(clientDir)), OutDir(std::move(outDir)), OnLog(std::move(onLog)) {}

ThPkgScan::~ThPkgScan() {
  Join();
  if (OnLog && !LogLines.empty()) {
    std::string block;
    for (std::size_t i = 0; i < LogLines.size(); ++i) {
      if (i > 0) block += LineEnd;
      block += LogLines[i];
    }
    LogLines.clear();
    OnLog(block);
  }
}

void ThPkgScan::Join() {
  if (!thread_.joinable()) return;
  // The thread may still wait for a call of its own: serve them until it ends.
  while (!Finished()) {
    const auto seen = queue_->Events();
    {
      std::lock_guard writing(OutputWriteMutex());
      queue_->Serve();
    }
    if (Finished()) break;
    queue_->WaitForEvent(seen);
  }
  thread_.join();
}

void ThPkgScan::Start(TMainThreadQueue& queue) {
  queue_ = &queue;
  thread_ = std::thread([this] { ThreadBody(); });
}

void ThPkgScan::ThreadBody() {
  try {
    Execute();
  } catch (const std::exception& e) {
    ErrorText = ErrorReport(e);
  } catch (...) {
    ErrorText = Report("", "Exception", "Unknown error");
  }
  archive_.reset();
  finished_.store(true, std::memory_order_release);
  queue_->NotifyWorkerEnded();
}

void ThPkgScan::AddLog(const std::string& text) {
  if (HasLog()) LogLines.push_back(text);
}

void ThPkgScan::Synchronize(const std::function<void()>& call) { queue_->Synchronize(call); }

bool ThPkgScan::SaveOutput(TBytesArray& bytes, const std::string& fileName) {
  SaveFailure.clear();
  return Content ? Content->Save(std::move(bytes), fileName, &SaveFailure) : SaveBytes(bytes, fileName, &SaveFailure);
}

std::string ThPkgScan::Report(const std::string& file, const std::string& type, const std::string& message) const {
  std::string r = "Pkg: " + PkgFile + LineEnd;
  if (!file.empty()) r += "File: " + file + LineEnd;
  return r + "Type: " + type + LineEnd + "Message: " + message;
}

std::string ThPkgScan::SaveErrorReport(const std::string& pkg, const std::string& file, const std::string& reason) {
  return "Pkg: " + pkg + LineEnd + "File: " + file + LineEnd + "Type: I/O" + LineEnd + "Message: Unable to save file!" +
         (reason.empty() ? std::string() : " " + reason);
}

std::string ThPkgScan::ErrorReport(const std::exception& e) { return Report("", ExceptionClassName(e), e.what()); }

void ThPkgScan::RunAttempts(bool resetCount, std::uint64_t minSize) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) {
      if (ErrorText.empty() || stopAttempts_) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(RetryPauseMs()));
    }
    ErrorText.clear();
    if (resetCount) FilesWritten = 0;
    BeginAttempt();
    try {
      ScanPackage(minSize);
    } catch (const std::exception& e) {
      ErrorText = ErrorReport(e);
      // Another attempt cannot make a hostile item path safe.
      if (dynamic_cast<const EItemPathError*>(&e) != nullptr) StopAttempts();
    }
  }
}

void ThPkgScan::ScanPackage(std::uint64_t minSize) {
  AddLog("Open \t" + PkgFile);
  struct TCloser {
    ThPkgScan& self;
    ~TCloser() {
      self.AddLog("Close \t" + self.PkgFile);
      if (self.archive_) {
        try {
          self.archive_->Close();
        } catch (...) {
        }
        self.archive_.reset();
      }
    }
  } closer{*this};
  archive_ = CreateInArchive(szabi::CLSID_CFormatZip, ArchiveLibraryPath());
  archive_->OpenFile(PkgFile);
  const std::uint32_t count = archive_->ItemCount();
  for (std::uint32_t i = 0; i < count; ++i) {
    if (archive_->ItemIsFolder(i)) continue;
    if (minSize != 0 && archive_->ItemSize(i) <= minSize) continue;
    if (!ProcessItem(*archive_, i)) break;
  }
}

std::uint8_t PartKindOf(const std::string& lowerPath) {
  if (lowerPath.find("chassis") != std::string::npos) return pkChassis;
  if (lowerPath.find("hull") != std::string::npos) return pkHull;
  if (lowerPath.find("gun") != std::string::npos) return pkGun;
  if (lowerPath.find("turret") != std::string::npos || lowerPath.find("segment") != std::string::npos) return pkTurret;
  return pkOther;
}

std::uint8_t FolderKindOf(const std::string& lowerPath) {
  const auto slash = lowerPath.find_last_of('\\');
  const std::string_view folder(lowerPath.data(), slash == std::string::npos ? 0 : slash);
  if (folder.find("\\normal") != std::string_view::npos) return fkNormal;
  if (folder.find("\\crash") != std::string_view::npos) return fkCrash;
  if (folder.find("\\collision") != std::string_view::npos) return fkCollision;
  if (folder.find("\\track") != std::string_view::npos) return fkTrack;
  return fkOther;
}

void ThVisualScan::SetSigns(const ARFiles& roots, std::uint32_t minSize) {
  const ARSign rules = MakeSignRules(roots);
  Signs.insert(Signs.end(), rules.begin(), rules.end());
  if (minSize != 0) MinSize = minSize;
}

bool ThVisualScan::Matches(const std::string& lowerPath) const { return AnySignMatches(Signs, lowerPath); }

void ThVisualScan::Execute() {
  if (Signs.empty()) return;
  RunAttempts(true, MinSize);
}

std::string ThVisualScan::ErrorReport(const std::exception& e) {
  return Report(ItemPath, ExceptionClassName(e), e.what());
}

bool ThVisualScan::SelectCrashModel(I7zInArchive& archive, std::uint32_t index, bool (*takesPart)(std::uint8_t)) {
  const std::string path = archive.ItemPath(index);
  const std::string lower = LowerCase(path);
  if (!EndsText(".visual_processed", lower) || !Matches(lower)) return false;
  ItemPath = path;
  PartKind = PartKindOf(lower);
  if (!takesPart(PartKind)) return false;
  FolderKind = FolderKindOf(lower);
  if (FolderKind != fkCrash) return false;
  OutFile = OutputPathOf(OutDir, ItemPath);  // refuses a path that leaves the output folder
  return true;
}

void ThVisualScan::ReadData(I7zInArchive& archive, std::uint32_t index) {
  AddLog("Read \t" + ItemPath);
  TMemoryStream stream;
  archive.ExtractItem(index, stream);
  Data = std::move(stream.Bytes());
}

bool ThVisualScan::WriteData(bool changed) {
  bool goOn = true;
  if (changed) {
    AddLog("Write \t" + OutFile);
    Saved = false;
    if (!Data.empty()) Synchronize([this] { Saved = SaveOutput(Data, OutFile); });
    if (Saved) {
      ++FilesWritten;
    } else {
      ErrorText = SaveErrorReport(PkgFile, ItemPath, SaveFailure);
      StopAttempts();
      goOn = false;
    }
  }
  Data.clear();
  return goOn;
}

}  // namespace ashtint
