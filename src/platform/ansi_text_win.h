// Windows only: the program's ANSI code page strings as the wide strings of the system's W calls.
#pragma once

#include <windows.h>

#include <string>

namespace ashtint {

inline std::wstring WidenAnsi(const std::string& s) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

}  // namespace ashtint
