#include "engine/run_registry.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "common/file_system.h"
#include "common/own_packages.h"
#include "common/sibling_file.h"
#include "common/text.h"
#include "engine/engine_run.h"
#include "engine/run_options.h"
#include "engine/system_facts.h"

namespace ashtint {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStampPrefix = "stamp.";
constexpr const char* kRunPrefix = "run.";

// A temporary folder of a run is the system's temporary folder plus a GUID: nothing else is
// ever deleted on a run file's word.
bool IsRunFolderName(const std::string& name) {
  return name.size() == 38 && name.front() == '{' && name.back() == '}' &&
         name.find_first_not_of("0123456789ABCDEF-", 1) == 37;
}

std::string ReadSmallFile(const fs::path& p) {
  std::string text;
  if (std::FILE* f = std::fopen(p.string().c_str(), "rb")) {
    char buf[1024];
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    text.assign(buf, n);
    std::fclose(f);
  }
  return text;
}

// Line 1 the stamp, line 2 the temporary folder.
void ParseRunFile(const std::string& text, std::string& stamp, std::string& tempRoot) {
  const auto nl = text.find('\n');
  stamp = text.substr(0, nl);
  tempRoot = nl == std::string::npos ? std::string() : text.substr(nl + 1);
  if (!tempRoot.empty() && tempRoot.back() == '\n') tempRoot.pop_back();
}

}  // namespace

TRunRegistry::TRunRegistry(std::string folder) : folder_(std::move(folder)) {}

TRunRegistry::~TRunRegistry() {
  // A temporary folder this run could not remove stays known, for the next run to remove.
  std::error_code ec;
  if (!tempRoot_.empty() && fs::exists(fs::path(tempRoot_), ec))
    lock_.Abandon();
  else
    lock_.Release();
}

std::string TRunRegistry::ClaimStamp(std::time_t now) {
  if (folder_.empty()) return MakeRunStamp(now);
  // Claims of stamps long past guard nothing any more.
  std::error_code ec;
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
  for (fs::directory_iterator it(fs::path(folder_), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    if (it->path().filename().string().rfind(kStampPrefix, 0) == 0 && fs::last_write_time(it->path(), sec) < old &&
        !sec)
      fs::remove(it->path(), sec);
  }
  for (int ahead = 0; ahead < 600; ++ahead) {
    const std::string stamp = MakeRunStamp(now + ahead);
    if (CreateFileExclusive(folder_ + kStampPrefix + stamp)) return stamp;
    if (!fs::exists(fs::path(folder_ + kStampPrefix + stamp), ec)) break;  // claims cannot be made here
  }
  return MakeRunStamp(now);
}

void TRunRegistry::Register(const std::string& stamp, const std::string& tempRoot) {
  if (folder_.empty()) return;
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
    if (lock_.Acquire(folder_ + kRunPrefix + tag, stamp + "\n" + StripTrailingBackslashes(tempRoot) + "\n")) {
      tempRoot_ = StripTrailingBackslashes(tempRoot);
      SetSiblingTempTag(tag);
      return;
    }
  }
}

TRunRegistry::RLive TRunRegistry::LiveRuns() const {
  RLive live;
  if (folder_.empty()) return live;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(folder_), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kRunPrefix, 0) != 0 || ProbeRunLock(it->path().string()) != TRunLockState::Held) continue;
    std::string stamp, tempRoot;
    ParseRunFile(ReadSmallFile(it->path()), stamp, tempRoot);
    live.Tags.insert(name.substr(std::string(kRunPrefix).size()));
    if (!stamp.empty()) live.Stamps.insert(stamp);
  }
  return live;
}

TStrArray TRunRegistry::RemoveDeadRuns() {
  TStrArray removed;
  if (folder_.empty()) return removed;
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(fs::path(folder_), ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().rfind(kRunPrefix, 0) == 0) files.push_back(it->path());
  for (const auto& file : files) {
    if (ProbeRunLock(file.string()) != TRunLockState::Free) continue;
    std::string stamp, tempRoot;
    ParseRunFile(ReadSmallFile(file), stamp, tempRoot);
    if (IsRunFolderName(ExtractFileName(tempRoot)) && DirectoryExists(tempRoot)) {
      DeleteFolderTree(tempRoot);
      removed.push_back(tempRoot);
    }
    std::error_code rec;
    if (!DirectoryExists(tempRoot)) fs::remove(file, rec);
  }
  return removed;
}

TStrArray FindStaleTempPackages(const std::string& modsFolder, const std::set<std::string>& liveTags) {
  TStrArray found;
  std::error_code ec;
  for (fs::directory_iterator it(fs::path(modsFolder), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sec;
    if (it->is_symlink(sec)) continue;
    const std::string name = it->path().filename().string();
    if (it->is_directory(sec)) {
      const TStrArray sub = FindStaleTempPackages(IncludeTrailingPathDelimiter(it->path().string()), liveTags);
      found.insert(found.end(), sub.begin(), sub.end());
      continue;
    }
    const auto at = name.rfind(".~");
    if (at == std::string::npos || !IsOldWotmodName(name.substr(0, at))) continue;
    const auto tag = SiblingTempTagOf(name, name.substr(0, at));
    if (tag && liveTags.count(*tag) == 0) found.push_back(IncludeTrailingPathDelimiter(modsFolder) + name);
  }
  return found;
}

}  // namespace ashtint
