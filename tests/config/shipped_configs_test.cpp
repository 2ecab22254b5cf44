// The configuration files the program ships with: usable, stored with CR LF, copied next to the
// engine, and their rules select the intended files of a real game client and nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/build_config.h"
#include "common/text.h"
#include "config/cfg_file.h"
#include "config/cfg_refresh.h"
#include "config/sign_match.h"
#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

std::string Shipped(const char* name) { return std::string(ASHTINT_SOURCE_DIR) + "/configs/" + name; }

RCfgFile ReadShipped(const char* name) {
  RCfgFile cfg;
  ReadCfgFile(Shipped(name), cfg);
  return cfg;
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

// The crashed-tank and crashed-track workers: their rules, on the lower-cased item path.
bool CrashSelects(const RCfgFile& cfg, std::string_view item) {
  return AnySignMatches(MakeSignRules(cfg.Roots), LowerCase(item));
}

// The map texture workers: rules with HD twins; an HD texture only by an HD rule and the other
// way round.
bool MapTextureSelects(const RCfgFile& cfg, std::string_view item) {
  const std::string path = LowerCase(item);
  const bool hd = path.find("_hd.dds") != std::string::npos;
  for (const RSign& r : WithHdTwins(MakeSignRules(cfg.Roots))) {
    const bool ruleHd = r.Words.back().find("_hd.dds") != std::string::npos;
    if (ruleHd == hd && SignMatches(r, path)) return true;
  }
  return false;
}

// The space.bin worker: names inside the map file use "/", the rules are turned to match.
bool SpaceBinSelects(const RCfgFile& cfg, std::string_view name) {
  ARSign rules = MakeSignRules(cfg.Roots);
  for (RSign& r : rules) {
    for (std::string& w : r.Words) std::replace(w.begin(), w.end(), '\\', '/');
  }
  return AnySignMatches(rules, LowerCase(name));
}

// The camouflage worker: any rule, HD twins included.
bool CamoSelects(const RCfgFile& cfg, std::string_view item) {
  return AnySignMatches(WithHdTwins(MakeSignRules(cfg.Roots)), LowerCase(item));
}

TEST(ShippedConfigsTest, UsableStoredWithCrLfAndCopiedNextToTheEngine) {
  for (const char* name : CfgFileNames) {
    SCOPED_TRACE(name);
    const RCfgFile cfg = ReadShipped(name);
    EXPECT_GE(cfg.ConfigVersion, 1);
    EXPECT_LE(cfg.SoftVersion, build::ProgramBuildNumber);
    EXPECT_GT(cfg.SoftVersion, 0) << "the repository copy must name its soft version to be accepted";
    ASSERT_FALSE(cfg.Roots.empty());
    EXPECT_TRUE(IsCfgUsable(cfg, build::ProgramBuildNumber));
    for (const RFiles& root : cfg.Roots) EXPECT_GT(root.SignCount, 0) << root.Name;

    const std::string bytes = test::ReadFileBytes(Shipped(name));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at byte " << i;
      }
      if (bytes[i] == '\r') {
        ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
      }
    }
    EXPECT_EQ(test::ReadFileBytes(std::string(ASHTINT_BINARY_DIR) + "/src/engine/" + name), bytes)
        << "the build copies the file next to the engine unchanged";
  }
}

TEST(ShippedConfigsTest, CrashTanksSelectsTheModelFilesOfDestroyedVehicles) {
  const RCfgFile cfg = ReadShipped("CrashTanks.cfg");
  for (const char* item : {
           "vehicles\\french\\F72_AMX_30\\crash\\lod0\\Hull.visual_processed",
           "vehicles\\french\\F72_AMX_30\\crash\\lod0\\Chassis.visual_processed",
           "vehicles\\russian\\R04_T-34\\crash\\lod0\\Turret_02.visual_processed",
           "vehicles\\american\\A01_T1_Cunningham\\crash\\lod0\\Gun_05.visual_processed",
           "vehicles\\german\\Tanks\\G04_PzVI_Tiger_I\\crash\\hull.visual_processed",
       }) {
    EXPECT_TRUE(CrashSelects(cfg, item)) << item;
  }
  for (const char* item : {
           "vehicles\\french\\F72_AMX_30\\normal\\lod0\\Hull.visual_processed",
           "vehicles\\french\\F72_AMX_30\\crash\\lod0\\Hull.model",
           "vehicles\\french\\F72_AMX_30\\crash\\lod0\\Hull.primitives_processed",
           "vehicles\\french\\F72_AMX_30\\collision\\Hull.visual_processed",
           "vehicles\\french\\F72_AMX_30\\track\\Track_L.visual_processed",
           "vehicles\\french\\F72_AMX_30\\AMX_30_hull_01_AM.dds",
           "vehicles\\russian\\Camouflage\\Cussr_1_1Katukov.dds",
           "content\\Railway\\rw004_Carriage\\crash\\rw004_Carriage.visual_processed",
       }) {
    EXPECT_FALSE(CrashSelects(cfg, item)) << item;
  }
}

TEST(ShippedConfigsTest, MapTanksSelectsTheColourTexturesOfTankModelsOnMaps) {
  const RCfgFile cfg = ReadShipped("MapTanks.cfg");
  for (const char* item : {
           "content\\MilitaryEnvironment\\mleSU_80_01_T34\\mleSU_80_01_T34_AM.dds",
           "content\\MilitaryEnvironment\\mleSU_80_01_T34\\mleSU_80_01_T34_AM_hd.dds",
           "content\\MilitaryEnvironment\\mleGE_80_02_Tiger\\mleGE_80_02_Tiger_AM.dds",
           "content\\MilitaryEnvironment\\mleUS_80_01_Sherman\\mleUS_80_01_Sherman_AM.dds",
           "content\\MilitaryEnvironment\\mle_KV-1\\mle_KV-1_AM.dds",
       }) {
    EXPECT_TRUE(MapTextureSelects(cfg, item)) << item;
  }
  for (const char* item : {
           "content\\MilitaryEnvironment\\mleSU_80_01_T34\\mleSU_80_01_T34_ANM.dds",
           "content\\MilitaryEnvironment\\mleSU_80_01_T34\\mleSU_80_01_T34_GMM.dds",
           "content\\MilitaryEnvironment\\mleSU_83_02_OpelBlitz\\mleSU_83_02_OpelBlitz_AM.dds",
           "content\\MilitaryEnvironment\\mle016_BoxesHowitzer\\mle016_BoxesHowitzer.dds",
           "content\\MilitaryEnvironment\\mle021_Sandbags\\mle021_Sandbags_AM.dds",
           "content\\Railway\\rw001_Locomotive\\rw001_Locomotive_AM.dds",
           "content\\Buildings\\bld_EU_House01\\bld_EU_House01_AM.dds",
           "vehicles\\russian\\R04_T-34\\T-34_hull_01_AM.dds",
       }) {
    EXPECT_FALSE(MapTextureSelects(cfg, item)) << item;
  }
  EXPECT_TRUE(SpaceBinSelects(cfg, "content/MilitaryEnvironment/mleGE_80_01_PzIV/mleGE_80_01_PzIV_AM.dds"));
  EXPECT_FALSE(SpaceBinSelects(cfg, "content/MilitaryEnvironment/mle021_Sandbags/mle021_Sandbags_AM.dds"));
}

TEST(ShippedConfigsTest, MapTrainsSelectsTheColourTexturesOfRailwayVehicles) {
  const RCfgFile cfg = ReadShipped("MapTrains.cfg");
  for (const char* item : {
           "content\\Railway\\rw004_Carriage\\rw004_Carriage.dds",
           "content\\Railway\\rw004_Carriage\\rw004_Carriage_crash.dds",
           "content\\Railway\\rw004_Carriage\\rw004_Carriage_AM.dds",
           "content\\Railway\\rw004_Carriage\\rw004_Carriage_hd.dds",
           "content\\Railway\\rw001_Locomotive\\rw001_Locomotive_AM.dds",
           "content\\Railway\\rw002_SteamLocomotive\\rw002_SteamLocomotive_AM_hd.dds",
           "content\\Railway\\rw005_Platform\\rw005_Platform_AM.dds",
           "content\\Railway\\rw007_TankWagon\\rw007_TankWagon_AM.dds",
           "content\\Railway\\rw006_Tender\\rw006_Tender_AM.dds",
       }) {
    EXPECT_TRUE(MapTextureSelects(cfg, item)) << item;
  }
  for (const char* item : {
           "content\\Railway\\rw004_Carriage\\rw004_Carriage_ANM.dds",
           "content\\Railway\\rw001_Locomotive\\rw001_Locomotive_GMM.dds",
           "content\\Railway\\rw010_Rails\\rw010_Rails_AM.dds",
           "content\\Railway\\rw012_Semaphore\\rw012_Semaphore_AM.dds",
           "content\\MilitaryEnvironment\\mleSU_80_01_T34\\mleSU_80_01_T34_AM.dds",
           "content\\Buildings\\bld_RU_Barn02\\bld_RU_Barn02_AM.dds",
       }) {
    EXPECT_FALSE(MapTextureSelects(cfg, item)) << item;
  }
  EXPECT_TRUE(SpaceBinSelects(cfg, "content/Railway/rw004_Carriage/rw004_Carriage.dds"));
  EXPECT_FALSE(SpaceBinSelects(cfg, "content/Railway/rw010_Rails/rw010_Rails_AM.dds"));
}

TEST(ShippedConfigsTest, CamouflageSelectsTheCamouflageTexturesOfVehicles) {
  const RCfgFile cfg = ReadShipped("Camouflage.cfg");
  for (const char* item : {
           "vehicles\\russian\\Camouflage\\Cussr_1_1Katukov.dds",
           "vehicles\\russian\\Camouflage\\Cussr_1_1Katukov_hd.dds",
           "vehicles\\german\\Camouflage\\Cger_2_1.dds",
       }) {
    EXPECT_TRUE(CamoSelects(cfg, item)) << item;
  }
  for (const char* item : {
           "vehicles\\french\\F72_AMX_30\\AMX_30_hull_01_AM.dds",
           "vehicles\\russian\\R04_T-34\\crash\\lod0\\Hull.visual_processed",
           "content\\MilitaryEnvironment\\mle030_CamouflageNet\\mle030_CamouflageNet_AM.dds",
       }) {
    EXPECT_FALSE(CamoSelects(cfg, item)) << item;
  }
}

}  // namespace
}  // namespace ashtint
