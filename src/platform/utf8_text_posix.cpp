#include "platform/utf8_text.h"

#include <cstdint>

namespace ashtint {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at s[i], or 0 when it is broken (overlong forms,
// surrogates and values above U+10FFFF included).
std::size_t ValidSequenceLength(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<std::uint8_t>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t len;
  std::uint32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<std::uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) return 0;
  if (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) return 0;
  return len;
}

}  // namespace

std::string Utf8ToSingleByte(std::string_view utf8) {
  if (utf8.substr(0, kBom.size()) == kBom) utf8.remove_prefix(kBom.size());
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t len = ValidSequenceLength(utf8, i);
    if (len == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(utf8.substr(i, len));
      i += len;
    }
  }
  return out;
}

}  // namespace ashtint
