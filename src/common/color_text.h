// Colour texts: the engine's keys carry "#" + six hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

namespace ashtint {

// Any colour text to "#" + six hex digits, keeping the letter case; "#FFFFFF" when fewer than
// six digits are found. Characters that are not hex digits are skipped, later digits ignored.
std::string ParseColor(std::string_view value);

}  // namespace ashtint
