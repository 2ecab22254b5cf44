// The Windows release under Wine: its engine on generated clients through Windows paths, its
// packages against the Linux engine's, and the Windows-only pieces (message boxes, WinInet, the
// registry's processor count).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "common/exit_codes.h"
#include "e2e/engine_env.h"
#include "test_support/loopback_server.h"
#include "test_support/mod_check.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"
#include "wine/wine_world.h"

using namespace wine_test;
using ashtint::test::HttpRequest;
using ashtint::test::LoopbackServer;
namespace fs = std::filesystem;

namespace {

class WineEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.path() / "program";
    fs::copy(World()->Release(), program_, fs::copy_options::recursive);
  }

  fs::path CopyClient(const std::string& generated, const std::string& name) const {
    const fs::path to = dir_.path() / name;
    fs::copy(World()->Root() / generated / "World_of_Tanks_EU", to, fs::copy_options::recursive);
    return to;
  }

  // The engine of the release, started by the Windows runner with this exact command line.
  WineResult Run(const std::string& arguments, const std::vector<std::string>& extraEnv = {}) const {
    return RunInWine(dir_.path(), program_ / "AshtintCreator2.exe", arguments, extraEnv);
  }

  std::vector<fs::path> Packages(const fs::path& folder) const {
    std::vector<fs::path> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
      if (it->is_regular_file()) found.push_back(it->path());
    std::sort(found.begin(), found.end());
    return found;
  }

  test_support::TempDir dir_;
  fs::path program_;
};

const std::string kAllMods =
    "--DPT-mod=FFFFFF --inside-color=202020 --remove-shadows --CCT-mod=404040 --MEM-mod=DD7744 --CTM-mod=2050A0 "
    "--SpaceBin-mod=DD7744|2050A0 --CAMO-mod=30 --downsizing-ratio=4";

TEST_F(WineEngine, AllSixModsThroughAWindowsPathMatchTheLinuxEnginesPackages) {
  // A folder name with spaces, as players' clients have, written as the front end writes it:
  // quoted, with the folder's closing backslash.
  const fs::path client = CopyClient("gen", "World of Tanks EU");
  const auto r = Run("--wot-path=\"" + WinPath(client) + "\\\" --no-update-configs --auto-close-console --log " + kAllMods);
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_TRUE(r.boxes.empty());
  EXPECT_NE(r.out.find("    Game path: " + WinPath(client) + "\\\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(Count(r.out, "    Files packing... OK\r\n    Created files:\r\n          mod.AshtintCreator."), 6u) << r.out;
  EXPECT_NE(ReadFile(program_ / "AshtintCreator2.log").find("SevenZip file: " + WinPath(program_ / "7z.dll")),
            std::string::npos);

  const fs::path mods = client / "mods" / "1.24.0.1";
  const auto packages = Packages(mods);
  ASSERT_EQ(packages.size(), 6u);
  for (const auto& package : packages) {
    const std::string name = package.filename().string();
    EXPECT_NE(name.find("_2.2.1.248."), std::string::npos) << name;
    EXPECT_EQ(test_support::CheckPackage((World()->Root() / "gen" / "manifest.json").string(), client.string(),
                                         package.string(), (dir_.path() / "unpacked" / name).string(), "#DD7744",
                                         "#2050A0"),
              "");
  }

  // The Linux engine on its own copy of the same client, with the same keys.
  const fs::path linuxClient = CopyClient("gen", "linux-client");
  std::vector<std::string> args{"--wot-path=" + linuxClient.string(), "--no-update-configs", "--auto-close-console",
                                "--configs-path=" + kSource + "/configs"};
  std::istringstream keys(kAllMods);
  for (std::string key; keys >> key;) args.push_back(key);
  const auto onLinux = test_support::RunProcess(ASHTINT_ENGINE_FILE, args, "", {"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/"});
  ASSERT_EQ(onLinux.code, 0) << onLinux.out << onLinux.err;
  const auto same = test_support::RunProcess(kPython, {kSource + "/tests/wine/compare_packages.py", mods.string(),
                                                       (linuxClient / "mods" / "1.24.0.1").string()});
  EXPECT_EQ(same.status, 0) << same.out << same.err;
}

TEST_F(WineEngine, AFailingWorkerShowsAModalBoxAndTheWholeExitCodeComesBack) {
  const fs::path client = CopyClient("refused", "client");
  const auto listed = test_support::RunProcess(
      kPython, {"-c", "import json,sys\nfor e in json.load(open(sys.argv[1]))['mods']['MEM']['errors']: "
                      "print(e['message_contains'])",
                (World()->Root() / "refused" / "manifest.json").string()});
  std::vector<std::string> messages;
  std::istringstream lines(listed.out);
  for (std::string line; std::getline(lines, line);) messages.push_back(line);
  ASSERT_EQ(messages.size(), 4u) << listed.out << listed.err;

  // Eight workers: the four failing packages, each retried after a pause, fail side by side.
  const std::string base =
      "--wot-path=\"" + WinPath(client) + "\" --no-update-configs --auto-close-console --cpu-count=8 --MEM-mod=DD7744";
  auto r = Run(base);
  // 16031 does not fit in the 8 bits a Unix status keeps; the Windows parent sees all of it.
  EXPECT_EQ(r.code, ashtint::StageExitCode(3, ashtint::StageErrorWorker)) << r.out;
  EXPECT_EQ(Count(r.out, "Failed!\r\n"), messages.size()) << r.out;
  ASSERT_EQ(r.boxes.size(), messages.size()) << r.out;
  for (const auto& box : r.boxes) {
    EXPECT_EQ(box.caption, "AshtintCreator2");
    EXPECT_EQ(box.text.rfind("An error occurred while working with one of the files!\r\n\r\n", 0), 0u) << box.text;
    std::string text = box.text;
    std::replace(text.begin(), text.end(), '\\', '/');
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(), [&](const auto& m) { return text.find(m) != std::string::npos; }), 1)
        << box.text;
  }
  EXPECT_EQ(r.err.find("An error occurred"), std::string::npos) << "Windows shows it in the box only";
  // The good packages still made their package.
  EXPECT_EQ(Packages(client / "mods" / "1.24.0.1").size(), 1u);

  // Silent mode: no box, the same code.
  fs::remove_all(client / "mods" / "1.24.0.1");
  r = Run(base + " --silent-mode");
  EXPECT_EQ(r.code, ashtint::StageExitCode(3, ashtint::StageErrorWorker));
  EXPECT_TRUE(r.boxes.empty());

  // Start-up errors too: no wot-path, and a folder without the game's executable.
  r = Run("--no-update-configs --auto-close-console --DPT-mod=FFFFFF");
  EXPECT_EQ(r.code, ashtint::ecWotPathMissing) << r.out;
  fs::remove(client / "win64" / "WorldOfTanks.exe");
  r = Run(base);
  EXPECT_EQ(r.code, ashtint::ecGameExeNotFound) << r.out;
}

// Serves the repository's configuration files under /configs/ and the release's 7z.dll (or a
// refusal) at the library download path.
class Site {
 public:
  explicit Site(std::string library)
      : library_(std::move(library)), server_([this](LoopbackServer&, int fd, const HttpRequest& request) {
          const std::string prefix = "/configs/";
          if (request.Target.rfind(prefix, 0) == 0) {
            const auto file = fs::path(kSource) / "configs" / request.Target.substr(prefix.size());
            if (fs::is_regular_file(file)) {
              LoopbackServer::SendResponse(fd, 200, "OK", ReadFile(file));
              return;
            }
          }
          std::lock_guard lock(mutex_);
          if (request.Target.rfind("/pub/api/v2/modules.php?", 0) == 0 && serveLibrary_)
            LoopbackServer::SendResponse(fd, 200, "OK", library_);
          else
            LoopbackServer::SendResponse(fd, 404, "Not Found", "<html>Not Found</html>");
        }) {}
  void ServeLibrary(bool on) {
    std::lock_guard lock(mutex_);
    serveLibrary_ = on;
  }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::vector<HttpRequest> Requests() const { return server_.Requests(); }

 private:
  std::mutex mutex_;
  const std::string library_;
  bool serveLibrary_ = false;
  LoopbackServer server_;
};

TEST_F(WineEngine, WinInetRefreshesTheConfigurationsAndDownloadsAMissingLibrary) {
  const fs::path client = CopyClient("gen", "client");
  const std::string library = ReadFile(program_ / "7z.dll");
  ASSERT_GT(library.size(), 500000u);
  Site site(library);
  const std::vector<std::string> online{"ASHTINT_CONFIGS_BASE_URL=" + site.Url("/configs/"),
                                        "ASHTINT_SITE_URL=" + site.Url("")};
  const std::string base = "--wot-path=\"" + WinPath(client) + "\" --auto-close-console --log";

  // An older configuration file is replaced; the others are already current.
  WriteFile(program_ / "MapTanks.cfg", "config_version = 0\r\nsoft_version = 248\r\n");
  fs::remove(program_ / "7z.dll");
  auto r = Run(base + " --CCT-mod=404040", online);
  EXPECT_NE(r.out.find("  > Check and download configs:\r\n"
                       "          CrashTanks.cfg...   OK\r\n"
                       "          MapTanks.cfg...     Updated\r\n"
                       "          MapTrains.cfg...    OK\r\n"
                       "          Camouflage.cfg...   OK\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(ReadFile(program_ / "MapTanks.cfg"), ReadFile(fs::path(kSource) / "configs" / "MapTanks.cfg"));
  // The library download is refused (an error page): nothing is left behind, 16009 comes back whole.
  EXPECT_EQ(r.code, ashtint::ecSevenZipMissing) << r.out;
  EXPECT_NE(r.out.find("  > Download 7z.dll... Failed!\r\n"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(program_ / "7z.dll"));
  const auto before = Packages(program_);
  // The release's files less the removed 7z.dll, and the log.
  EXPECT_EQ(before.size(), Packages(World()->Release()).size()) << "the release without 7z.dll, and the log";

  site.ServeLibrary(true);
  r = Run(base + " --CCT-mod=404040", online);
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("  > Download 7z.dll... OK\r\n"), std::string::npos) << r.out;
  EXPECT_TRUE(ReadFile(program_ / "7z.dll") == library);
  EXPECT_EQ(Packages(client / "mods" / "1.24.0.1").size(), 1u) << r.out;
  bool askedAsABrowser = false;
  for (const auto& request : site.Requests())
    askedAsABrowser = askedAsABrowser || request.Header("User-Agent").rfind("Mozilla/5.0 (Windows NT 10.0)", 0) == 0;
  EXPECT_TRUE(askedAsABrowser);
}

TEST_F(WineEngine, AnAnswerCutShortNeverReplacesAConfigurationFile) {
  const fs::path client = CopyClient("gen", "client");
  // A newer file, but the connection closes 10 bytes before the announced length: what did
  // come still reads as a configuration file, its last rule cut in two.
  std::string newer = ReadFile(fs::path(kSource) / "configs" / "CrashTanks.cfg");
  const auto version = newer.find("config_version = 1\r\n");
  ASSERT_NE(version, std::string::npos);
  newer.replace(version, 18, "config_version = 9");
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest& request) {
    if (request.Target == "/configs/CrashTanks.cfg") {
      LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(newer.size()) +
                                      "\r\nConnection: close\r\n\r\n" + newer.substr(0, newer.size() - 10));
      return;
    }
    const auto file = fs::path(kSource) / "configs" / request.Target.substr(std::string("/configs/").size());
    LoopbackServer::SendResponse(fd, 200, "OK", ReadFile(file));
  });
  const auto r = Run("--wot-path=\"" + WinPath(client) + "\" --auto-close-console --log",
                     {"ASHTINT_CONFIGS_BASE_URL=" + server.Url("/configs/")});
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("          CrashTanks.cfg...   Disconnect\r\n          MapTanks.cfg...     OK\r\n"),
            std::string::npos)
      << r.out;
  // The Windows code of a broken connection, as the Linux client reports it too.
  EXPECT_NE(ReadFile(program_ / "AshtintCreator2.log").find("error 12030"), std::string::npos)
      << ReadFile(program_ / "AshtintCreator2.log");
  EXPECT_EQ(ReadFile(program_ / "CrashTanks.cfg"), ReadFile(fs::path(kSource) / "configs" / "CrashTanks.cfg"));
}

TEST_F(WineEngine, TheDefaultWorkerCountIsTheRegistrysProcessorCount) {
  const fs::path client = CopyClient("gen", "client");
  const std::string key = "HKLM\\Hardware\\Description\\System\\CentralProcessor";
  auto listing = World()->Wine({"reg", "query", key});
  // reg names the subkeys in full: HKEY_LOCAL_MACHINE\...\CentralProcessor\N
  const std::size_t processors = Count(listing.out, "\\CentralProcessor\\");
  if (processors < 2) GTEST_SKIP() << "one processor: a missing registry answer would read the same";
  const std::string run = "--wot-path=\"" + WinPath(client) + "\" --no-update-configs --auto-close-console --log "
                          "--rewrite-log --CCT-mod=404040";
  auto r = Run(run);
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(ReadFile(program_ / "AshtintCreator2.log").find("CPU Count: " + std::to_string(processors) + "\r\n"),
            std::string::npos);

  // One processor fewer in the registry (until the prefix's next session): one worker fewer.
  listing = World()->Wine({"reg", "delete", key + "\\" + std::to_string(processors - 1), "/f"});
  ASSERT_EQ(listing.status, 0) << listing.out << listing.err;
  r = Run(run);
  World()->RestartServer();
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(ReadFile(program_ / "AshtintCreator2.log").find("CPU Count: " + std::to_string(processors - 1) + "\r\n"),
            std::string::npos)
      << ReadFile(program_ / "AshtintCreator2.log");
}

}  // namespace
