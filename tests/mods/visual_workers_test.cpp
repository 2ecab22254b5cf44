// The crashed-tank and crashed-track workers over a generated client: exactly the files its
// manifest lists, with exactly the bytes it gives, and the frame's error handling.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "platform/module_loader.h"
#include "client/wot_info.h"
#include "common/text.h"
#include "config/cfg_file.h"
#include "mods/visual_crash_workers.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"
#include "mods/worker_test_support.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;
using test_support::TempDir;

class VisualWorkers : public GeneratedClientSuite {
 protected:

  template <class W>
  std::vector<std::unique_ptr<W>> Run(const SArray& packages, const std::string& out,
                                      const std::function<void(W&)>& configure = {}, TLogProc log = {}) {
    RCfgFile cfg;
    ReadCfgFile(std::string(ASHTINT_SOURCE_DIR) + "/configs/CrashTanks.cfg", cfg);
    std::vector<std::unique_ptr<W>> workers;
    for (const auto& p : packages) {
      workers.push_back(std::make_unique<W>(p, log, out, client_->info.ClientDir));
      workers.back()->SetSigns(cfg.Roots, 600);
      if (configure) configure(*workers.back());
    }
    RunToEnd(workers);
    return workers;
  }
};

TEST_F(VisualWorkers, CrashTanksWriteExactlyTheManifestsBytes) {
  for (bool shadows : {false, true}) {
    TempDir out;
    auto workers = Run<ThVisualCrashTanks>(client_->info.VehiclePkgs, out.str(),
                                           [&](ThVisualCrashTanks& w) { w.RemoveShadows = shadows; });
    int written = 0;
    for (const auto& w : workers) {
      EXPECT_EQ(w->ErrorText, "") << w->PkgFile;
      written += w->FilesWritten;
    }
    std::vector<std::string> args{"--mod", "DPT", "--exact"};
    if (shadows) args.push_back("--remove-shadows");
    const auto check = client_->Check(out.str(), args);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("checked "), std::string::npos) << check.out;
    EXPECT_EQ(written, CountFiles(out.path()));
    EXPECT_GT(written, 10);
  }
}

TEST_F(VisualWorkers, CrashTracksWriteExactlyTheManifestsBytes) {
  TempDir out;
  auto workers = Run<ThVisualCrashTracks>(client_->info.VehiclePkgs, out.str());
  for (const auto& w : workers) EXPECT_EQ(w->ErrorText, "") << w->PkgFile;
  const auto check = client_->Check(out.str(), {"--mod", "CCT", "--exact"});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
}

TEST_F(VisualWorkers, LogLinesArriveOnceOnReleaseInOneBlock) {
  TempDir out;
  std::vector<std::string> blocks;
  {
    auto workers = Run<ThVisualCrashTracks>({client_->info.VehiclePkgs.back()}, out.str(), {},
                                            [&](const std::string& b) { blocks.push_back(b); });
    EXPECT_TRUE(blocks.empty());  // nothing before the release
  }
  ASSERT_EQ(blocks.size(), 1u);
  const std::string& b = blocks[0];
  EXPECT_EQ(b.rfind("Open \t" + client_->info.VehiclePkgs.back() + "\r\n", 0), 0u) << b;
  EXPECT_NE(b.find("\r\nRead \t"), std::string::npos);
  EXPECT_NE(b.find("\r\nWrite \t" + out.str()), std::string::npos);
  EXPECT_TRUE(EndsText("\r\nClose \t" + client_->info.VehiclePkgs.back(), b));

  // Without rules a worker ends at once, with neither error nor files, even on a broken file.
  TempDir out2;
  ThVisualCrashTanks idle(out2 / "missing.pkg", {}, out2.str(), "");
  std::vector<ThVisualCrashTanks*> one{&idle};
  RunToEnd(one);
  EXPECT_EQ(idle.ErrorText, "");
  EXPECT_EQ(idle.FilesWritten, 0);
}

TEST_F(VisualWorkers, DamagedPackageReportsAfterThreeAttemptsWhileOthersFinish) {
  TempDir dir;
  const std::string bad = dir / "vehicles_level_99.pkg";
  std::ofstream(bad, std::ios::binary) << "PK\x03\x04 this is not a zip archive";
  std::vector<std::string> blocks;
  SArray packages{bad, client_->info.ClientDir + "res/packages/vehicles_level_01.pkg"};
  {
    auto workers = Run<ThVisualCrashTanks>(packages, dir / "out/", {},
                                           [&](const std::string& b) { blocks.push_back(b); });
    const std::string& e = workers[0]->ErrorText;
    EXPECT_EQ(e.rfind("Pkg: " + bad + "\r\nType: E7zError\r\nMessage: ", 0), 0u) << e;
    EXPECT_EQ(e.find("File: "), std::string::npos);
    EXPECT_EQ(workers[1]->ErrorText, "");
    EXPECT_GT(workers[1]->FilesWritten, 0);
  }
  // Three attempts: three opens of the damaged package in its log block.
  std::size_t opens = 0;
  for (const auto& b : blocks)
    for (auto at = b.find("Open \t" + bad); at != std::string::npos; at = b.find("Open \t" + bad, at + 1)) ++opens;
  EXPECT_EQ(opens, 3u);
}

TEST_F(VisualWorkers, HostileItemPathsNeverWriteOutsideTheOutputFolder) {
  TempDir dir;
  // A model that would be rewritten, under names that climb out of the output folder.
  const std::string model = dir / "model.bin";
  {
    std::ofstream f(model, std::ios::binary);
    f << std::string(700, 'x') << "shaders/std_effects/PBS_tank_crash.fx" << std::string(10, 'y');
  }
  for (const std::string name : {"vehicles/../../escape/crash/hull.visual_processed",
                                 "/tmp/vehicles/crash/hull.visual_processed",
                                 "vehicles/c:/crash/hull.visual_processed"}) {
    const std::string pkg = dir / "hostile.pkg";
    fs::remove(pkg);
    const auto made = test_support::RunProcess(
        "/usr/bin/python3",
        {"-c", "import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1],'w')\n"
               "z.writestr(zipfile.ZipInfo(sys.argv[3]),open(sys.argv[2],'rb').read())\nz.close()",
         pkg, model, name});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string out = dir / "a/b/out/";
    fs::create_directories(out);
    auto workers = Run<ThVisualCrashTanks>({pkg}, out);
    EXPECT_EQ(CountFiles(dir.path() / "a"), 0) << name;
    EXPECT_FALSE(fs::exists(dir / "a/escape"));
    EXPECT_FALSE(fs::exists(dir / "escape"));
    // A climbing or drive-holding name is refused as an error of this package (the library
    // itself drops a leading root, which keeps that name inside the output folder).
    if (name.find("..") != std::string::npos || name.find(':') != std::string::npos) {
      EXPECT_NE(workers[0]->ErrorText.find("Type: EItemPathError"), std::string::npos) << workers[0]->ErrorText;
    }
  }
}

}  // namespace
}  // namespace ashtint
