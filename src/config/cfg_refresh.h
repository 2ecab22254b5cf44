// Refreshing the configuration files from the online repository.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace ashtint {

// Result codes of RefreshCfgFile.
enum TCfgRefreshResult : int {
  crCurrent = 0,        // the local file is current
  crUpdated = 1,        // the local file was replaced by the repository's copy
  crSoftOutdated = 2,   // the repository's copy needs a newer engine; local file kept
  crDisconnect = 3,     // no usable answer from the repository; local file kept
  crWriteFailed = 4,    // the repository's copy could not be written; local file kept
};

// The engine's texts around the refresh: the step's head line, and the question of the run
// without keys.
inline constexpr const char* CfgRefreshHeadLine = "  > Check and download configs:";
inline constexpr const char* CfgRefreshQuestion = "  > Check and download configs? [Press Y/N and ENTER] ";

// The four files, in the order the engine refreshes them.
inline constexpr std::array<const char*, 4> CfgFileNames = {"CrashTanks.cfg", "MapTanks.cfg", "MapTrains.cfg",
                                                             "Camouflage.cfg"};

// Compares the local file with baseUrl + its file name and replaces it when the repository has
// a newer version that this engine build may use. Only an answer with a success status, of
// text (no NUL byte) of a configuration's size, that parses as a usable configuration whose
// roots name game paths may replace the local file, and only whole (written beside it, then
// renamed over it); anything else is crDisconnect. why, when given, receives the reason of a
// crDisconnect or crWriteFailed. Never throws.
int RefreshCfgFile(const std::string& localPath, int programBuild, std::string_view baseUrl,
                   std::string* why = nullptr) noexcept;

// The word the engine prints for a result: "OK", "Updated", "Soft is outdated, needs an update!",
// "Cannot write the file!" and "Disconnect" for anything else.
const char* CfgRefreshWord(int result);

// What the engine writes before refreshing a file: ten spaces, the file name + "... ", then
// spaces so that the result starts in column 31.
std::string CfgRefreshLabel(std::string_view fileName);

// Refreshes the four files in configsPath (ends with a separator) in their order. For each it
// calls write (no line end) with the label before the fetch and writeLn (with line end) with the
// result word after it, and log (when given) with the file, the word and its reason. Head line
// and the empty line after the four are the caller's.
void RefreshCfgFiles(const std::string& configsPath, int programBuild, std::string_view baseUrl,
                     const std::function<void(const std::string&)>& write,
                     const std::function<void(const std::string&)>& writeLn,
                     const std::function<void(const std::string&)>& log = {});

}  // namespace ashtint
