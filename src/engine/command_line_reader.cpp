#include "engine/command_line_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "common/file_system.h"
#include "common/text.h"

namespace ashtint {

namespace {

std::int32_t ToInteger(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || end == text.c_str() || *end != '\0' || errno == ERANGE ||
      v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    throw ECommandLineParseException("'" + text + "' is not a valid integer value");
  return static_cast<std::int32_t>(v);
}

long double ToReal(const std::string& text) {
  char* end = nullptr;
  const long double v = std::strtold(text.c_str(), &end);
  if (text.empty() || end == text.c_str() || *end != '\0')
    throw ECommandLineParseException("'" + text + "' is not a valid floating point value");
  return v;
}

}  // namespace

TProperty& TCommandLineReader::AddKey(const std::string& name, const std::string& help, TPropertyKind kind,
                                      const std::string& defaultValue) {
  TProperty p;
  p.Name = LowerCase(name);
  p.Help = help;
  p.Value = defaultValue;
  p.Kind = kind;
  Keys.push_back(std::move(p));
  return Keys.back();
}

TProperty& TCommandLineReader::AddFlagKey(const std::string& name, const std::string& help, bool defaultValue,
                                          char shortName) {
  TProperty& p = AddKey(name, help, ckFlag, "");
  p.FlagValue = p.FlagDefault = defaultValue;
  p.ShortName = shortName;
  return p;
}

TProperty& TCommandLineReader::AddPathKey(const std::string& name, const std::string& help,
                                          const std::string& defaultValue) {
  return AddKey(name, help, ckPath, defaultValue);
}

TProperty& TCommandLineReader::AddTextKey(const std::string& name, const std::string& help,
                                          const std::string& defaultValue) {
  return AddKey(name, help, ckText, defaultValue);
}

TProperty* TCommandLineReader::FindByName(std::string_view name) {
  for (auto& k : Keys)
    if (SameText(k.Name, name)) return &k;
  return nullptr;
}

TProperty& TCommandLineReader::FindKey(const std::string& name) {
  const std::string lower = LowerCase(name);
  for (auto& k : Keys)
    if (k.Name == lower) return k;
  throw ECommandLineParseException("Property not found: " + lower);
}

std::string TCommandLineReader::KeyText(const std::string& name) {
  if (!Parsed) ParseCommandLine();
  return FindKey(name).Value;
}

bool TCommandLineReader::KeyFlag(const std::string& name) {
  if (!Parsed) ParseCommandLine();
  TProperty& p = FindKey(name);
  if (p.Kind != ckFlag) throw ECommandLineParseException("No flag property: " + name);
  return p.FlagValue;
}

std::string StripProgramPart(const std::string& commandLine) {
  if (!commandLine.empty() && commandLine[0] == '"') {
    const auto close = commandLine.find('"', 1);
    return close == std::string::npos ? std::string() : commandLine.substr(close + 1);
  }
  const auto space = commandLine.find(' ');
  return space == std::string::npos ? std::string() : commandLine.substr(space + 1);
}

namespace {
std::string& ProcessCommandLine() {
  static std::string line;
  return line;
}
}  // namespace

void SetProcessCommandLine(const std::string& commandLine) { ProcessCommandLine() = commandLine; }

bool TCommandLineReader::ParseCommandLine() {
  const std::string raw = RawCommandLine ? RawCommandLine() : ProcessCommandLine();
  return ParseText(StripProgramPart(raw));
}

bool TCommandLineReader::ParseText(const std::string& text) {
  FailedKeyName.clear();
  LooseValues.clear();
  for (auto& k : Keys) k.Found = false;
  TProperty* current = nullptr;
  std::size_t pos = 0;
  const std::size_t n = text.size();

  auto store = [&](const std::string& value) {
    if (!current) {
      LooseValues.push_back(value);
      return;
    }
    current->Value = value;
    if (current->Kind == ckInteger) current->IntValue = ToInteger(value);
    if (current->Kind == ckReal) current->RealValue = ToReal(value);
  };

  try {
    while (pos < n) {
      const char c = text[pos];
      if (c == '-' || (c == '/' && AllowSlash)) {
        const bool longForm = c == '/' || (pos + 1 < n && text[pos + 1] == '-');
        if (longForm) {
          pos += (c == '/') ? 1 : 2;
          std::size_t end = pos;
          while (end < n && text[end] != ' ' && text[end] != '=') ++end;
          const std::string name = text.substr(pos, end - pos);
          pos = end;
          current = nullptr;
          const bool enable = StartsText("enable-", name);
          const bool disable = !enable && StartsText("disable-", name);
          if (enable || disable) {
            const std::string flag = name.substr(enable ? 7 : 8);
            for (auto& k : Keys) {
              if (k.Kind == ckFlag && SameText(k.Name, flag)) {
                k.FlagValue = enable;
                k.Found = true;
                break;
              }
            }
          } else {
            TProperty* key = FindByName(name);
            if (!key) {
              if (!name.empty()) FailedKeyName = name;
              ReportError(text, pos);
              return false;
            }
            key->Found = true;
            if (key->Kind == ckFlag)
              key->FlagValue = !key->FlagDefault;
            else
              current = key;
          }
        } else {
          if (pos + 1 >= n || text[pos + 1] == ' ') {
            ReportError(text, pos);
            return false;
          }
          ++pos;
          while (pos < n && text[pos] != ' ') {
            for (auto& k : Keys) {
              if (k.Kind == ckFlag && k.ShortName != 0 && k.ShortName == text[pos]) {
                k.FlagValue = !k.FlagDefault;
                k.Found = true;
              }
            }
            ++pos;
          }
        }
      } else if (c == ' ') {
        // a separator; a key still waits for its value
      } else if (c == '"' || c == '\'' || c == '\0') {
        // NUL quotes what the rebuilt Linux command line cannot quote otherwise.
        const auto close = text.find(c, pos + 1);
        const std::size_t end = close == std::string::npos ? n : close;
        store(text.substr(pos + 1, end - pos - 1));
        pos = end;
        current = nullptr;
      } else {
        const std::size_t start = pos;
        while (pos < n && text[pos] != ' ') ++pos;
        store(text.substr(start, pos - start));
        if (current && current->Kind == ckPath) {
          while (!FileExists(current->Value)) {
            while (pos < n && text[pos] == ' ') ++pos;
            if (pos >= n) return false;  // never named an existing file: silent failure
            while (pos < n && text[pos] != ' ') ++pos;
            current->Value = text.substr(start, pos - start);
          }
        }
        current = nullptr;
      }
      if (pos >= n) break;
      ++pos;
    }
  } catch (const std::exception&) {
    ReportError(text, pos);
    return false;
  }
  Parsed = true;
  return true;
}

std::string TCommandLineReader::KeyListing(const std::string& indent) const {
  std::string out;
  for (const auto& k : Keys) {
    out += indent + "--" + k.Name;
    if (k.Kind != ckFlag) out += "=";
    if (k.Kind == ckFlag && k.ShortName != 0) out += std::string(" or -") + k.ShortName;
    out += "\t" + k.Help + "\r\n";
  }
  return out;
}

void TCommandLineReader::ReportError(const std::string& text, std::size_t position) {
  if (!OnError && !ShowErrors) return;
  std::string message = "Parse error at this position: " + text.substr(std::min(position, text.size()), 100) + "\r\n";
  if (!Keys.empty())
    message += ErrorIntro + "\r\n\r\n" + KeyListing("");
  else
    message += "you are not allowed to use command line options starting with -";
  if (OnError) OnError(message);
  if (ShowErrors) {
    std::fputs(message.c_str(), stdout);
    std::fputs("\r\n", stdout);
  }
}

}  // namespace ashtint
