// The mod configuration files: which game files each mod touches.
//
// One entry per line; a line is looked at trimmed, except that its untrimmed start decides
// between a root and a sign:
//   empty                       ignored
//   "#..."                      comment
//   "config_version = N"        the file's version (the space after the key is required)
//   "soft_version = N"          the lowest engine build that may use the file
//   unindented text             a root: starts a new entry named by the line
//   indented (TAB or space)     a sign of the latest root: fragments separated by "*"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/arrays.h"

namespace ashtint {

struct RSign {
  TStrArray Words;            // the fragments of the sign line, in order
  std::int32_t WordCount = 0;
};
using ARSign = std::vector<RSign>;

struct RFiles {
  std::string Name;  // the root line
  ARSign Signs;
  std::int32_t SignCount = 0;
};
using ARFiles = std::vector<RFiles>;

struct RCfgFile {
  std::string FileName;
  std::int32_t ConfigVersion = 0;
  std::int32_t SoftVersion = 0;
  ARFiles Roots;  // in file order
};

// Resets cfg (FileName = fileName, versions 0, no roots) and fills it from the file when the file
// exists. A missing file leaves the reset record. An existing file that cannot be read throws
// EInOutError.
void ReadCfgFile(const std::string& fileName, RCfgFile& cfg);

// Fills cfg from the text of a configuration file (the versions and roots it holds are added to
// what cfg has). A leading UTF-8 byte-order mark is skipped.
void ParseCfgText(std::string_view text, RCfgFile& cfg);

// Appends the fragments of a trimmed sign line to sign: the pieces between "*" characters,
// empty pieces dropped; a line without "*" is one fragment.
void SplitSign(RSign& sign, std::string_view line);

// A configuration a stage may use: version at least 1, soft version at most the engine build,
// at least one root.
bool IsCfgUsable(const RCfgFile& cfg, int programBuild);

// Helpers shared with the refresh.

// Lines split at CR LF, LF or CR; a final line break does not start another line.
TStrArray SplitCfgLines(std::string_view text);

// The text without a leading UTF-8 byte-order mark, which an editor may have put there; the
// reader and the refresh look at what follows it.
std::string_view WithoutBom(std::string_view text);

// Spaces and control characters removed from both ends.
std::string TrimCfgLine(std::string_view line);

// For a trimmed line that starts with key (key includes its trailing space; letter case is not
// significant): value = the decimal number after the first "=", 0 when that is not a number.
// False when the line is not that key.
bool ReadCfgKey(std::string_view trimmed, std::string_view key, std::int32_t& value);

inline constexpr std::string_view CfgVersionKey = "config_version ";
inline constexpr std::string_view CfgSoftVersionKey = "soft_version ";

}  // namespace ashtint
