// Dynamic arrays shared by several subsystems.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ashtint {

using TBytesArray = std::vector<std::uint8_t>;  // a whole file or a block of bytes
using TStrArray = std::vector<std::string>;     // single-byte strings
using SArray = std::vector<std::string>;        // lists of client facts (package names)

}  // namespace ashtint
