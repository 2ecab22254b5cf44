// UTF-8 <-> the library's wide strings. wchar_t is 32-bit on Linux and 16-bit on Windows; the
// library hands out UTF-16 surrogate pairs even in 32-bit wide strings, so both are joined.
#pragma once

#include <string>
#include <string_view>

namespace ashtint {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace ashtint
