// What the result window is told about a failed run comes from the real engine's own words: a
// package the system refused to write is a failed mod whose reason carries the system's cause.
#include "gui/engine_runner/run_results.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

// The real engine under a file-size limit: a Linux run (the Windows build runs its tests under Wine).
#ifndef _WIN32
#include "test_support/run_process.h"

namespace fs = std::filesystem;
using namespace ashtint;

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
