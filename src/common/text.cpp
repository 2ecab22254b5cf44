#include "common/text.h"

#include <algorithm>

namespace ashtint {

namespace {
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string LowerCase(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), LowerChar);
  return r;
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  std::transform(r.begin(), r.end(), r.begin(), UpperChar);
  return r;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerChar(x) == LowerChar(y); });
}

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

bool EndsText(std::string_view suffix, std::string_view s) {
  return s.size() >= suffix.size() && SameText(suffix, s.substr(s.size() - suffix.size()));
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

bool IsPathDelimiter(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string r(path);
  if (!r.empty() && !IsPathDelimiter(r.back())) r.push_back(PathDelim);
  return r;
}

std::string ExtractFilePath(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
#ifdef _WIN32
    if (path[i - 1] == ':') return std::string(path.substr(0, i));
#endif
    if (IsPathDelimiter(path[i - 1])) return std::string(path.substr(0, i));
  }
  return {};
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(ExtractFilePath(path).size()));
}

std::string ExtractFileExt(std::string_view path) {
  const std::string name = ExtractFileName(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ItemPathToNative(std::string_view itemPath) {
  std::string r(itemPath);
  std::replace(r.begin(), r.end(), '\\', PathDelim);
  return r;
}

TStrArray SplitLines(std::string_view text) {
  TStrArray lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace ashtint
