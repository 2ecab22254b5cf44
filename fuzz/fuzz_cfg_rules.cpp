// The configuration reader and its rule matching: the input's last line is an item path, the
// rest a configuration file.
#include "config/cfg_file.h"
#include "config/sign_match.h"
#include "fuzz_support.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const auto lastBreak = text.find_last_of('\n');
  const std::string_view cfgText = lastBreak == std::string_view::npos ? text : text.substr(0, lastBreak);
  std::string path(lastBreak == std::string_view::npos ? std::string_view() : text.substr(lastBreak + 1));
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

  RCfgFile cfg;
  ParseCfgText(cfgText, cfg);
  (void)IsCfgUsable(cfg, 248);
  for (const RFiles& root : cfg.Roots) {
    fuzz::Require(root.SignCount == static_cast<std::int32_t>(root.Signs.size()), "sign count");
    for (const RSign& sign : root.Signs)
      fuzz::Require(sign.WordCount == static_cast<std::int32_t>(sign.Words.size()) && sign.WordCount > 0, "word count");
  }
  const ARSign rules = MakeSignRules(cfg.Roots);
  const int first = FirstMatchingSign(rules, path);
  fuzz::Require((first >= 0) == AnySignMatches(rules, path), "first match agrees with any match");
  for (const RSign& rule : rules) {
    RSign twin;
    if (MakeHdTwinSign(rule, twin)) (void)SignMatches(twin, path);
  }
  return 0;
}
