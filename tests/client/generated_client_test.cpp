// The client examination on clients written by the synthetic client generator, whose manifest
// says what the examination must report. The generator shares no code with the engine.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "client/wot_info.h"
#include "common/text.h"
#include "test_support/temp_dir.h"

namespace ashtint {
namespace {

// The manifest's client facts as "key<TAB>value" lines, lists one line per item, via python.
std::multimap<std::string, std::string> GenerateClient(const std::string& out, const std::string& options) {
  const std::string source = ASHTINT_SOURCE_DIR;
  const std::string command =
      "python3 '" + source + "/tools/gen_client.py' --profile small --out '" + out + "' " + options +
      " >/dev/null && python3 -c \"import json,sys\n"
      "c=json.load(open(sys.argv[1]))['client']\n"
      "for k,v in c.items():\n"
      "  for x in (v if isinstance(v,list) else [v]): print(k+'\\t'+str(x))\" '" +
      out + "/manifest.json'";
  std::multimap<std::string, std::string> facts;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return facts;
  std::string text;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
  if (::pclose(pipe) != 0) return {};
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const auto tab = line.find('\t');
    if (tab != std::string::npos) facts.emplace(line.substr(0, tab), line.substr(tab + 1));
  }
  return facts;
}

std::string One(const std::multimap<std::string, std::string>& facts, const std::string& key) {
  const auto it = facts.find(key);
  return it == facts.end() ? std::string("<missing>") : it->second;
}

SArray List(const std::multimap<std::string, std::string>& facts, const std::string& key, const std::string& dir) {
  SArray out;
  for (auto [it, end] = facts.equal_range(key); it != end; ++it) out.push_back(dir + "res/packages/" + it->second);
  return out;
}

}  // namespace

TEST(ReadWOTInfoOnGeneratedClients, ReportsWhatTheManifestPlanted) {
  const char* variants[] = {"", "--unlisted", "--lesta --common-test", "--no-game-info --win32-only --mods-version 1.24.1",
                            "--common-test --deflate", "--tanki",
                            "--tanki --paths-form old --mask-case upper --both-exes --common-test --win32-only",
                            "--paths-form old --mask-case upper --no-game-info"};
  for (const char* options : variants) {
    SCOPED_TRACE(options);
    test_support::TempDir dir;
    const auto facts = GenerateClient(dir.path().string(), options);
    ASSERT_FALSE(facts.empty());
    const std::string clientDir = dir.str() + One(facts, "folder") + "/";

    RWOTInfo info;
    ReadWOTInfo(clientDir + One(facts, "game_exe"), info);  // a file inside the client names it too
    EXPECT_FALSE(info.Failed);
    EXPECT_EQ(info.ClientDir, clientDir);
    EXPECT_EQ(info.Version, One(facts, "version"));
    EXPECT_EQ(info.Build, One(facts, "build"));
    EXPECT_EQ(info.IsLesta, One(facts, "is_lesta") == "True");
    EXPECT_EQ(info.IsWargaming, One(facts, "is_wargaming") == "True");
    EXPECT_EQ(info.IsCommonTest, One(facts, "is_common_test") == "True");
    EXPECT_EQ(info.ClientExe, clientDir + One(facts, "client_exe"));
    EXPECT_EQ(info.GameExe, clientDir + One(facts, "game_exe"));
    EXPECT_EQ(info.PackageExt, One(facts, "package_ext"));
    EXPECT_EQ(info.ResModsDir, clientDir + One(facts, "res_mods_dir"));
    EXPECT_EQ(info.ModsDir, clientDir + One(facts, "mods_dir"));
    EXPECT_EQ(info.Pkgs, List(facts, "pkgs", clientDir));
    EXPECT_EQ(info.MapPkgs, List(facts, "map_pkgs", clientDir));
    EXPECT_EQ(info.MapPkgsWithHD, List(facts, "map_pkgs_with_hd", clientDir));
    EXPECT_EQ(info.VehiclePkgs, List(facts, "vehicle_pkgs", clientDir));
    EXPECT_EQ(info.VehiclePkgsWithHD, List(facts, "vehicle_pkgs_with_hd", clientDir));
    EXPECT_TRUE(info.PkgsFound);
  }
}

}  // namespace ashtint
