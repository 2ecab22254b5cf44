// UTF-8 text from the network into the program's single-byte strings.
#pragma once

#include <string>
#include <string_view>

namespace ashtint {

// Drops a leading UTF-8 byte-order mark and converts the rest into the program's single-byte
// text: valid UTF-8 on Linux (broken sequences become U+FFFD), the ANSI code page on Windows.
std::string Utf8ToSingleByte(std::string_view utf8);

}  // namespace ashtint
