#include "archive/wide_text.h"

#include <cstdint>

namespace ashtint {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendWide(std::wstring& out, char32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

// Decodes one UTF-8 sequence at text[i]; an invalid byte becomes U+FFFD and is skipped alone.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const auto b0 = static_cast<std::uint8_t>(text[i++]);
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if ((b0 & 0xE0) == 0xC0) { extra = 1; c = b0 & 0x1F; minimum = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; c = b0 & 0x0F; minimum = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; c = b0 & 0x07; minimum = 0x10000; }
  else return kReplacement;
  std::size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= text.size() || (static_cast<std::uint8_t>(text[j]) & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (static_cast<std::uint8_t>(text[j]) & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  i = j;
  return c;
}
}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendWide(out, DecodeUtf8(text, i));
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const auto low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacement;  // a lone surrogate
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace ashtint
