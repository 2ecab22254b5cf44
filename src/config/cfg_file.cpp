#include "config/cfg_file.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/exceptions.h"
#include "common/text.h"

namespace ashtint {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::int32_t ParseDecimal(std::string_view s) {
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return 0;
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  return (ec == std::errc() && end == s.data() + s.size()) ? value : 0;
}

}  // namespace

std::string_view WithoutBom(std::string_view text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.substr(0, kBom.size()) == kBom) text.remove_prefix(kBom.size());
  return text;
}

TStrArray SplitCfgLines(std::string_view text) { return SplitLines(text); }

std::string TrimCfgLine(std::string_view line) {
  std::size_t b = 0;
  std::size_t e = line.size();
  while (b < e && IsTrimmed(line[b])) ++b;
  while (e > b && IsTrimmed(line[e - 1])) --e;
  return std::string(line.substr(b, e - b));
}

bool ReadCfgKey(std::string_view trimmed, std::string_view key, std::int32_t& value) {
  if (!StartsText(key, trimmed)) return false;
  const std::size_t eq = trimmed.find('=');
  // Without "=" the whole line is the value text, which is never a number.
  value = eq == std::string_view::npos ? 0 : ParseDecimal(TrimCfgLine(trimmed.substr(eq + 1)));
  return true;
}

void SplitSign(RSign& sign, std::string_view line) {
  auto add = [&sign](std::string_view word) {
    sign.Words.emplace_back(word);
    sign.WordCount = static_cast<std::int32_t>(sign.Words.size());
  };
  if (line.find('*') == std::string_view::npos) {
    add(line);
    return;
  }
  std::size_t star;
  while ((star = line.find('*')) != std::string_view::npos) {
    if (star > 0) add(line.substr(0, star));
    line.remove_prefix(star + 1);
  }
  if (!line.empty()) add(line);
}

void ParseCfgText(std::string_view text, RCfgFile& cfg) {
  RFiles* root = cfg.Roots.empty() ? nullptr : &cfg.Roots.back();
  for (const std::string& raw : SplitCfgLines(WithoutBom(text))) {
    const std::string line = TrimCfgLine(raw);
    if (line.empty() || line.front() == '#') continue;
    std::int32_t value = 0;
    if (ReadCfgKey(line, CfgVersionKey, value)) {
      cfg.ConfigVersion = value;
    } else if (ReadCfgKey(line, CfgSoftVersionKey, value)) {
      cfg.SoftVersion = value;
    } else if (raw.front() != '\t' && raw.front() != ' ') {
      cfg.Roots.push_back(RFiles{line, {}, 0});
      root = &cfg.Roots.back();
    } else if (root != nullptr) {
      RSign sign;
      SplitSign(sign, line);
      // A line of only "*" has no fragment and is no sign.
      if (sign.WordCount > 0) {
        root->Signs.push_back(std::move(sign));
        root->SignCount = static_cast<std::int32_t>(root->Signs.size());
      }
    }
  }
}

void ReadCfgFile(const std::string& fileName, RCfgFile& cfg) {
  cfg = RCfgFile{};
  cfg.FileName = fileName;
  // Only a file counts; a folder of that name is as good as no file.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(fileName, ec)) return;
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EInOutError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EInOutError("Cannot read file \"" + fileName + "\".");
  ParseCfgText(text, cfg);
}

bool IsCfgUsable(const RCfgFile& cfg, int programBuild) {
  return cfg.ConfigVersion >= 1 && programBuild >= cfg.SoftVersion && !cfg.Roots.empty();
}

}  // namespace ashtint
