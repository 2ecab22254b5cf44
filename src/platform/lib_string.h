// Strings handed across the archive library's interface, allocated the way the library frees them.
#pragma once

#include <cstdint>

namespace ashtint {

// Named apart from the library's own exports on purpose (its internal calls must never bind here).
// A copy of length wide characters (plus a closing zero) in the library's string block.
wchar_t* AllocLibString(const wchar_t* text, std::uint32_t length);
void FreeLibString(wchar_t* text);

}  // namespace ashtint
