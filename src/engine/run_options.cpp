#include "engine/run_options.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "common/file_system.h"

namespace ashtint {

namespace {

// Reads the whole text as a decimal number with the given separator, as a user's locale writes
// it; std::strtod is not used because it follows the C locale and accepts hex and "inf".
bool ReadDecimal(const std::string& text, char separator, double& out) {
  std::string canon;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) canon.push_back(text[i++]);
  bool digits = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { canon.push_back(text[i++]); digits = true; }
  if (i < text.size() && text[i] == separator) {
    canon.push_back('.');
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) { canon.push_back(text[i++]); digits = true; }
  }
  if (!digits) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::string exp = "e";
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp.push_back(text[j++]);
    bool expDigits = false;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) { exp.push_back(text[j++]); expDigits = true; }
    if (!expDigits) return false;
    canon += exp;
    i = j;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  out = std::strtod(canon.c_str(), nullptr);  // canon holds only digits, '.', sign and exponent
  return true;
}

}  // namespace

std::int32_t ResolveCamoVisibility(const std::string& value, char decimalSeparator) {
  double v = 0;
  if (!ReadDecimal(value, decimalSeparator, v)) return 30;
  v = std::trunc(v);  // an overflowing value is infinite and clamps like any large one
  if (!(v > 0)) return 0;
  if (v > 100) return 100;
  return static_cast<std::int32_t>(v);
}

std::int32_t ResolveDownsizingRatio(const std::string& value) {
  if (value == "2") return 2;
  if (value == "4") return 4;
  if (value == "8") return 8;
  return 0;
}

std::int32_t ResolveCpuCount(const std::string& value) {
  std::size_t i = 0;
  if (!value.empty() && (value[0] == '+' || value[0] == '-')) i = 1;
  if (i == value.size()) return 1;
  for (std::size_t j = i; j < value.size(); ++j)
    if (!std::isdigit(static_cast<unsigned char>(value[j]))) return 1;
  errno = 0;
  const long long v = std::strtoll(value.c_str(), nullptr, 10);
  if (errno == ERANGE || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return 1;  // not a 32-bit integer
  if (v < 1) return 1;
  if (v > 50) return 50;
  return static_cast<std::int32_t>(v);
}

std::string MakeRunStamp() { return MakeRunStamp(std::time(nullptr)); }

std::string MakeRunStamp(std::time_t t) {
  const std::tm local = LocalTime(t);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d.%02d%02d%02d", local.tm_year % 100, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  return buf;
}

}  // namespace ashtint
