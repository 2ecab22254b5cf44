// The six mod stages run by the real engine on a generated client: console reports, exit codes,
// and packages read back with python's zipfile and checked against the client's manifest.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "common/exit_codes.h"
#include "e2e/engine_env.h"
#include "test_support/mod_check.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string kSource = ASHTINT_SOURCE_DIR;
const std::string kPython = "/usr/bin/python3";

class EngineStages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test_support::TempDir;
    const auto made = test_support::RunProcess(
        kPython, {kSource + "/tools/gen_client.py", "--profile", "small", "--out", dir_->str() + "gen"});
    ASSERT_EQ(made.status, 0) << made.err;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  // A fresh copy of the generated client for each test, so packages never meet across tests.
  void SetUp() override {
    client_ = env_.root() / "client";
    fs::copy(dir_->path() / "gen" / "World_of_Tanks_EU", client_, fs::copy_options::recursive);
    mods_ = client_ / "mods" / "1.24.0.1";
  }

  test_support::ProcessResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--wot-path=" + client_.string(), "--no-update-configs", "--auto-close-console",
                               "--configs-path=" + kSource + "/configs"});
    return env_.Run(args, "");
  }

  // The packages in the mods folder (below it too), by file name.
  std::map<std::string, fs::path> Packages() const {
    std::map<std::string, fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(mods_, ec); !ec && it != fs::recursive_directory_iterator();
         ++it)
      if (it->is_regular_file()) found[it->path().filename().string()] = it->path();
    return found;
  }

  fs::path Unpack(const fs::path& package) const {
    const fs::path to = env_.root() / "unpacked" / package.filename();
    EXPECT_EQ(test_support::UnpackWotmod(package.string(), to.string()), "");
    return to;
  }

  void ExpectMatchesManifest(const fs::path& folder, std::vector<std::string> args) const {
    EXPECT_EQ(test_support::CheckMods((dir_->path() / "gen" / "manifest.json").string(), client_.string(),
                                      folder.string(), args),
              "");
  }

  static test_support::TempDir* dir_;
  EngineEnv env_;
  fs::path client_, mods_;
};
test_support::TempDir* EngineStages::dir_ = nullptr;

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
  return n;
}

// The package names a run reports under "Created files:".
std::vector<std::string> CreatedNames(const std::string& out) {
  std::vector<std::string> names;
  const std::string head = "    Created files:\r\n          ";
  for (std::size_t p = 0; (p = out.find(head, p)) != std::string::npos;) {
    p += head.size();
    names.push_back(out.substr(p, out.find("\r\n", p) - p));
  }
  return names;
}

// Files below a folder whose names hold the text.
std::vector<fs::path> FilesNamedWith(const fs::path& folder, const std::string& text) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
    if (it->path().filename().string().find(text) != std::string::npos) found.push_back(it->path());
  return found;
}

TEST_F(EngineStages, AllSixStagesPackExactlyTheManifestsFiles) {
  const auto r = Run({"--DPT-mod=FFFFFF", "--inside-color=202020", "--remove-shadows", "--CCT-mod=404040",
                      "--MEM-mod=DD7744", "--CTM-mod=2050A0", "--SpaceBin-mod=DD7744|2050A0", "--CAMO-mod=30",
                      "--downsizing-ratio=4"});
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  // Reports in their columns: DPT's is 35 wide, the map stages' 40.
  EXPECT_NE(r.out.find("  > Creating monochromatic textures for crashed tanks\r\n    Processing:\r\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\r\n          shared_content-part1.pkg           OK\r\n"), std::string::npos);
  EXPECT_NE(r.out.find("          01_karelia.pkg                          OK ("), std::string::npos);
  EXPECT_EQ(Count(r.out, "    Files packing... OK\r\n    Created files:\r\n          mod.AshtintCreator."), 6u);
  EXPECT_EQ(Count(r.out, "    Delete temporary files... OK\r\n\r\n"), 6u);

  const auto packages = Packages();
  ASSERT_EQ(packages.size(), 6u);
  for (const auto& [name, path] : packages) {
    const fs::path folder = env_.root() / "unpacked" / path.filename();
    EXPECT_EQ(test_support::CheckPackage((dir_->path() / "gen" / "manifest.json").string(), client_.string(),
                                         path.string(), folder.string(), "#DD7744", "#2050A0"),
              "");
    const std::string kind = name.substr(19, name.find('_') - 19);  // after "mod.AshtintCreator."
    const std::string meta = ReadFile(folder / "meta.xml");
    EXPECT_NE(meta.find("<id>mod.AshtintCreator." + kind + "</id>\r\n"), std::string::npos) << meta;
  }
  // Nothing of the run is left in the temporary folder.
  EXPECT_EQ(Count(r.out, "Delete temporary files"), 6u);
}

TEST_F(EngineStages, LooseFilesDeveloperKeysAndOnePackageOfEverything) {
  const fs::path loose = env_.root() / "loose";
  auto r = Run({"--without-wotmod", "--mods-path=" + loose.string(), "--CCT-mod=404040", "--test"});
  EXPECT_EQ(r.code, 0) << r.out;
  // Test mode takes one package: the last of the list that exists.
  EXPECT_EQ(Count(r.out, "          vehicles_level_"), 1u) << r.out;
  EXPECT_EQ(r.out.find("Files packing"), std::string::npos);
  EXPECT_TRUE(fs::exists(loose / "vehicles" / "track_crash.dds"));
  EXPECT_TRUE(Packages().empty());

  r = Run({"--DPT-mod=FF0000", "--subfolder-wotmod", "--DPT-wotmod-name=crash", "--DPT-wotmod-meta=my.id|1.0|My name|My text"});
  EXPECT_EQ(r.code, 0) << r.out;
  ASSERT_TRUE(fs::exists(mods_ / "AshtintCreator" / "crash.wotmod")) << r.out;
  EXPECT_EQ(ReadFile(Unpack(mods_ / "AshtintCreator" / "crash.wotmod") / "meta.xml"),
            "<root>\r\n    <id>my.id</id>\r\n    <version>1.0</version>\r\n    <name>My name</name>\r\n"
            "    <description>My text</description>\r\n</root>\r\n");
  fs::remove_all(mods_);

  r = Run({"--allinone-wotmod", "--DPT-mod=FFFFFF", "--CCT-mod=404040"});
  EXPECT_EQ(r.code, 0) << r.out;
  const auto packages = Packages();
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages.begin()->first.rfind("mod.AshtintCreator.AllMods_2.2.1.248.", 0), 0u);
  const fs::path all = Unpack(packages.begin()->second);
  ExpectMatchesManifest(all, {"--mod", "DPT", "--package"});
  ExpectMatchesManifest(all, {"--mod", "CCT", "--package"});
  const std::string props = ReadFile(all / "properties.xml");
  EXPECT_LT(props.find("<TankCrashTextures>"), props.find("<TrackCrashTextures>")) << props;
}

TEST_F(EngineStages, FailuresStoreTheirCodesAndTheRunGoesOn) {
  // A damaged package: reported after three attempts, the others still packed.
  const fs::path damaged = client_ / "res" / "packages" / "vehicles_level_05-part1.pkg";
  fs::resize_file(damaged, fs::file_size(damaged) / 2);
  // Configurations: one unusable, one that selects nothing.
  const fs::path cfgs = env_.root() / "cfgs";
  fs::create_directories(cfgs);
  fs::copy_file(kSource + "/configs/CrashTanks.cfg", cfgs / "CrashTanks.cfg");
  WriteFile(cfgs / "MapTanks.cfg", "config_version = 0\r\nsoft_version = 248\r\ncontent\\\r\n\tnothing\r\n");
  WriteFile(cfgs / "MapTrains.cfg", "config_version = 1\r\nsoft_version = 248\r\ncontent\\\r\n\tno_such_thing\r\n");

  auto r = Run({"--configs-path=" + cfgs.string(), "--DPT-mod=FFFFFF", "--MEM-mod=DD7744", "--CTM-mod=2050A0"});
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, ashtint::StageExitCode(1, ashtint::StageErrorWorker)) << r.out;  // 16011 came first
  EXPECT_NE(r.out.find("          vehicles_level_05-part1.pkg        Failed!\r\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("An error occurred while working with one of the files!\r\n\r\nPkg: " + damaged.string()),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("  > Creating monochromatic textures for tanks on the maps\r\n    Not found cfg-file!\r\n\r\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("    Files packing... Not found dds-files!\r\n    Delete temporary files... OK\r\n"),
            std::string::npos);
  // The crashed-tank package holds what the good packages gave.
  const auto packages = Packages();
  ASSERT_EQ(packages.size(), 1u);
  ExpectMatchesManifest(Unpack(packages.begin()->second),
                        {"--mod", "DPT", "--package", "--packages", "vehicles_level_01.pkg", "vehicles_level_08-part1.pkg"});
  // A stage error keeps the console open even with auto-close.
  EXPECT_EQ(r.out.substr(r.out.size() - 26), "    Press enter to exit...");

  // One package of everything, with nothing to pack: its own code when no earlier one was stored.
  r = Run({"--configs-path=" + cfgs.string(), "--allinone-wotmod", "--CTM-mod=2050A0"});
  EXPECT_EQ(r.code, ashtint::ecAllInOneEmpty) << r.out;
  EXPECT_NE(r.out.find("  > Files packing... Not found textures!\r\n\r\n"), std::string::npos) << r.out;
  r = Run({"--configs-path=" + cfgs.string(), "--allinone-wotmod", "--MEM-mod=DD7744"});
  EXPECT_EQ(r.code, ashtint::ecMapTanksCfg) << r.out;  // the unusable file's code came first
}

TEST_F(EngineStages, RunsThatMeetKeepEachOthersPackages) {
  // Two runs in one second, the second removing old packages: it keeps its own. Both start
  // early in a second, so that they share it.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  std::this_thread::sleep_for(std::chrono::seconds(1) - (now % std::chrono::seconds(1)));
  const auto first = Run({"--CCT-mod=404040"});
  const auto second = Run({"--CCT-mod=404040", "--remove-wotmod"});
  ASSERT_EQ(CreatedNames(first.out).size(), 1u) << first.out;
  ASSERT_EQ(CreatedNames(second.out).size(), 1u) << second.out;
  EXPECT_NE(CreatedNames(first.out), CreatedNames(second.out));
  EXPECT_TRUE(fs::exists(mods_ / CreatedNames(second.out)[0])) << second.out;
  EXPECT_FALSE(fs::exists(mods_ / CreatedNames(first.out)[0]));  // an ended run's package is old

  // A removal run that starts while another run is still going leaves all of that run's
  // packages, also those written before it started: here the other run has packed both of its
  // mods and waits for Enter (its input stays open for four seconds).
  test_support::ProcessResult long_;
  std::thread going([&] {
    long_ = test_support::RunProcess(
        "/bin/sh",
        {"-c", "sleep 4 | exec \"$0\" \"$@\"", env_.engine().string(), "--wot-path=" + client_.string(),
         "--no-update-configs", "--configs-path=" + kSource + "/configs", "--DPT-mod=FFFFFF", "--CCT-mod=404040"},
        "", {"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  const auto packed = [&] {
    std::size_t n = 0;
    for (const auto& [name, path] : Packages()) n += path.extension() == ".wotmod" ? 1 : 0;
    return n;
  };
  while (packed() < 2 && std::chrono::steady_clock::now() < deadline)  // the second run's and one more
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto removal = Run({"--remove-wotmod"});
  going.join();
  EXPECT_NE(removal.out.find("  > Delete old wotmod-files... OK (1 file)\r\n"), std::string::npos) << removal.out;
  const auto made = CreatedNames(long_.out);
  EXPECT_EQ(made.size(), 2u) << long_.out;
  for (const auto& name : made) EXPECT_TRUE(fs::exists(mods_ / name)) << name << "\n" << removal.out;
}

TEST_F(EngineStages, WriteFailuresAreNamedWithTheSystemsWords) {
  // A limit on the size of the files the run writes stands in for a full disk: the writes fail,
  // and the system says why. The limit holds for the engine alone, not for its captured output;
  // the leak checker of the sanitizer builds cannot work within it and is left out.
  const std::string limit =
      "import os,resource,subprocess,sys\n"
      "n=int(sys.argv[1])\n"
      "env=dict(os.environ,ASAN_OPTIONS=os.environ.get('ASAN_OPTIONS','')+':detect_leaks=0')\n"
      "r=subprocess.run(sys.argv[2:],capture_output=True,env=env,restore_signals=False,\n"
      "  preexec_fn=lambda:resource.setrlimit(resource.RLIMIT_FSIZE,(n,n)))\n"
      "sys.stdout.buffer.write(r.stdout);sys.stderr.buffer.write(r.stderr);sys.exit(r.returncode&255)\n";
  const auto limited = [&](const char* bytes, const std::string& option = "--CCT-mod=404040") {
    const std::vector<std::string> args{"-c", limit, bytes, env_.engine().string(), "--wot-path=" + client_.string(),
                                        "--no-update-configs", "--auto-close-console",
                                        "--configs-path=" + kSource + "/configs", "--CCT-mod=404040", option};
    return test_support::RunProcess(kPython, args, "", {"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
  };
  // The package (10 kB) passes the limit, each texture (1.5 kB) does not.
  auto r = limited("4000");
  EXPECT_EQ(r.code, ashtint::StageExitCode(2, ashtint::StageErrorPacking)) << r.out << r.err;
  EXPECT_NE(r.out.find("    Files packing... Failed to create wotmod-file!\r\n          Cannot write file \"" +
                       mods_.string() + "/mod.AshtintCreator.TrackCrashTextures_"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("File too large\r\n"), std::string::npos) << r.out;
  EXPECT_TRUE(Packages().empty());
  // A worker's loose file: its package's report says why it was not saved.
  r = limited("1000", "--without-wotmod");
  EXPECT_EQ(r.code, ashtint::StageExitCode(2, ashtint::StageErrorWorker)) << r.out << r.err;
  EXPECT_NE(r.err.find("Message: Unable to save file! Cannot write file \""), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
}

TEST_F(EngineStages, TooLittleFreeSpaceEndsTheRunWith16010) {
  // A folder nothing can be written into is named as such, not taken for a full disk.
  const auto proc = Run({"--mods-path=/proc/ashtint/", "--DPT-mod=FFFFFF"});
  EXPECT_EQ(proc.code, ashtint::ecNoFreeSpace) << proc.out;
  EXPECT_NE(proc.out.find("    The mods folder cannot be written: Cannot create folder \"/proc/ashtint/\"."),
            std::string::npos)
      << proc.out;

  // The mods folder on a small file system of its own, in a mount namespace of this run only.
  const fs::path small = env_.root() / "small";
  fs::create_directories(small);
  std::vector<std::string> args{"-m", "sh", "-c", "mount -t tmpfs -o size=8m tmpfs \"$0\" && exec \"$@\"",
                                small.string(), env_.engine().string(), "--wot-path=" + client_.string(),
                                "--mods-path=" + small.string(), "--no-update-configs",
                                "--configs-path=" + kSource + "/configs", "--DPT-mod=FFFFFF"};
  const auto probe = test_support::RunProcess("/usr/bin/unshare", {"-m", "sh", "-c", "mount -t tmpfs tmpfs /mnt"});
  if (probe.status != 0) GTEST_SKIP() << "no mount namespaces here: " << probe.err;
  const auto r = test_support::RunProcess("/usr/bin/unshare", args, "\n",
                                          {"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
  EXPECT_EQ(r.code, ashtint::ecNoFreeSpace) << r.out << r.err;
  EXPECT_NE(r.out.find("  > Creating monochromatic textures for crashed tanks\r\n    Not enough free disk space!\r\n"
                       "\r\n    Press enter to exit..."),
            std::string::npos)
      << r.out;
}

TEST_F(EngineStages, AKilledRunNeverLeavesABrokenPackage) {
  // Killed at points spread over a whole run: whatever carries a package's name is whole, and
  // the next run leaves nothing of the killed one, neither in the mods folder nor in the
  // temporary folder.
  const fs::path tmp = env_.root() / "tmp";
  fs::create_directories(tmp);
  const std::vector<std::string> env{"TMPDIR=" + tmp.string(), "ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"};
  const std::vector<std::string> args{"--wot-path=" + client_.string(), "--no-update-configs", "--auto-close-console",
                                      "--configs-path=" + kSource + "/configs", "--DPT-mod=FFFFFF",
                                      "--CCT-mod=404040", "--MEM-mod=DD7744", "--CTM-mod=2050A0",
                                      "--SpaceBin-mod=DD7744|2050A0", "--CAMO-mod=30"};
  int broken = 0, whole = 0;
  for (const char* delay : {"0.05", "0.1", "0.15", "0.2", "0.25", "0.3", "0.4", "0.6"}) {
    std::vector<std::string> all{"-s", "KILL", delay, env_.engine().string()};
    all.insert(all.end(), args.begin(), args.end());
    test_support::RunProcess("/usr/bin/timeout", all, "", env);
    for (const auto& [name, path] : Packages()) {
      if (name.size() < 7 || name.substr(name.size() - 7) != ".wotmod") continue;
      const auto r = test_support::RunProcess(
          kPython, {"-c", "import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\nsys.exit(1 if z.testzip() else 0)",
                    path.string()});
      (r.status == 0 ? whole : broken) += 1;
      fs::remove(path);
    }
    const auto next = env_.Run({"--wot-path=" + client_.string(), "--no-update-configs", "--auto-close-console",
                                "--remove-wotmod"},
                               "", env);
    EXPECT_EQ(next.code, 0) << next.out;
    EXPECT_EQ(FilesNamedWith(mods_, ".tmp"), std::vector<fs::path>{}) << delay;
    EXPECT_EQ(FilesNamedWith(tmp, "{"), std::vector<fs::path>{}) << delay;
  }
  EXPECT_EQ(broken, 0);
  EXPECT_GT(whole, 0);  // some runs got as far as writing packages
}

TEST_F(EngineStages, AnInterruptedRunTakesItsTemporaryFilesWithIt) {
  // Ctrl+C at points spread over a whole run: no temporary folder, no half-written package.
  const fs::path tmp = env_.root() / "tmp";
  fs::create_directories(tmp);
  int interrupted = 0;
  for (const char* delay : {"0.05", "0.12", "0.2", "0.3", "0.45"}) {
    std::vector<std::string> args{"--preserve-status", "-s", "INT", delay, env_.engine().string(),
                                  "--wot-path=" + client_.string(),
                                  "--no-update-configs", "--auto-close-console", "--configs-path=" + kSource + "/configs",
                                  "--DPT-mod=FFFFFF", "--MEM-mod=DD7744", "--SpaceBin-mod=DD7744|2050A0",
                                  "--CAMO-mod=30"};
    const auto r = test_support::RunProcess("/usr/bin/timeout", args, "",
                                            {"TMPDIR=" + tmp.string(), "ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
    // 130 is also the status of a death by SIGINT: a signal that comes before the engine has
    // set up its handling (a slow start under the sanitizers) ends it at once, before any file.
    if (r.status == 130 && r.err.find("Interrupted") != std::string::npos) ++interrupted;
    EXPECT_EQ(FilesNamedWith(tmp, "{"), std::vector<fs::path>{}) << delay;  // no run folder
    for (const auto& [name, path] : Packages()) EXPECT_EQ(path.extension(), ".wotmod") << name;
    fs::remove_all(mods_);
  }
  EXPECT_GT(interrupted, 0);
}

TEST(EngineStagesLesta, TodaysLestaClientGetsPackagesWithItsOwnExtension) {
  EngineEnv env;
  const std::string gen = (env.root() / "gen").string();
  const auto made = test_support::RunProcess(
      kPython, {kSource + "/tools/gen_client.py", "--profile", "small", "--tanki", "--out", gen});
  ASSERT_EQ(made.status, 0) << made.err;
  const fs::path client = fs::path(gen) / "Tanki_RU";
  const auto r = env.Run({"--wot-path=" + (client / "win64" / "Tanki.exe").string(), "--no-update-configs",
                          "--auto-close-console", "--configs-path=" + kSource + "/configs", "--CCT-mod=404040",
                          "--CAMO-mod=30"},
                         "");
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  std::vector<fs::path> packages;
  for (const auto& e : fs::directory_iterator(client / "mods" / "1.45.0.0")) packages.push_back(e.path());
  ASSERT_EQ(packages.size(), 2u) << r.out;
  for (const auto& p : packages) {
    EXPECT_EQ(p.extension(), ".mtmod");
    const fs::path to = env.root() / "unpacked" / p.filename();
    EXPECT_EQ(test_support::UnpackWotmod(p.string(), to.string()), "");
    const bool camo = p.filename().string().find("Camouflages") != std::string::npos;
    std::vector<std::string> args{"--package", "--exact"};
    if (camo)
      args.insert(args.end(), {"--mod", "CAMO"});
    else
      args.insert(args.end(), {"--mod", "CCT", "--extra", "vehicles/track_crash.dds"});
    EXPECT_EQ(test_support::CheckMods(gen + "/manifest.json", client.string(), to.string(), args), "");
  }
}

}  // namespace
