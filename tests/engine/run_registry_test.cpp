// Runs that meet: stamps no two runs share, and what an ended run left, told apart from the work
// of runs still going.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/sibling_file.h"
#include "engine/run_options.h"
#include "engine/run_registry.h"
#include "test_support/temp_dir.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& p, const std::string& text = "x") {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

bool Has(const TStrArray& list, const fs::path& p) { return std::find(list.begin(), list.end(), p.string()) != list.end(); }

TEST(RunRegistry, RunsInOneSecondGetTheirOwnStampsAndKnowWhoIsAlive) {
  test_support::TempDir dir;
  const std::string folder = (dir.path() / "runs").string() + "/";
  fs::create_directories(folder);
  const std::time_t now = 1700000000;
  TRunRegistry first(folder), second(folder), other(folder);
  const std::string a = first.ClaimStamp(now), b = second.ClaimStamp(now);
  EXPECT_NE(a, b);
  EXPECT_EQ(other.ClaimStamp(now - 5), MakeRunStamp(now - 5));  // an earlier second is still free

  const fs::path tempA = dir.path() / "{0A000000-0000-0000-0000-000000000000}";
  first.Register(a, tempA.string());
  const auto live = other.LiveRuns();
  EXPECT_EQ(live.Stamps, std::set<std::string>{a});
  ASSERT_EQ(live.Tags.size(), 1u);
  const std::string liveTag = *live.Tags.begin();

  // Temporary packages in a mods folder: only those of ended runs (and untagged ones) go.
  const fs::path mods = dir.path() / "mods";
  const std::string pkg = "mod.AshtintCreator.TankCrashTextures_2.2.1.248.240313.154501.wotmod";
  const fs::path mine = mods / (pkg + ".~" + liveTag + "-0123abcd.tmp");
  const fs::path dead = mods / "AshtintCreator" / (pkg + ".~deadbeef-0123abcd.tmp");
  const fs::path untagged = mods / (pkg + ".~0123abcd.tmp");
  const fs::path foreign = mods / "mymod.wotmod.~deadbeef-0123abcd.tmp";
  const fs::path notTemp = mods / (pkg + ".~deadbeef-0123abcd.tmp.bak");
  for (const auto& p : {mine, dead, untagged, foreign, notTemp}) Touch(p);
  const TStrArray stale = FindStaleTempPackages(mods.string() + "/", live.Tags);
  EXPECT_EQ(stale.size(), 2u);
  EXPECT_TRUE(Has(stale, dead));
  EXPECT_TRUE(Has(stale, untagged));

  // A run that ended without cleaning up: its folder goes, a folder it had no right to name stays.
  const fs::path tempDead = dir.path() / "{0B000000-0000-0000-0000-000000000000}";
  const fs::path notARunFolder = dir.path() / "documents";
  Touch(tempDead / "res" / "vehicles" / "a.dds");
  Touch(notARunFolder / "keep.txt");
  Touch(fs::path(folder) / "run.deadbeef", "240313.154501\n" + tempDead.string() + "\n");
  Touch(fs::path(folder) / "run.deadbee2", "240313.154502\n" + notARunFolder.string() + "\n");
  Touch(tempA / "res" / "x.dds");
  const TStrArray removed = other.RemoveDeadRuns();
  EXPECT_EQ(removed, TStrArray{tempDead.string()});
  EXPECT_FALSE(fs::exists(tempDead));
  EXPECT_TRUE(fs::exists(notARunFolder / "keep.txt"));
  EXPECT_TRUE(fs::exists(tempA / "res" / "x.dds"));  // the live run's
  EXPECT_FALSE(fs::exists(fs::path(folder) / "run.deadbeef"));
  SetSiblingTempTag("");
}

}  // namespace
}  // namespace ashtint
