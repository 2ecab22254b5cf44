#include "config/sign_match.h"

#include <algorithm>

#include "common/text.h"

namespace ashtint {

ARSign MakeSignRules(const ARFiles& roots) {
  ARSign rules;
  for (const RFiles& root : roots) {
    const std::size_t signs = std::min<std::size_t>(root.Signs.size(), std::max(root.SignCount, 0));
    for (std::size_t i = 0; i < signs; ++i) {
      const RSign& sign = root.Signs[i];
      if (sign.WordCount <= 0) continue;
      RSign rule;
      rule.Words.push_back(LowerCase(root.Name));
      const std::size_t words = std::min<std::size_t>(sign.Words.size(), sign.WordCount);
      for (std::size_t w = 0; w < words; ++w) rule.Words.push_back(LowerCase(sign.Words[w]));
      rule.WordCount = static_cast<std::int32_t>(rule.Words.size());
      rules.push_back(std::move(rule));
    }
  }
  return rules;
}

bool SignMatches(const RSign& rule, std::string_view lowerPath) {
  return WordsMatch(rule.Words, rule.WordCount, lowerPath);
}

bool WordsMatch(const TStrArray& words, std::int32_t wordCount, std::string_view lowerPath) {
  const std::size_t count = std::min<std::size_t>(words.size(), std::max(wordCount, 0));
  if (count == 0) return false;
  std::size_t from = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& word = words[i];
    const std::size_t at = lowerPath.find(word, from);
    if (at == std::string_view::npos) return false;
    from = at + word.size();
  }
  return true;
}

int FirstMatchingSign(const ARSign& rules, std::string_view lowerPath) {
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (SignMatches(rules[i], lowerPath)) return static_cast<int>(i);
  }
  return -1;
}

bool MakeHdTwinSign(const RSign& rule, RSign& twin) {
  if (rule.Words.empty() || rule.WordCount <= 0) return false;
  const std::size_t lastIndex = std::min<std::size_t>(rule.Words.size(), rule.WordCount) - 1;
  const std::string& last = rule.Words[lastIndex];
  const std::string lower = LowerCase(last);
  if (lower.find(".dds") == std::string::npos || lower.find("_hd.dds") != std::string::npos) return false;
  twin = rule;
  const std::size_t dot = last.rfind('.');
  twin.Words[lastIndex] = last.substr(0, dot) + "_hd.dds";
  return true;
}

bool AnySignMatches(const ARSign& rules, std::string_view lowerPath) { return FirstMatchingSign(rules, lowerPath) >= 0; }

bool IsHDTexture(std::string_view lowerPath) { return lowerPath.find("_hd.dds") != std::string_view::npos; }

}  // namespace ashtint
