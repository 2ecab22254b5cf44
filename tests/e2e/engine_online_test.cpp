// The engine's online steps against a server on 127.0.0.1: the configuration refresh and the
// archive library download.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "common/exit_codes.h"
#include "e2e/engine_env.h"
#include "test_support/loopback_server.h"

using namespace e2e;
using ashtint::test::HttpRequest;
using ashtint::test::LoopbackServer;
namespace fs = std::filesystem;

namespace {

// Serves the repository's own configuration files under /configs/.
LoopbackServer::Handler Repository() {
  return [](LoopbackServer&, int fd, const HttpRequest& request) {
    const std::string prefix = "/configs/";
    if (request.Target.rfind(prefix, 0) == 0) {
      const auto file = fs::path(ASHTINT_SOURCE_DIR) / "configs" / request.Target.substr(prefix.size());
      if (fs::is_regular_file(file)) {
        LoopbackServer::SendResponse(fd, 200, "OK", ReadFile(file));
        return;
      }
    }
    LoopbackServer::SendResponse(fd, 404, "Not Found", "<html>no such file</html>");
  };
}

}  // namespace

TEST(EngineOnline, ConfigurationRefreshWritesResultsInColumn31) {
  EngineEnv env;
  const auto client = env.MakeClient();
  LoopbackServer server(Repository());
  const std::vector<std::string> online{"ASHTINT_CONFIGS_BASE_URL=" + server.Url("/configs/")};

  auto r = env.Run({"--wot-path=" + client.string(), "--auto-close-console"}, "\n", online);
  EXPECT_EQ(r.code, 0) << r.out;
  const std::string expected =
      "  > Check and download configs:\r\n"
      "          CrashTanks.cfg...   Updated\r\n"
      "          MapTanks.cfg...     Updated\r\n"
      "          MapTrains.cfg...    Updated\r\n"
      "          Camouflage.cfg...   Updated\r\n\r\n"
      "  > Search and analysis of the game client... OK";
  EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
  for (const char* name : {"CrashTanks.cfg", "MapTanks.cfg", "MapTrains.cfg", "Camouflage.cfg"})
    EXPECT_EQ(ReadFile(env.programDir() / name), ReadFile(fs::path(ASHTINT_SOURCE_DIR) / "configs" / name)) << name;

  r = env.Run({"--wot-path=" + client.string(), "--auto-close-console"}, "\n", online);
  EXPECT_NE(r.out.find("          CrashTanks.cfg...   OK\r\n"), std::string::npos) << r.out;

  // An unreachable repository keeps the local files and the run goes on.
  const std::vector<std::string> offline{"ASHTINT_CONFIGS_BASE_URL=http://127.0.0.1:" +
                                         std::to_string(ashtint::test::UnusedPort()) + "/configs/"};
  r = env.Run({"--wot-path=" + client.string(), "--auto-close-console"}, "\n", offline);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("          Camouflage.cfg...   Disconnect\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(ReadFile(env.programDir() / "Camouflage.cfg"),
            ReadFile(fs::path(ASHTINT_SOURCE_DIR) / "configs" / "Camouflage.cfg"));

  // The key skips the step, and the interactive branch asks before it refreshes.
  const auto connections = server.Connections();
  r = env.Run({"--wot-path=" + client.string(), "--auto-close-console", "--no-update-configs"}, "\n", online);
  EXPECT_EQ(r.out.find("Check and download configs"), std::string::npos);
  r = env.Run({}, "n\nn\n\n", online);  // no update check, no refresh
  EXPECT_NE(r.out.find("  > Check and download configs? [Press Y/N and ENTER] \r\n    Press enter to exit..."),
            std::string::npos)
      << r.out;
  EXPECT_EQ(server.Connections(), connections);
  r = env.Run({}, "n\ny\n\n", online);
  EXPECT_NE(r.out.find("[Press Y/N and ENTER]           CrashTanks.cfg...   OK\r\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.code, 0);
}

TEST(EngineOnline, MissingArchiveLibraryIsDownloadedOrEndsTheRunWith16009) {
  EngineEnv env;
  const auto client = env.MakeClient();
  const std::vector<std::string> args{"--wot-path=" + client.string(), "--no-update-configs", "--DPT-mod=FFFFFF",
                                      "--auto-close-console", "--log"};
  const std::string library = ReadFile(ASHTINT_SYSTEM_SEVENZIP_FILE);
  ASSERT_GT(library.size(), 100000u);
  const auto local = env.programDir() / "7z.so";
  const auto logFile = env.programDir() / "AshtintCreator2.log";

  const std::vector<std::string> unreachable{
      "ASHTINT_SYSTEM_SEVENZIP=" + (env.root() / "no-such-7z.so").string(),
      "ASHTINT_SITE_URL=http://127.0.0.1:" + std::to_string(ashtint::test::UnusedPort())};
  auto r = env.Run(args, "\n", unreachable);
  EXPECT_EQ(r.code, ashtint::ecSevenZipMissing) << r.out;
  // The cause is said with the word.
  EXPECT_NE(r.out.find("  > Download 7z.so... Failed!\r\n    could not connect to the server\r\n\r\n"
                       "    Press enter to exit..."),
            std::string::npos)
      << r.out;
  EXPECT_FALSE(fs::exists(local));

  // What the download path answers: (status, body, whether a length is sent).
  std::mutex mutex;
  int status = 200;
  std::string body;
  bool withLength = true;
  std::size_t streamed = 0;  // when not 0: body, then filler up to this many bytes, without a length
  std::atomic<bool> sentAll{false};
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest& request) {
    if (request.Target.rfind("/pub/api/v2/modules.php", 0) != 0) {
      LoopbackServer::SendResponse(fd, 404, "Not Found", "");
      return;
    }
    std::lock_guard lock(mutex);
    if (streamed != 0) {
      bool ok = LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
      const std::string filler(1 << 20, 'x');
      for (std::size_t sent = body.size(); ok && sent < streamed; sent += filler.size())
        ok = LoopbackServer::SendAll(fd, filler);
      sentAll = ok;
    } else if (withLength)
      LoopbackServer::SendResponse(fd, status, "Status", body);
    else
      LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
  });
  const std::vector<std::string> served{"ASHTINT_SYSTEM_SEVENZIP=" + (env.root() / "no-such-7z.so").string(),
                                        "ASHTINT_SITE_URL=" + server.Url("")};
  struct Answer {
    const char* what;
    int status;
    std::string body;
    bool withLength;
    const char* logged;
    std::size_t streamed = 0;
  };
  for (const Answer& a : {Answer{"empty answer", 200, "", true, "the server's answer is empty"},
                          Answer{"error page", 404, "<html>Not Found</html>", true, "HTTP status 404"},
                          Answer{"not a library", 200, "a library's bytes", true, "no ELF header"},
                          Answer{"cut short without a length", 200, library.substr(0, library.size() / 2), false,
                                 "it is cut short"},
                          // Endless answers are broken off: at their first bytes, or at the cap.
                          Answer{"endless non-library", 200, "<html>", false, "no ELF header", 96u << 20},
                          Answer{"endless library", 200, library, false, "larger than allowed", 96u << 20}}) {
    {
      std::lock_guard lock(mutex);
      status = a.status;
      body = a.body;
      withLength = a.withLength;
      streamed = a.streamed;
      sentAll = false;
    }
    fs::remove(logFile);
    r = env.Run(args, "\n", served);
    EXPECT_EQ(r.code, ashtint::ecSevenZipMissing) << a.what << "\n" << r.out;
    EXPECT_NE(r.out.find("  > Download 7z.so... Failed!\r\n"), std::string::npos) << a.what << "\n" << r.out;
    EXPECT_FALSE(fs::exists(local)) << a.what;
    EXPECT_NE(ReadFile(logFile).find(a.logged), std::string::npos) << a.what << "\n" << ReadFile(logFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(env.programDir()), {}), 2) << "engine and log only";
    if (a.streamed != 0) {
      EXPECT_FALSE(sentAll) << a.what << ": read to its end";
    }
  }
  streamed = 0;

  {
    std::lock_guard lock(mutex);
    status = 200;
    body = library;
    withLength = true;
  }
  r = env.Run(args, "\n", served);
  EXPECT_NE(r.out.find("  > Download 7z.so... OK\r\n\r\n"), std::string::npos) << r.out;
  EXPECT_TRUE(ReadFile(local) == library);
  EXPECT_NE(ReadFile(logFile).find(": SevenZip file: " + env.programDir().string() + "/7z.so\r\n"),
            std::string::npos);

  // A library next to the engine is used as it is; no stage means no check at all.
  const auto before = server.Connections();
  r = env.Run(args, "\n", served);
  EXPECT_EQ(r.out.find("Download 7z.so"), std::string::npos);
  EXPECT_EQ(r.out.find("Check 7z.so"), std::string::npos);

  // One that cannot be loaded is named at once, with what to do, and is not downloaded again.
  WriteFile(local, "");
  r = env.Run(args, "\n", served);
  EXPECT_EQ(r.code, ashtint::ecSevenZipMissing) << r.out;
  EXPECT_NE(r.out.find("  > Check 7z.so... Failed!\r\n    The archive library " + local.string() +
                       " cannot be used: it is empty. Replace or delete it"),
            std::string::npos)
      << r.out;
  fs::remove(local);
  r = env.Run({"--wot-path=" + client.string(), "--no-update-configs"}, "\n", unreachable);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(server.Connections(), before);
}

TEST(EngineOnline, InteractiveUpdateQuestionAsksTheServerOnlyOnY) {
  EngineEnv env;
  LoopbackServer server([](LoopbackServer&, int fd, const HttpRequest& request) {
    if (request.Target == "/upd/AshtintCreator.upd")
      LoopbackServer::SendResponse(fd, 200, "OK", "300\r\n2.3\r\nfiles/setup.exe\r\n");
    else if (request.Target == "/upd/UpdateInfo_en.upd")
      LoopbackServer::SendResponse(fd, 200, "OK", "- faster");
    else
      LoopbackServer::SendResponse(fd, 404, "Not Found", "");
  });
  const std::vector<std::string> online{"ASHTINT_UPDATE_BASE_URL=" + server.Url("/upd/")};

  // "yes" is not "Y": no check at all.
  auto r = env.Run({}, "yes\nn\n\n", online);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(server.Connections(), 0);

  // "y", then No to the download: the question shows the change list and the run goes on.
  r = env.Run({}, "y\nn\nn\n\n", online);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Found a new version of the program: 2.3, start downloading?\r\n\r\n- faster\r\n\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  > Check and download configs? [Press Y/N and ENTER] "), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - 26), "    Press enter to exit...");
  EXPECT_EQ(server.Requests().size(), 2u);
}
