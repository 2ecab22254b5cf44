#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "client/registry_reader.h"
#include "common/text.h"

namespace ashtint {

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Wine writes names and strings with C-like escapes; characters beyond ASCII as \x and up to
// four hex digits of their UTF-16 code (read here into UTF-8, the program's text on Linux).
std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out.push_back(s[i]);
      continue;
    }
    const char c = s[++i];
    switch (c) {
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case 't': out.push_back('\t'); break;
      case '0': out.push_back('\0'); break;
      case 'x': {
        unsigned code = 0;
        int digits = 0;
        while (digits < 4 && i + 1 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1]))) {
          const char h = s[++i];
          code = code * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10);
          ++digits;
        }
        AppendUtf8(out, code);
        break;
      }
      default: out.push_back(c);  // \\ and \" and anything else stand for themselves
    }
  }
  return out;
}

// The text of a quoted string starting at s[0] == '"', up to its closing quote; pos moves past it.
std::string_view Quoted(std::string_view s, std::size_t& pos) {
  const std::size_t start = pos + 1;
  std::size_t i = start;
  while (i < s.size() && s[i] != '"') i += (s[i] == '\\') ? 2 : 1;
  pos = std::min(i + 1, s.size());
  return s.substr(start, std::min(i, s.size()) - start);
}

}  // namespace

TWineRegistry::TWineRegistry(const std::string& prefixFolder) {
  const std::string folder = IncludeTrailingPathDelimiter(prefixFolder);
  Load(ReadWhole(folder + "user.reg"), user_);
  Load(ReadWhole(folder + "system.reg"), machine_);
}

TWineRegistry::TWineRegistry(const std::string& userReg, const std::string& systemReg, bool) {
  Load(userReg, user_);
  Load(systemReg, machine_);
}

void TWineRegistry::Load(const std::string& text, TKeys& keys) {
  std::map<std::string, std::string>* current = nullptr;
  for (const std::string& raw : SplitLines(text)) {
    const std::string_view line(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      // [Software\\Wine] 1700000000: the name up to the last ']'.
      const std::size_t end = line.rfind(']');
      if (end == std::string_view::npos) {
        current = nullptr;
        continue;
      }
      const std::string name = Unescape(line.substr(1, end - 1));
      const std::string lower = LowerCase(name);
      spelling_.emplace(lower, name);
      current = &keys[lower];
      continue;
    }
    if (current == nullptr) continue;
    std::string valueName;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      valueName = Unescape(Quoted(line, pos));
    } else {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    std::string_view rest = line.substr(pos + 1);
    // Strings, plain or expandable; other kinds (dword, hex) are not needed here.
    if (rest.rfind("str(2):", 0) == 0) rest.remove_prefix(7);
    if (rest.empty() || rest[0] != '"') continue;
    std::size_t q = 0;
    (*current)[LowerCase(valueName)] = Unescape(Quoted(rest, q));
  }
}

const std::map<std::string, std::string>* TWineRegistry::Find(TRegistryRoot root, const std::string& key) const {
  const std::string lower = LowerCase(key);
  if (root != TRegistryRoot::ClassesRoot) {
    const TKeys& keys = Keys(root);
    const auto it = keys.find(lower);
    return it == keys.end() ? nullptr : &it->second;
  }
  // The classes root: the user's classes over the machine's.
  if (const auto it = user_.find("software\\classes\\" + lower); it != user_.end()) return &it->second;
  const auto it = machine_.find("software\\classes\\" + lower);
  return it == machine_.end() ? nullptr : &it->second;
}

std::string TWineRegistry::ReadString(TRegistryRoot root, const std::string& key, const std::string& name) const {
  const auto* values = Find(root, key);
  if (values == nullptr) return {};
  const auto it = values->find(LowerCase(name));
  return it == values->end() ? std::string() : it->second;
}

TStrArray TWineRegistry::SubKeys(TRegistryRoot root, const std::string& key) const {
  TStrArray names;
  if (root == TRegistryRoot::ClassesRoot) return names;  // only uninstall entries are listed
  const TKeys& keys = Keys(root);
  const std::string prefix = LowerCase(key) + "\\";
  for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    const std::string rest = it->first.substr(prefix.size());
    if (rest.empty() || rest.find('\\') != std::string::npos) continue;
    const std::string& spelled = spelling_.at(it->first);
    names.push_back(spelled.substr(spelled.size() - rest.size()));
  }
  return names;
}

}  // namespace ashtint
