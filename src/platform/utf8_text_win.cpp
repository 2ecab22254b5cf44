#include "platform/utf8_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace ashtint {

std::string Utf8ToSingleByte(std::string_view utf8) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (utf8.substr(0, kBom.size()) == kBom) utf8.remove_prefix(kBom.size());
  if (utf8.empty()) return {};
  const int wideLen = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wideLen <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wideLen), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLen);
  const int ansiLen = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
  if (ansiLen <= 0) return {};
  std::string ansi(static_cast<std::size_t>(ansiLen), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLen, ansi.data(), ansiLen, nullptr, nullptr);
  return ansi;
}

}  // namespace ashtint
