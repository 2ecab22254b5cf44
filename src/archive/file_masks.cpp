#include "archive/seven_zip_out_archive.h"

namespace ashtint {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*" || mask == "*") return true;  // as on Windows: names without a dot too
  // Iterative wildcard match with a single back-track point for the last '*'.
  std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Lower(mask[m]) == Lower(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace ashtint
