// What the result window is told about a failed run comes from the real engine's own words: a
// package the system refused to write is a failed mod whose reason carries the system's cause.
#include "gui/engine_runner/run_results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;
using namespace ashtint;

// Without the engine's words (on Windows it writes into a console of its own) each mod still gets
// its own packages, by their names, when several copies wrote into the same folder at once.
TEST(RunResults, WithoutOutputEachCopyFindsItsOwnPackagesByName) {
  test_support::TempDir dir;
  const fs::path sub = dir.path() / "AshtintCreator";
  fs::create_directories(sub);
  for (const char* name : {"mod.AshtintCreator.TankCrashTextures_FFFFFF.wotmod", "mod.AshtintCreator.TankMapTextures_1.wotmod",
                           "mod.AshtintCreator.SpaceBinPatched_1.wotmod", "my own name.wotmod"})
    std::ofstream(sub / name) << "PK";
  const QString destination = QString::fromStdString(dir.str());
  const QDateTime since = QDateTime::currentDateTime().addSecs(-5);
  std::vector<RModResult> dpt = ReadModResults({"--DPT-mod=FFFFFF"}, QString(), true, QString());
  LocatePackages(dpt, destination, since, ".wotmod");
  ASSERT_EQ(dpt.size(), 1u);
  ASSERT_EQ(dpt[0].Packages.size(), 2u) << "its own and the one named for no mod";
  EXPECT_EQ(dpt[0].Packages[0].Name, "mod.AshtintCreator.TankCrashTextures_FFFFFF.wotmod");
  EXPECT_EQ(dpt[0].Packages[0].Size, 2);
  std::vector<RModResult> maps =
      ReadModResults({"--MEM-mod=FFE200", "--CTM-mod=DD7744", "--SpaceBin-mod=FFE200|DD7744"}, QString(), true, QString());
  LocatePackages(maps, destination, since, ".wotmod");
  ASSERT_EQ(maps.size(), 3u);
  EXPECT_EQ(maps[0].Packages.size(), 2u) << "MEM: its package and the one named for no mod";
  EXPECT_TRUE(maps[1].Packages.empty()) << "CTM wrote none";
  ASSERT_EQ(maps[2].Packages.size(), 1u);
  EXPECT_EQ(maps[2].Packages[0].Name, "mod.AshtintCreator.SpaceBinPatched_1.wotmod");
}

// The real engine under a file-size limit: a Linux run (the Windows build runs its tests under Wine).
#ifndef _WIN32
#include "test_support/run_process.h"


TEST(RunResults, AFailedPackageWriteIsAFailedModWithTheSystemsReason) {
  test_support::TempDir dir;
  const std::string source = ASHTINT_SOURCE_DIR;
  const auto made = test_support::RunProcess(
      "/usr/bin/python3", {source + "/tools/gen_client.py", "--profile", "small", "--out", (dir.path() / "gen").string()});
  ASSERT_EQ(made.status, 0) << made.err;
  const fs::path client = dir.path() / "gen" / "World_of_Tanks_EU";
  // A limit on the size of the files the engine writes stands in for a full disk: the package
  // cannot be written, and the system says why.
  const std::string limit =
      "import os,resource,subprocess,sys\n"
      "env=dict(os.environ,ASAN_OPTIONS=os.environ.get('ASAN_OPTIONS','')+':detect_leaks=0')\n"
      "r=subprocess.run(sys.argv[1:],capture_output=True,env=env,restore_signals=False,\n"
      "  preexec_fn=lambda:resource.setrlimit(resource.RLIMIT_FSIZE,(4000,4000)))\n"
      "sys.stdout.buffer.write(r.stdout);sys.stderr.buffer.write(r.stderr);sys.exit(r.returncode&255)\n";
  const QStringList arguments{"--wot-path=" + QString::fromStdString(client.string()), "--no-update-configs",
                              "--auto-close-console",
                              "--configs-path=" + QString::fromStdString(source + "/configs"),
                              "--CCT-mod=404040", "--DPT-mod=FFFFFF"};
  std::vector<std::string> args{"-c", limit, ASHTINT_ENGINE_FILE};
  for (const QString& a : arguments) args.push_back(a.toStdString());
  const auto r = test_support::RunProcess("/usr/bin/python3", args, "",
                                          {"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
  ASSERT_NE(r.status, 0) << r.out;

  const QString destination = QString::fromStdString((client / "mods" / "1.24.0.1").string());
  TRunResults results(destination, ".wotmod");
  const int run = results.Begin(arguments);
  results.Finish(run, r.status, false, QString::fromStdString(r.out + r.err));
  ASSERT_TRUE(results.AllEnded());
  EXPECT_TRUE(results.AnyFailed());
  const auto mods = results.Mods();
  ASSERT_EQ(mods.size(), 2u);
  for (const RModResult& mod : mods) {
    EXPECT_EQ(mod.Outcome, TModOutcome::Failed) << mod.Mod.toStdString();
    EXPECT_TRUE(mod.Reason.contains("Failed to create wotmod-file!")) << mod.Reason.toStdString();
    EXPECT_TRUE(mod.Reason.contains("File too large")) << mod.Reason.toStdString();
    EXPECT_TRUE(mod.Packages.empty()) << mod.Mod.toStdString();
  }
}
#endif
