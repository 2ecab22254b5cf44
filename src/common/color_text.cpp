#include "common/color_text.h"

#include <cctype>

namespace ashtint {

std::string ParseColor(std::string_view value) {
  std::string result = "#";
  for (char c : value) {
    if (result.size() > 6) break;
    if (std::isxdigit(static_cast<unsigned char>(c))) result.push_back(c);
  }
  if (result.size() < 7) return "#FFFFFF";
  return result;
}

}  // namespace ashtint
