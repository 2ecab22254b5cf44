#include "config/cfg_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/exceptions.h"
#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

RCfgFile Parse(std::string_view text) {
  RCfgFile cfg;
  ParseCfgText(text, cfg);
  return cfg;
}

TStrArray Words(std::string_view line) {
  RSign sign;
  SplitSign(sign, line);
  EXPECT_EQ(sign.WordCount, static_cast<std::int32_t>(sign.Words.size()));
  return sign.Words;
}

TEST(CfgFileTest, SplitSignDropsEmptyFragments) {
  EXPECT_EQ(Words("\\crash\\"), TStrArray{"\\crash\\"});
  EXPECT_EQ(Words("a**b*"), (TStrArray{"a", "b"}));
  EXPECT_EQ(Words("*a*b"), (TStrArray{"a", "b"}));
  EXPECT_EQ(Words("**"), TStrArray{});
  RSign sign;
  SplitSign(sign, "x");
  SplitSign(sign, "y*z");
  EXPECT_EQ(sign.Words, (TStrArray{"x", "y", "z"})) << "fragments are appended";
  EXPECT_EQ(sign.WordCount, 3);
}

TEST(CfgFileTest, KeyLinesNeedTheSpaceAndLaterOnesWin) {
  const RCfgFile cfg = Parse(
      "config_version = 2\r\n"
      "soft_version = 240\r\n"
      "config_version=3\r\n"       // no space: a root
      "config_version = 4\r\n"
      "SOFT_VERSION = 245\r\n");
  EXPECT_EQ(cfg.ConfigVersion, 4);
  EXPECT_EQ(cfg.SoftVersion, 245);
  ASSERT_EQ(cfg.Roots.size(), 1u);
  EXPECT_EQ(cfg.Roots[0].Name, "config_version=3");
  EXPECT_EQ(cfg.Roots[0].SignCount, 0);

  EXPECT_EQ(Parse("config_version = two\n").ConfigVersion, 0);
  EXPECT_EQ(Parse("config_version = 5 beta\n").ConfigVersion, 0);
  EXPECT_EQ(Parse("config_version 5\n").ConfigVersion, 0) << "without '=' the value is no number";
  EXPECT_EQ(Parse("config_version = 99999999999\n").ConfigVersion, 0);
  EXPECT_EQ(Parse("config_version =  +7 \n").ConfigVersion, 7);
  EXPECT_EQ(Parse("config_version = -3\n").ConfigVersion, -3);
}

TEST(CfgFileTest, RootsSignsAndComments) {
  const RCfgFile cfg = Parse(
      "\t*early sign*\n"            // before any root: ignored
      "# comment\n"
      "vehicles\\\n"
      "\t\\crash\\*.visual_processed\n"
      "    # indented comment, not a sign\n"
      "  a*b  \n"
      "\t*\n"                        // no fragment: dropped
      "\t**\n"
      "  \n"
      "content\\Railway\\\r"
      "third root\r\n"
      " \x01 last*one\x7f\r\n");
  ASSERT_EQ(cfg.Roots.size(), 3u);
  EXPECT_EQ(cfg.Roots[0].Name, "vehicles\\");
  ASSERT_EQ(cfg.Roots[0].SignCount, 2);
  ASSERT_EQ(cfg.Roots[0].Signs.size(), 2u);
  EXPECT_EQ(cfg.Roots[0].Signs[0].Words, (TStrArray{"\\crash\\", ".visual_processed"}));
  EXPECT_EQ(cfg.Roots[0].Signs[1].Words, (TStrArray{"a", "b"}));
  EXPECT_EQ(cfg.Roots[1].Name, "content\\Railway\\");
  EXPECT_EQ(cfg.Roots[1].SignCount, 0);
  EXPECT_EQ(cfg.Roots[2].Name, "third root");
  ASSERT_EQ(cfg.Roots[2].SignCount, 1);
  EXPECT_EQ(cfg.Roots[2].Signs[0].Words, (TStrArray{"last", "one\x7f"}));
}

TEST(CfgFileTest, LineBreaksOfEveryKindAndAByteOrderMark) {
  const RCfgFile cfg = Parse("\xEF\xBB\xBF" "config_version = 1\rroot1\n\tx\r\n\ty\rroot2");
  EXPECT_EQ(cfg.ConfigVersion, 1);
  ASSERT_EQ(cfg.Roots.size(), 2u);
  EXPECT_EQ(cfg.Roots[0].SignCount, 2);
  EXPECT_EQ(cfg.Roots[1].Name, "root2");
  EXPECT_EQ(SplitCfgLines("a\r\n\r\nb\n"), (TStrArray{"a", "", "b"}));
}

TEST(CfgFileTest, ReadCfgFileResetsAndReadsFromDisk) {
  test::TempDir dir;
  RCfgFile cfg;
  cfg.ConfigVersion = 9;
  cfg.Roots.push_back(RFiles{"stale", {}, 0});
  ReadCfgFile(dir / "missing.cfg", cfg);
  EXPECT_EQ(cfg.FileName, dir / "missing.cfg");
  EXPECT_EQ(cfg.ConfigVersion, 0);
  EXPECT_EQ(cfg.SoftVersion, 0);
  EXPECT_TRUE(cfg.Roots.empty());

  test::WriteFileBytes(dir / "a.cfg", "config_version = 3\r\nsoft_version = 248\r\nvehicles\\\r\n\t\\crash\\\r\n");
  ReadCfgFile(dir / "a.cfg", cfg);
  EXPECT_EQ(cfg.ConfigVersion, 3);
  EXPECT_EQ(cfg.SoftVersion, 248);
  ASSERT_EQ(cfg.Roots.size(), 1u);
  EXPECT_TRUE(IsCfgUsable(cfg, 248));
  EXPECT_FALSE(IsCfgUsable(cfg, 247)) << "needs a newer engine";

  std::filesystem::create_directories(dir / "folder.cfg");
  ReadCfgFile(dir / "folder.cfg", cfg);
  EXPECT_TRUE(cfg.Roots.empty()) << "a folder is no configuration file";

  if (::geteuid() != 0) {
    std::filesystem::permissions(dir / "a.cfg", std::filesystem::perms::none);
    EXPECT_THROW(ReadCfgFile(dir / "a.cfg", cfg), EInOutError);
  }
}

TEST(CfgFileTest, UsableNeedsVersionSoftVersionAndRoots) {
  EXPECT_FALSE(IsCfgUsable(Parse("soft_version = 1\nroot\n"), 248)) << "version 0";
  EXPECT_FALSE(IsCfgUsable(Parse("config_version = 1\n"), 248)) << "no root";
  EXPECT_TRUE(IsCfgUsable(Parse("config_version = 1\nroot\n"), 248)) << "soft version 0 allows any build";
  EXPECT_FALSE(IsCfgUsable(Parse("config_version = 1\nsoft_version = 300\nroot\n"), 248));
}

}  // namespace
}  // namespace ashtint
