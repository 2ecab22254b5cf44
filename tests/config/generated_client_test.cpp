// The shipped rules against a client written by the synthetic client generator: every file its
// manifest says a mod must change is selected, and every file it says the rules must leave out is
// not. Files a worker leaves for other reasons (size, part kind, nothing to rewrite) are the
// workers' business, not the rules'.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "common/text.h"
#include "config/cfg_file.h"
#include "config/sign_match.h"
#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

const std::string kSource = ASHTINT_SOURCE_DIR;

bool RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
  return ::pclose(pipe) == 0;
}

struct Entry {
  std::string mod, kind, tag, path;
};

RCfgFile Shipped(const char* name) {
  RCfgFile cfg;
  ReadCfgFile(kSource + "/configs/" + name, cfg);
  return cfg;
}

// An item path as the archive layer reports it.
std::string ItemPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return LowerCase(path);
}

ARSign WithHdTwins(const ARSign& rules) {
  ARSign all;
  for (const RSign& r : rules) {
    all.push_back(r);
    RSign twin;
    if (MakeHdTwinSign(r, twin)) all.push_back(twin);
  }
  return all;
}

bool MapTextureSelects(const ARSign& rulesWithTwins, const std::string& item) {
  const bool hd = item.find("_hd.dds") != std::string::npos;
  for (const RSign& r : rulesWithTwins) {
    const bool ruleHd = r.Words.back().find("_hd.dds") != std::string::npos;
    if (ruleHd == hd && SignMatches(r, item)) return true;
  }
  return false;
}

ARSign SlashRules(const RCfgFile& cfg) {
  ARSign rules = MakeSignRules(cfg.Roots);
  for (RSign& r : rules) {
    for (std::string& w : r.Words) std::replace(w.begin(), w.end(), '\\', '/');
  }
  return rules;
}

TEST(GeneratedClientTest, ShippedRulesSelectWhatTheManifestAsks) {
  test::TempDir dir;
  std::string output;
  ASSERT_TRUE(RunCommand("python3 '" + kSource + "/tools/gen_client.py' --profile small --unlisted --out '" +
                      dir.path().string() + "' 2>&1",
                  output))
      << output;
  ASSERT_TRUE(RunCommand("python3 '" + kSource + "/tests/config/manifest_paths.py' '" + dir.path().string() +
                      "/manifest.json'",
                  output));
  std::vector<Entry> entries;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    Entry e;
    std::istringstream fields(line);
    std::getline(fields, e.mod, '\t');
    std::getline(fields, e.kind, '\t');
    std::getline(fields, e.tag, '\t');
    std::getline(fields, e.path);
    entries.push_back(e);
  }
  ASSERT_GT(entries.size(), 100u);

  const ARSign crash = MakeSignRules(Shipped("CrashTanks.cfg").Roots);
  const ARSign mapTanks = WithHdTwins(MakeSignRules(Shipped("MapTanks.cfg").Roots));
  const ARSign mapTrains = WithHdTwins(MakeSignRules(Shipped("MapTrains.cfg").Roots));
  const ARSign camo = WithHdTwins(MakeSignRules(Shipped("Camouflage.cfg").Roots));
  const std::map<std::string, ARSign> spaceBin = {{"MapTanks", SlashRules(Shipped("MapTanks.cfg"))},
                                                  {"MapTrains", SlashRules(Shipped("MapTrains.cfg"))}};
  // Reasons to leave a file that are the rules' job.
  const std::set<std::string> ruleReasons = {
      "normal-state model, not in a crash folder", "collision model, not in a crash folder",
      "not an albedo texture: normal and gloss maps keep their own", "a train or carriage: the trains mod's",
      "a tank model: the map tanks mod's", "neither a tank model nor a train", "map terrain texture",
      "track model, not in a crash folder"};

  std::map<std::string, int> checked;
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.mod + " " + e.kind + " " + e.path);
    const std::string item = ItemPath(e.path);
    bool want;
    if (e.kind == "touch") {
      want = true;
    } else if (e.kind == "leave" && ruleReasons.count(e.tag) > 0) {
      want = false;
    } else if (e.kind == "texture") {
      ASSERT_EQ(spaceBin.count(e.tag), 1u) << e.tag;
      EXPECT_TRUE(AnySignMatches(spaceBin.at(e.tag), LowerCase(e.path)));
      const std::string other = e.tag == "MapTanks" ? "MapTrains" : "MapTanks";
      EXPECT_FALSE(AnySignMatches(spaceBin.at(other), LowerCase(e.path))) << "painted in one colour only";
      ++checked[e.mod];
      continue;
    } else if (e.kind == "left_texture") {
      for (const auto& [name, rules] : spaceBin) EXPECT_FALSE(AnySignMatches(rules, LowerCase(e.path))) << name;
      ++checked[e.mod];
      continue;
    } else {
      continue;
    }
    if (e.mod == "DPT" || e.mod == "CCT") {
      EXPECT_EQ(AnySignMatches(crash, item), want);
    } else if (e.mod == "MEM") {
      EXPECT_EQ(MapTextureSelects(mapTanks, item), want);
    } else if (e.mod == "CTM") {
      EXPECT_EQ(MapTextureSelects(mapTrains, item), want);
    } else if (e.mod == "CAMO") {
      EXPECT_EQ(AnySignMatches(camo, item), want);
    } else {
      continue;  // a space.bin file itself is found by its name, not by the rules
    }
    ++checked[e.mod];
  }
  for (const char* mod : {"DPT", "CCT", "MEM", "CTM", "SpaceBin", "CAMO"}) {
    EXPECT_GT(checked[mod], 0) << mod << ": the manifest gave nothing to check";
  }
}

}  // namespace
}  // namespace ashtint
