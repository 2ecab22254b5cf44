#include "platform/guid.h"

namespace ashtint {

std::string GuidBytesToText(const std::array<std::uint8_t, 16>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "{";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    text.push_back(digits[bytes[i] >> 4]);
    text.push_back(digits[bytes[i] & 0x0F]);
  }
  text.push_back('}');
  return text;
}

}  // namespace ashtint
