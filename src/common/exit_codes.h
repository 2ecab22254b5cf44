// The engine's exit codes and their texts: one contract between the engine and the front end.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace ashtint {

enum ExitCode : int {
  ecSuccess = 0,
  ecWotPathMissing = 16001,
  ecClientNotRecognized = 16002,
  ecGameExeNotFound = 16003,
  ecNoPackages = 16004,
  ecCrashTanksCfg = 16005,
  ecMapTanksCfg = 16006,
  ecMapTrainsCfg = 16007,
  ecCamouflageCfg = 16008,
  ecSevenZipMissing = 16009,
  ecNoFreeSpace = 16010,
  ecAllInOneEmpty = 16091,
  ecAllInOneFailed = 16092,
  // Not in the table: an error nobody expected.
  ecUnhandledError = 255,
};

inline constexpr int ExitCodeBase = 16000;
inline constexpr int ExitCodeFirst = 16001;
inline constexpr int ExitCodeLast = 16092;

// Stage error codes: 16000 + 10 * (stage index 1..6) + kind.
inline constexpr int StageErrorWorker = 1;    // a worker reported an error
inline constexpr int StageErrorNoFiles = 2;   // the work folder holds no file at packing time
inline constexpr int StageErrorPacking = 3;   // packing the stage's package failed
constexpr int StageExitCode(int stageIndex, int kind) { return ExitCodeBase + 10 * stageIndex + kind; }

// 100 texts indexed by code - 16000; unlisted codes hold the empty text.
const std::array<std::string, 100>& ExitCodeTexts();

// The text of an engine exit code, empty for codes the table does not list.
std::string ExitCodeText(int code);

// POSIX keeps only the low 8 bits of an exit status. The engine's codes 16001..16092 have the
// distinct low bytes 129..220, so the engine exits with the low byte there...
int ToProcessExitStatus(int code);

// ...and every reader maps a status of 129..220 back to 16001..16092. Other statuses are
// returned unchanged. Only for a normal exit: a death by signal is not an exit code.
int FromProcessExitStatus(int status);

}  // namespace ashtint
