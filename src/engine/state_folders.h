// Where the engine keeps what it writes for itself: its configuration files, its log and a
// downloaded archive library. Beside its own file when that folder is writable (a portable or
// build-folder run), otherwise in the user's folders (installed under /usr/bin, for example).
#pragma once

#include <functional>
#include <string>

namespace ashtint {

struct RStateFolders {
  bool Portable = true;
  std::string Configs;   // each ends with the separator
  std::string Log;
  std::string Library;
  std::string InstalledConfigs;  // the configuration files installed with the program
};

// env reads an environment variable (empty when unset). Linux: $XDG_DATA_HOME/ashtint/configs/,
// $XDG_STATE_HOME/ashtint/ and $XDG_DATA_HOME/ashtint/, with the usual defaults below $HOME.
RStateFolders ResolveStateFolders(const std::string& programFolder, bool programFolderWritable,
                                  const std::function<std::string(const char*)>& env);

// Copies every configuration file of `from` that `to` lacks (the folder is made when missing),
// so the user's copies start from the installed ones and later refreshes replace only theirs.
// Empty when done, else why the copies could not be made, in the system's words.
std::string SeedConfigFiles(const std::string& from, const std::string& to);

// Whether the folder holds any of the four configuration files.
bool HasConfigFiles(const std::string& folder);

}  // namespace ashtint
