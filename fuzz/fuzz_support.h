// What the fuzz targets share: splitting one input into parts, and stopping on a broken promise.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace ashtint::fuzz {

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every separator byte into at most `parts` pieces (missing ones are empty).
inline std::vector<std::string> SplitInput(std::string_view text, char separator, std::size_t parts) {
  std::vector<std::string> out;
  while (out.size() + 1 < parts) {
    const auto at = text.find(separator);
    if (at == std::string_view::npos) break;
    out.emplace_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  out.emplace_back(text);
  out.resize(parts);
  return out;
}

// A property the code promises was broken: report and crash, so the fuzzer keeps the input.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

}  // namespace ashtint::fuzz
