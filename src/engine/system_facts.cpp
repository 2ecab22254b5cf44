#include "engine/system_facts.h"

#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "common/sibling_file.h"
#include "common/text.h"
#include "platform/disk_space.h"
#include "platform/file_stream.h"
#include "platform/processor_count.h"
#include "platform/temp_folder.h"

namespace ashtint {

namespace fs = std::filesystem;

std::uint16_t CPUCountFromReported(unsigned long long reported) {
  if (reported == 0 || reported > std::numeric_limits<std::uint16_t>::max()) return 1;
  return static_cast<std::uint16_t>(reported);
}

std::uint16_t GetCPUCount() { return CPUCountFromReported(LogicalProcessorCount()); }

std::string GetTempFolder() { return SystemTempFolder(); }

TFreeSpaceQueries SystemFreeSpaceQueries() {
  return TFreeSpaceQueries{[](std::string_view p) { return PathDrive(p); },
                           [](const std::string& p) { return VolumeFreeBytes(p); },
                           [](const std::string& a, const std::string& b) { return SameVolume(a, b); }};
}

namespace {

// free < 1.1 x factor x required, in whole numbers so that the boundary is exact.
bool BelowNeed(std::uint64_t freeBytes, std::uint64_t required, std::uint64_t factor) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t mul = 11 * factor;
  if (required > kMax / mul) return true;  // more than any disk holds
  const std::uint64_t need10 = required * mul;
  if (freeBytes > kMax / 10) return false;
  return freeBytes * 10 < need10;
}

}  // namespace

bool CheckFreeSpace(const std::string& modsPath, const std::string& tempPath, std::uint64_t requiredBytes,
                    const TFreeSpaceQueries& queries) {
  if (queries.drive(modsPath).empty()) return true;
  const auto modsFree = queries.freeBytes(modsPath);
  if (modsFree && BelowNeed(*modsFree, requiredBytes, 1)) return false;
  if (tempPath.empty()) return true;
  const auto tempFree = queries.freeBytes(tempPath);
  if (tempFree) {
    // Temporary files and the package built from them share one drive: room for both.
    const std::uint64_t factor = queries.sameDrive(modsPath, tempPath) ? 2 : 1;
    if (BelowNeed(*tempFree, requiredBytes, factor)) return false;
  }
  return true;
}

bool CheckFreeSpace(const std::string& modsPath, const std::string& tempPath, std::uint64_t requiredBytes) {
  return CheckFreeSpace(modsPath, tempPath, requiredBytes, SystemFreeSpaceQueries());
}

namespace {

// Entries of a folder; empty when it cannot be listed. Read whole before anything is deleted.
std::vector<fs::directory_entry> ListFolder(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    entries.push_back(*it);
  }
  return entries;
}

// A real folder, not a link to one.
bool IsRealFolder(const fs::directory_entry& entry) {
  std::error_code ec;
  return fs::symlink_status(entry.path(), ec).type() == fs::file_type::directory;
}

bool FolderTreeEmpty(const fs::path& folder) {
  for (const auto& entry : ListFolder(folder))
    if (!IsRealFolder(entry) || !FolderTreeEmpty(entry.path())) return false;
  return true;
}

void DeleteTree(const fs::path& folder) {
  std::error_code ec;
  for (const auto& entry : ListFolder(folder)) {
    if (IsRealFolder(entry))
      DeleteTree(entry.path());
    else
      fs::remove(entry.path(), ec);  // a file, or a link itself
  }
  fs::remove(folder, ec);  // fails, and stays, while anything is left inside
}

}  // namespace

bool IsFolderEmpty(const std::string& folder) {
  if (folder.empty()) return true;
  return FolderTreeEmpty(fs::path(IncludeTrailingPathDelimiter(folder)));
}

void DeleteFolderTree(const std::string& folder) {
  const std::string stripped = StripTrailingBackslashes(folder);
  if (stripped.empty()) return;  // never the root of the file system
  const fs::path p(stripped);
  if (p.has_root_path() && !p.has_relative_path()) return;  // a drive root such as "C:\" or "C:"
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(p, ec);
  if (ec) return;
  if (st.type() == fs::file_type::symlink) {
    fs::remove(p, ec);  // the link goes, its target stays
    return;
  }
  if (st.type() != fs::file_type::directory) return;
  DeleteTree(p);
}

std::string FolderWriteProblem(const std::string& folder) {
  if (folder.empty()) return "";
  std::error_code ec;
  fs::create_directories(fs::path(folder), ec);
  if (ec) return "Cannot create folder \"" + folder + "\". " + ec.message();
  const std::string probe = SiblingTempName(IncludeTrailingPathDelimiter(folder) + "write-test");
  try {
    TFileStream(probe, TFileMode::fmCreate).WriteBuffer("x", 1);
  } catch (const std::exception& e) {
    fs::remove(fs::path(probe), ec);
    return e.what();
  }
  fs::remove(fs::path(probe), ec);
  return "";
}

std::string StripTrailingBackslashes(std::string_view text) {
  while (!text.empty() && text.back() == PathDelim) text.remove_suffix(1);
  return std::string(text);
}

}  // namespace ashtint
