#include "config/cfg_refresh.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

using test::HttpRequest;
using test::LoopbackServer;
namespace fs = std::filesystem;

constexpr int kBuild = 248;

// A configuration repository on 127.0.0.1: files by name under /configs/, anything else 404.
class Repository {
 public:
  Repository()
      : server_([this](LoopbackServer&, int fd, const HttpRequest& r) {
          std::string body;
          bool found;
          {
            std::lock_guard lock(mutex_);
            const auto it = files_.find(r.Target);
            found = it != files_.end();
            if (found) body = it->second;
          }
          if (found) {
            LoopbackServer::SendResponse(fd, 200, "OK", body);
          } else {
            LoopbackServer::SendResponse(fd, 404, "Not Found", "<html><body>Not Found</body></html>");
          }
        }) {}
  void Put(const std::string& name, const std::string& body) {
    std::lock_guard lock(mutex_);
    files_["/configs/" + name] = body;
  }
  std::string Base() const { return server_.Url("/configs/"); }
  std::vector<HttpRequest> Requests() const { return server_.Requests(); }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> files_;
  LoopbackServer server_;
};

class CfgRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"}) ::unsetenv(name);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  test::TempDir dir;
  Repository repo;
};

TEST_F(CfgRefreshTest, NewerCopyReplacesTheLocalFileWithCrLfLines) {
  const std::string local = dir / "CrashTanks.cfg";
  test::WriteFileBytes(local, "config_version = 5\r\nsoft_version = 1\r\nold\r\n");
  repo.Put("CrashTanks.cfg", "# new\nconfig_version = 6\nsoft_version = 248\nvehicles\\\n\t\\crash\\\rlast");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crUpdated);
  EXPECT_EQ(test::ReadFileBytes(local),
            "# new\r\nconfig_version = 6\r\nsoft_version = 248\r\nvehicles\\\r\n\t\\crash\\\r\nlast\r\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"CrashTanks.cfg"}) << "no temporary file stays behind";
  const auto requests = repo.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Target, "/configs/CrashTanks.cfg");
}

TEST_F(CfgRefreshTest, SameVersionKeepsTheLocalFile) {
  const std::string local = dir / "MapTanks.cfg";
  const std::string original = "# mine\nconfig_version = 5\nsoft_version = 1\nroot\n";
  test::WriteFileBytes(local, original);
  repo.Put("MapTanks.cfg", "config_version = 5\r\nsoft_version = 248\r\nother\r\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crCurrent);
  EXPECT_EQ(test::ReadFileBytes(local), original);

  // Older in the repository: also current.
  repo.Put("MapTanks.cfg", "config_version = 4\r\nsoft_version = 248\r\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crCurrent);

  // The local file's first version line counts.
  test::WriteFileBytes(local, "config_version = 7\nconfig_version = 2\n");
  repo.Put("MapTanks.cfg", "config_version = 6\r\nsoft_version = 248\r\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crCurrent);
}

TEST_F(CfgRefreshTest, MissingOrVersionlessLocalFileIsReplaced) {
  repo.Put("MapTrains.cfg", "config_version = 1\nsoft_version = 200\nroot\n");
  const std::string local = dir / "MapTrains.cfg";
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crUpdated);
  EXPECT_EQ(test::ReadFileBytes(local), "config_version = 1\r\nsoft_version = 200\r\nroot\r\n");

  test::WriteFileBytes(local, "config_version=9\nroot\n");  // no space: no version line
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crUpdated);
}

TEST_F(CfgRefreshTest, CopyForANewerEngineLeavesTheLocalFileAlone) {
  const std::string local = dir / "Camouflage.cfg";
  test::WriteFileBytes(local, "no version at all\n");
  repo.Put("Camouflage.cfg", "config_version = 5\nsoft_version = 300\nvehicles\\\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crSoftOutdated);
  EXPECT_EQ(test::ReadFileBytes(local), "no version at all\n");
  EXPECT_EQ(RefreshCfgFile(local, 300, repo.Base()), crUpdated) << "that engine may use it";
}

TEST_F(CfgRefreshTest, NoUsableAnswerIsDisconnect) {
  const std::string local = dir / "CrashTanks.cfg";
  const std::string original = "config_version = 1\nsoft_version = 1\nroot\n";
  test::WriteFileBytes(local, original);
  struct Case {
    const char* what;
    const char* body;
  };
  for (const Case& c : {
           Case{"no soft version line", "config_version = 9\nroot\n"},
           Case{"soft version not a number", "config_version = 9\nsoft_version = new\n"},
           Case{"key without the space", "config_version=9\nsoft_version=1\n"},
           Case{"version zero", "config_version = 0\nsoft_version = 1\n"},
           Case{"commented out", "# config_version = 9\n# soft_version = 1\n"},
           Case{"empty body", ""},
       }) {
    repo.Put("CrashTanks.cfg", c.body);
    EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crDisconnect) << c.what;
  }
  EXPECT_EQ(RefreshCfgFile(dir / "Unknown.cfg", kBuild, repo.Base()), crDisconnect) << "404 page";
  const std::string nowhere = "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/configs/";
  EXPECT_EQ(RefreshCfgFile(local, kBuild, nowhere), crDisconnect);
  EXPECT_EQ(test::ReadFileBytes(local), original);
  EXPECT_FALSE(fs::exists(dir / "Unknown.cfg"));
}

TEST_F(CfgRefreshTest, FetchedVersionsLaterLinesWinUntilBothArePositive) {
  const std::string local = dir / "CrashTanks.cfg";
  test::WriteFileBytes(local, "config_version = 5\n");
  // Version 1 is replaced by 9 before a soft version is seen: 9 > 5.
  repo.Put("CrashTanks.cfg", "config_version = 1\nconfig_version = 9\nsoft_version = 1\nroot\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crUpdated);
  // Both positive after two lines: the later 99 is never looked at.
  test::WriteFileBytes(local, "config_version = 5\n");
  repo.Put("CrashTanks.cfg", "config_version = 3\nsoft_version = 1\nconfig_version = 99\n");
  EXPECT_EQ(RefreshCfgFile(local, kBuild, repo.Base()), crCurrent);
}

TEST_F(CfgRefreshTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
  repo.Put("CrashTanks.cfg", "config_version = 2\nsoft_version = 1\nroot\n");
  std::string why;
  EXPECT_EQ(RefreshCfgFile(dir / "no-such-folder/CrashTanks.cfg", kBuild, repo.Base(), &why), crWriteFailed);
  EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
  EXPECT_FALSE(fs::exists(dir / "no-such-folder"));

  // Its own word on the console and a log line with the reason, never "Disconnect".
  std::string console, log;
  RefreshCfgFiles(
      dir / "no-such-folder/", kBuild, repo.Base(), [&](const std::string& t) { console += t; },
      [&](const std::string& t) { console += t + "\n"; }, [&](const std::string& t) { log += t + "\n"; });
  EXPECT_NE(console.find("          CrashTanks.cfg...   Cannot write the file!\n"), std::string::npos) << console;
  EXPECT_NE(log.find("Refresh CrashTanks.cfg: Cannot write the file! (cannot create "), std::string::npos) << log;
  EXPECT_NE(log.find("Refresh MapTanks.cfg: Disconnect (HTTP status 404)"), std::string::npos) << log;
}

TEST_F(CfgRefreshTest, OnlyASuccessfulTextAnswerOfAUsableConfigurationReplacesTheFile) {
  const std::string local = dir / "CrashTanks.cfg";
  const std::string original = "config_version = 1\nsoft_version = 1\nvehicles\\\n\t\\crash\\\n";
  const std::string good = "config_version = 2\nsoft_version = 1\nvehicles\\\n\t\\crash\\*.visual\n";
  test::WriteFileBytes(local, original);
  // What the repository answers: status, body and whether a length is sent.
  std::mutex mutex;
  int status = 200;
  std::string body;
  bool withLength = true;
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest&) {
    std::lock_guard lock(mutex);
    if (withLength)
      LoopbackServer::SendResponse(fd, status, "Status", body);
    else
      LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
  });
  struct Case {
    const char* what;
    int status;
    std::string body;
    bool withLength;
    const char* why;
  };
  for (const Case& c : {
           Case{"error page with version lines", 503, good, true, "HTTP status 503"},
           Case{"portal page with version lines", 200,
                "<html>\n<body>\nconfig_version = 9\nsoft_version = 1\n<p>Sign in</p>\n</body>\n</html>\n", true,
                "not a configuration file"},
           Case{"binary bytes", 200, good + std::string("\0\x01\x02", 3), true, "not text"},
           Case{"cut short without a length", 200, "config_version = 2\nsoft_version = 1\n", false, "no configuration roots"},
           Case{"far too large", 200, good + std::string(2 * 1024 * 1024, '#'), true, "too large"},
       }) {
    {
      std::lock_guard lock(mutex);
      status = c.status;
      body = c.body;
      withLength = c.withLength;
    }
    std::string why;
    EXPECT_EQ(RefreshCfgFile(local, kBuild, server.Url("/configs/"), &why), crDisconnect) << c.what;
    EXPECT_NE(why.find(c.why), std::string::npos) << c.what << ": " << why;
    EXPECT_EQ(test::ReadFileBytes(local), original) << c.what;
  }
  {
    std::lock_guard lock(mutex);
    status = 200;
    body = good;
  }
  EXPECT_EQ(RefreshCfgFile(local, kBuild, server.Url("/configs/")), crUpdated);
  EXPECT_EQ(Files(), std::vector<std::string>{"CrashTanks.cfg"});
}

TEST_F(CfgRefreshTest, RefreshesTheFourFilesWithTheEngineLines) {
  test::WriteFileBytes(dir / "MapTanks.cfg", "config_version = 3\n");
  repo.Put("CrashTanks.cfg", "config_version = 2\nsoft_version = 248\nvehicles\\\n");
  repo.Put("MapTanks.cfg", "config_version = 3\nsoft_version = 248\n");
  repo.Put("MapTrains.cfg", "config_version = 8\nsoft_version = 900\n");
  std::string console;
  RefreshCfgFiles(
      dir / "", kBuild, repo.Base(), [&](const std::string& s) { console += s; },
      [&](const std::string& s) { console += s + "\n"; });
  EXPECT_EQ(console,
            "          CrashTanks.cfg...   Updated\n"
            "          MapTanks.cfg...     OK\n"
            "          MapTrains.cfg...    Soft is outdated, needs an update!\n"
            "          Camouflage.cfg...   Disconnect\n");
  for (const char* name : CfgFileNames) EXPECT_EQ(CfgRefreshLabel(name).size(), 30u) << "results in column 31";
  const auto requests = repo.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[3].Target, "/configs/Camouflage.cfg");
  EXPECT_TRUE(fs::exists(dir / "CrashTanks.cfg"));
  EXPECT_FALSE(fs::exists(dir / "MapTrains.cfg"));
}

}  // namespace
}  // namespace ashtint
