// The installed engine run by an ordinary user: its configuration files, their refresh and its
// log go to the user's XDG folders, nothing is written into the installed tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "common/exit_codes.h"
#include "e2e/engine_env.h"
#include "test_support/loopback_server.h"

using namespace e2e;
using ashtint::test::HttpRequest;
using ashtint::test::LoopbackServer;
namespace fs = std::filesystem;

namespace {

std::set<std::string> TreeOf(const fs::path& root) {
  std::set<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::string entry = e.path().string();
    if (e.is_regular_file()) entry.append(":").append(std::to_string(e.file_size()));
    files.insert(entry);
  }
  return files;
}

TEST(EngineInstalled, AnOrdinaryUserWritesOnlyIntoTheirFoldersAndTheClient) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the installed engine as another user";
  test_support::TempDir dir;
  const fs::path dest = dir.path() / "dest";
  const auto installed = test_support::RunProcess(
      "/usr/bin/env", {"DESTDIR=" + dest.string(), "cmake", "--install", ASHTINT_BINARY_DIR, "--prefix", "/usr"});
  ASSERT_EQ(installed.status, 0) << installed.out << installed.err;
  const fs::path engine = dest / "usr" / "bin" / "AshtintCreator2";
  ASSERT_TRUE(fs::exists(engine));

  const fs::path user = dir.path() / "user";
  const auto made = test_support::RunProcess("/usr/bin/python3", {std::string(ASHTINT_SOURCE_DIR) + "/tools/gen_client.py",
                                                                  "--profile", "small", "--out", (user / "games").string()});
  ASSERT_EQ(made.status, 0) << made.err;
  fs::create_directories(user / "home");
  ASSERT_EQ(test_support::RunProcess("/bin/chown", {"-R", "65534:65534", user.string()}).status, 0);
  fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);

  LoopbackServer server([](LoopbackServer&, int fd, const HttpRequest& r) {
    const fs::path file = fs::path(ASHTINT_SOURCE_DIR) / "configs" / r.Target.substr(r.Target.rfind('/') + 1);
    if (fs::is_regular_file(file))
      LoopbackServer::SendResponse(fd, 200, "OK", ReadFile(file));
    else
      LoopbackServer::SendResponse(fd, 404, "Not Found", "");
  });
  const auto before = TreeOf(dest);
  const fs::path data = user / "data", state = user / "state";
  const auto r = test_support::RunProcess(
      "/usr/bin/setpriv",
      {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/env", "-i", "HOME=" + (user / "home").string(),
       "XDG_DATA_HOME=" + data.string(), "XDG_STATE_HOME=" + state.string(),
       "ASHTINT_CONFIGS_BASE_URL=" + server.Url("/configs/"), engine.string(),
       "--wot-path=" + (user / "games" / "World_of_Tanks_EU").string(), "--log", "--auto-close-console",
       "--CCT-mod=404040"});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  std::string configsLine = "    ";
  configsLine.append((data / "ashtint" / "configs").string()).append("/\r\n");
  EXPECT_NE(r.out.find(configsLine), std::string::npos) << r.out;
  for (const char* cfg : {"CrashTanks.cfg", "MapTanks.cfg", "MapTrains.cfg", "Camouflage.cfg"})
    EXPECT_TRUE(fs::exists(data / "ashtint" / "configs" / cfg)) << cfg;
  EXPECT_NE(ReadFile(state / "ashtint" / "AshtintCreator2.log").find("Creating CCT-mod..."), std::string::npos);
  EXPECT_EQ(TreeOf(dest), before);  // the installed tree is untouched
  bool packaged = false;
  for (const auto& e : fs::directory_iterator(user / "games" / "World_of_Tanks_EU" / "mods" / "1.24.0.1"))
    packaged = packaged || e.path().extension() == ".wotmod";
  EXPECT_TRUE(packaged);
}

TEST(EngineInstalled, ConfigurationFilesBesideAReadOnlyEngineServeWhenNoUserCopyCanBeMade) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run the engine as another user";
  // The engine in a folder its user cannot write, the four files beside it, and a home folder
  // that does not exist (as for system users): the files beside the engine are used as they are.
  EngineEnv env;
  for (const char* cfg : {"CrashTanks.cfg", "MapTanks.cfg", "MapTrains.cfg", "Camouflage.cfg"})
    fs::copy_file(fs::path(ASHTINT_SOURCE_DIR) / "configs" / cfg, env.programDir() / cfg);
  const auto client = env.MakeClient();
  ASSERT_EQ(test_support::RunProcess("/bin/chown", {"-R", "65534:65534", client.string()}).status, 0);
  fs::permissions(env.root(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  fs::permissions(env.programDir(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  fs::permissions(env.engine(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  const auto run = [&] {
    return test_support::RunProcess(
        "/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/env", "-i",
                             "HOME=/nonexistent/home", "ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:1/",
                             env.engine().string(), "--wot-path=" + client.string(), "--no-update-configs",
                             "--auto-close-console", "--CCT-mod=404040"});
  };
  auto r = run();
  EXPECT_NE(r.out.find("  > Configs path: \r\n    " + env.programDir().string() + "/\r\n\r\n"), std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("Not found cfg-file!"), std::string::npos) << r.out;

  // Neither: the user learns why their own copy could not be made.
  for (const auto& e : fs::directory_iterator(env.programDir()))
    if (e.path().extension() == ".cfg") fs::remove(e.path());
  r = run();
  EXPECT_EQ(r.code, ashtint::ecCrashTanksCfg) << r.out;
  EXPECT_NE(r.out.find("/nonexistent/home/.local/share/ashtint/configs/\r\n    Cannot create folder \""
                       "/nonexistent/home/.local/share/ashtint/configs/\". Permission denied\r\n"),
            std::string::npos)
      << r.out;
}

}  // namespace
