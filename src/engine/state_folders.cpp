#include "engine/state_folders.h"

#include <filesystem>

#include "common/file_system.h"
#include "common/text.h"

namespace ashtint {

namespace fs = std::filesystem;

RStateFolders ResolveStateFolders(const std::string& programFolder, bool programFolderWritable,
                                  const std::function<std::string(const char*)>& env) {
  RStateFolders s;
  const std::string program = IncludeTrailingPathDelimiter(programFolder);
  s.InstalledConfigs = program;
#ifndef _WIN32
  // Installed as bin/AshtintCreator2 beside share/ashtint/configs/.
  const std::string shared = program + ".." + PathDelim + "share" + PathDelim + "ashtint" + PathDelim + "configs" + PathDelim;
  if (DirectoryExists(shared)) s.InstalledConfigs = shared;
#endif
  s.Portable = programFolderWritable;
  const std::string home = env("HOME");
  if (s.Portable || home.empty()) {
    s.Configs = s.Log = s.Library = program;
    return s;
  }
  auto base = [&](const char* variable, const char* fallback) {
    std::string v = env(variable);
    // Relative values are to be ignored, as the base directory rules say.
    if (v.empty() || v[0] != '/') v = IncludeTrailingPathDelimiter(home) + fallback;
    return IncludeTrailingPathDelimiter(v) + "ashtint" + PathDelim;
  };
  s.Library = base("XDG_DATA_HOME", ".local/share");
  s.Configs = s.Library + "configs" + PathDelim;
  s.Log = base("XDG_STATE_HOME", ".local/state");
  return s;
}

namespace {
constexpr const char* kConfigNames[] = {"CrashTanks.cfg", "MapTanks.cfg", "MapTrains.cfg", "Camouflage.cfg"};
}  // namespace

std::string SeedConfigFiles(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::create_directories(fs::path(to), ec);
  if (ec) return "Cannot create folder \"" + to + "\". " + ec.message();
  for (const char* name : kConfigNames) {
    const std::string target = IncludeTrailingPathDelimiter(to) + name;
    if (FileExists(target) || !FileExists(from + name)) continue;
    fs::copy_file(fs::path(from + name), fs::path(target), ec);
    if (ec) return "Cannot copy \"" + from + name + "\" to \"" + target + "\". " + ec.message();
  }
  return "";
}

bool HasConfigFiles(const std::string& folder) {
  for (const char* name : kConfigNames)
    if (FileExists(IncludeTrailingPathDelimiter(folder) + name)) return true;
  return false;
}

}  // namespace ashtint
