#include "net/internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "net/download_file.h"
#include "net/internet_errors.h"
#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

using test::HttpRequest;
using test::LoopbackServer;
using test::TempDir;
namespace fs = std::filesystem;

// Loopback requests must never go through a proxy set for the test machine.
class InternetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"}) {
      ::unsetenv(name);
    }
  }
};

RIRequest QuickRequest(const std::string& url, int attempts = 1) {
  RIRequest r = BrowserStringRequest(url);
  r.Attempts = attempts;
  r.ConnectTimeout = 2000;
  return r;
}

RIFileRequest QuickFileRequest(const std::string& url, int dataTimeout = 2000) {
  RIFileRequest r = BrowserFileRequest(url);
  r.Attempts = 1;
  r.ConnectTimeout = 2000;
  r.DataTimeout = dataTimeout;
  return r;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(InternetTest, ErrorPageIsASuccessfulFetchOfThatPage) {
  const std::string page = "<html><body>404 Not Found</body></html>";
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest&) {
    LoopbackServer::SendResponse(fd, 404, "Not Found", page, "Content-Type: text/html\r\n");
  });
  RIStringResult result;
  DownloadString(QuickRequest(server.Url("/missing.cfg")), result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Code, 200);
  EXPECT_EQ(result.Body, page);
  EXPECT_FALSE(result.Empty);
  EXPECT_EQ(result.HttpStatus, 404) << "the status is there for callers to judge";

  // An empty answer is no error, but Empty tells the caller there is nothing.
  LoopbackServer empty([](LoopbackServer&, int fd, const HttpRequest&) {
    LoopbackServer::SendResponse(fd, 200, "OK", "");
  });
  DownloadString(QuickRequest(empty.Url("/")), result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Code, 200);
  EXPECT_TRUE(result.Empty);
  EXPECT_EQ(result.HttpStatus, 200);
}

TEST_F(InternetTest, TextAnswersAreCappedAndEveryFetchHasADeadline) {
  const std::string huge(5 * 1024 * 1024, 'h');
  LoopbackServer server([&](LoopbackServer& s, int fd, const HttpRequest& r) {
    if (r.Target == "/huge") {
      LoopbackServer::SendResponse(fd, 200, "OK", huge);
    } else if (r.Target == "/huge-unannounced") {
      LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + huge);
    } else {
      // A byte every 100 ms: never idle long enough for the data timeout.
      LoopbackServer::SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
      while (LoopbackServer::SendAll(fd, "t") && s.Pause(100)) {
      }
    }
  });
  RIStringResult result;
  for (const char* target : {"/huge", "/huge-unannounced"}) {
    DownloadString(QuickRequest(server.Url(target), 2), result);
    EXPECT_TRUE(result.Error) << target;
    EXPECT_EQ(result.Code, ErrResponseTooLarge) << target;
    EXPECT_TRUE(result.Body.empty()) << target;
  }
  EXPECT_EQ(server.Connections(), 2) << "an oversized answer is not asked for again";

  RIRequest trickle = QuickRequest(server.Url("/trickle"), 2);
  trickle.TotalTimeout = 800;
  auto start = std::chrono::steady_clock::now();
  DownloadString(trickle, result);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetTimeout);

  TempDir dir;
  test::WriteFileBytes(dir / "keep.bin", "old");
  RIFileRequest file = QuickFileRequest(server.Url("/trickle"));
  file.TotalTimeout = 800;
  RIFileResult fileResult;
  start = std::chrono::steady_clock::now();
  DownloadToFile(file, dir / "keep.bin", fileResult);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_EQ(fileResult.Code, ErrInternetTimeout);
  EXPECT_EQ(test::ReadFileBytes(dir / "keep.bin"), "old");
}

TEST_F(InternetTest, SendsTheExtraHeadersInTheirOrderAndOnlyThoseWithValues) {
  LoopbackServer server([](LoopbackServer&, int fd, const HttpRequest&) {
    LoopbackServer::SendResponse(fd, 200, "OK", "x");
  });
  RIStringResult result;
  DownloadString(QuickRequest(server.Url("/full")), result);
  ASSERT_FALSE(result.Error);

  RIRequest partial = QuickRequest(server.Url("/partial"));
  partial.UserAgent.clear();
  partial.Accept.clear();
  DownloadString(partial, result);
  ASSERT_FALSE(result.Error);

  RIFileResult fileResult;
  TempDir dir;
  DownloadToFile(QuickFileRequest(server.Url("/file")), dir / "f.bin", fileResult);
  ASSERT_FALSE(fileResult.Error);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  const HttpRequest& full = requests[0];
  EXPECT_EQ(full.Method, "GET");
  EXPECT_EQ(full.Target, "/full");
  EXPECT_EQ(full.Header("User-Agent"), BrowserRequest.UserAgent);
  EXPECT_EQ(full.Header("Accept-Language"), BrowserRequest.AcceptLanguage);
  EXPECT_EQ(full.Header("Accept"), BrowserRequest.Accept);
  std::vector<std::string> order;
  for (const auto& [name, value] : full.Headers) {
    if (name == "User-Agent" || name == "Accept-Language" || name == "Accept") order.push_back(name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"User-Agent", "Accept-Language", "Accept"}));
  // Nothing may come from a cache between us and the server.
  EXPECT_EQ(full.Header("Cache-Control"), "no-cache");

  const HttpRequest& part = requests[1];
  EXPECT_EQ(part.Header("User-Agent"), "");
  EXPECT_EQ(part.Header("Accept"), "");
  EXPECT_EQ(part.Header("Accept-Language"), BrowserRequest.AcceptLanguage);

  const HttpRequest& file = requests[2];
  EXPECT_EQ(file.Header("User-Agent"), BrowserRequest.UserAgent);
  EXPECT_EQ(file.Header("Accept-Language"), "");
  EXPECT_EQ(file.Header("Accept"), "");
}

TEST_F(InternetTest, UnreachablePortFailsAfterEveryAttemptWithPauses) {
  const std::string url = "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/CrashTanks.cfg";
  RIStringResult result;
  const auto start = std::chrono::steady_clock::now();
  DownloadString(QuickRequest(url, 2), result);
  EXPECT_GE(SecondsSince(start), 0.45);  // one 500 ms pause between the two attempts
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetCannotConnect);
  EXPECT_TRUE(result.Empty);

  TempDir dir;
  RIFileRequest fileRequest = QuickFileRequest(url);
  fileRequest.Attempts = 2;
  RIFileResult fileResult;
  DownloadToFile(fileRequest, dir / "sub/7z.so", fileResult);
  EXPECT_TRUE(fileResult.Error);
  EXPECT_EQ(fileResult.Code, ErrInternetCannotConnect);
  EXPECT_EQ(fileResult.Size, 0);
  EXPECT_FALSE(fs::exists(dir / "sub/7z.so"));
  EXPECT_TRUE(FilesIn(dir / "sub").empty()) << "no temporary file may stay behind";
}

TEST_F(InternetTest, MakesExactlyTheRequestedNumberOfAttempts) {
  // The server hangs up without an answer, so every attempt fails and is counted.
  LoopbackServer server([](LoopbackServer&, int, const HttpRequest&) {});
  for (int attempts : {1, 2, 3}) {
    const int before = server.Connections();
    RIStringResult result;
    DownloadString(QuickRequest(server.Url("/"), attempts), result);
    EXPECT_TRUE(result.Error);
    EXPECT_EQ(result.Code, ErrHttpInvalidServerResponse);
    EXPECT_EQ(server.Connections() - before, attempts);
  }
  RIStringResult none;
  DownloadString(QuickRequest(server.Url("/"), 0), none);
  EXPECT_TRUE(none.Error) << "a request that allows no attempt fetched nothing";
  EXPECT_EQ(none.Code, ErrInvalidParameter);
  EXPECT_EQ(server.Connections(), 6);
}

TEST_F(InternetTest, SecondAttemptSucceedsAfterAFailedFirst) {
  LoopbackServer server([](LoopbackServer& s, int fd, const HttpRequest&) {
    if (s.Connections() == 1) return;  // first connection: hang up
    LoopbackServer::SendResponse(fd, 200, "OK", "second");
  });
  RIStringResult result;
  DownloadString(QuickRequest(server.Url("/"), 2), result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Code, 200);
  EXPECT_EQ(result.Body, "second");
}

TEST_F(InternetTest, FollowsRedirectsAndStopsAtALoop) {
  LoopbackServer server([](LoopbackServer& s, int fd, const HttpRequest& r) {
    if (r.Target == "/a") {
      LoopbackServer::SendResponse(fd, 302, "Found", "", "Location: /b\r\n");
    } else if (r.Target == "/b") {
      LoopbackServer::SendResponse(fd, 301, "Moved", "", "Location: " + s.Url("/c") + "\r\n");
    } else if (r.Target == "/c") {
      LoopbackServer::SendResponse(fd, 200, "OK", "final");
    } else {
      LoopbackServer::SendResponse(fd, 302, "Found", "", "Location: /loop\r\n");
    }
  });
  RIStringResult result;
  DownloadString(QuickRequest(server.Url("/a")), result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Body, "final");

  TempDir dir;
  RIFileResult fileResult;
  DownloadToFile(QuickFileRequest(server.Url("/a")), dir / "f", fileResult);
  EXPECT_FALSE(fileResult.Error);
  EXPECT_EQ(fileResult.Size, 5);
  EXPECT_EQ(test::ReadFileBytes(dir / "f"), "final");

  DownloadString(QuickRequest(server.Url("/loop")), result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrHttpRedirectFailed);
}

TEST_F(InternetTest, DownloadTextDropsTheByteOrderMark) {
  const std::string text = "config_version = 2\r\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  std::string body = "\xEF\xBB\xBF" + text;
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest& r) {
    if (r.Target == "/bom") LoopbackServer::SendResponse(fd, 200, "OK", body);
    if (r.Target == "/bomonly") LoopbackServer::SendResponse(fd, 200, "OK", "\xEF\xBB\xBF");
    if (r.Target == "/broken") LoopbackServer::SendResponse(fd, 200, "OK", "a\xFF" "b\xC3");
  });
  RIStringResult result;
  DownloadText(QuickRequest(server.Url("/bom")), result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Body, text);

  DownloadString(QuickRequest(server.Url("/bom")), result);
  EXPECT_EQ(result.Body, body) << "the plain string fetch keeps the bytes";

  DownloadText(QuickRequest(server.Url("/bomonly")), result);
  EXPECT_FALSE(result.Error);
  EXPECT_TRUE(result.Empty);

  // Broken sequences never reach the program's text as raw bytes.
  DownloadText(QuickRequest(server.Url("/broken")), result);
  EXPECT_EQ(result.Body, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST_F(InternetTest, DownloadToFileCreatesMissingFoldersAndReplacesOnlyWhenComplete) {
  std::string payload(200000, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 31 % 251);
  LoopbackServer server([&](LoopbackServer&, int fd, const HttpRequest& r) {
    if (r.Target == "/lib") {
      LoopbackServer::SendResponse(fd, 200, "OK", payload);
    } else {
      // Promises more than it sends, then hangs up.
      std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(payload.size()) + "\r\n\r\n";
      LoopbackServer::SendAll(fd, head);
      LoopbackServer::SendAll(fd, std::string_view(payload).substr(0, 1000));
    }
  });
  TempDir dir;
  const std::string target = dir / "a/b/c/7z.so";
  RIFileRequest request = QuickFileRequest(server.Url("/lib"));
  request.BufferSize = 4096;
  RIFileResult result;
  DownloadToFile(request, target, result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Code, 200);
  EXPECT_EQ(result.Size, static_cast<std::int64_t>(payload.size()));
  EXPECT_EQ(test::ReadFileBytes(target), payload);
  EXPECT_EQ(FilesIn(dir / "a/b/c"), std::vector<std::string>{"7z.so"});

  // A cut-off answer is a failure, and the good file stays.
  DownloadToFile(QuickFileRequest(server.Url("/cut")), target, result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetConnectionAborted);
  EXPECT_EQ(test::ReadFileBytes(target), payload);
  EXPECT_EQ(FilesIn(dir / "a/b/c"), std::vector<std::string>{"7z.so"});

  RIStringResult text;
  DownloadString(QuickRequest(server.Url("/cut")), text);
  EXPECT_TRUE(text.Error);
  EXPECT_TRUE(text.Empty) << "a partial body is not handed out";
}

TEST_F(InternetTest, DownloadToFileIntoAnImpossiblePath) {
  LoopbackServer server([](LoopbackServer&, int fd, const HttpRequest&) {
    LoopbackServer::SendResponse(fd, 200, "OK", "data");
  });
  TempDir dir;
  test::WriteFileBytes(dir / "plain", "a file, not a folder");
  RIFileResult result;
  DownloadToFile(QuickFileRequest(server.Url("/")), dir / "plain/sub/7z.so", result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Size, -1);
  EXPECT_EQ(server.Connections(), 0) << "nothing is fetched when the folder cannot be made";

  // The target is an existing folder: the download cannot take its place.
  fs::create_directories(dir / "taken");
  DownloadToFile(QuickFileRequest(server.Url("/")), dir / "taken", result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Size, 0);
  EXPECT_TRUE(fs::is_directory(dir / "taken"));
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"plain", "taken"}));
}

TEST_F(InternetTest, DataTimeoutEndsAStalledFileDownload) {
  LoopbackServer server([](LoopbackServer& s, int fd, const HttpRequest& r) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n";
    LoopbackServer::SendAll(fd, head);
    if (r.Target == "/stall") {
      LoopbackServer::SendAll(fd, std::string(500, 'x'));
      s.Pause(4000);
      return;  // hangs up without the rest
    }
    // Slow but steady: a piece every 100 ms, never a gap as long as the timeout.
    for (int i = 0; i < 10; ++i) {
      LoopbackServer::SendAll(fd, std::string(100, 'y'));
      if (!s.Pause(100)) return;
    }
  });
  TempDir dir;
  test::WriteFileBytes(dir / "keep.bin", "old");
  RIFileResult result;
  const auto start = std::chrono::steady_clock::now();
  DownloadToFile(QuickFileRequest(server.Url("/stall"), 300), dir / "keep.bin", result);
  EXPECT_LT(SecondsSince(start), 3.5);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetTimeout);
  EXPECT_EQ(test::ReadFileBytes(dir / "keep.bin"), "old");

  DownloadToFile(QuickFileRequest(server.Url("/steady"), 300), dir / "steady.bin", result);
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.Size, 1000);
}

TEST_F(InternetTest, ConnectTimeoutEndsAnUnansweredConnection) {
  test::StalledListener listener;
  if (!listener.Ok()) GTEST_SKIP() << "this system answers connections beyond the accept queue";
  RIRequest request = QuickRequest("http://127.0.0.1:" + std::to_string(listener.Port()) + "/");
  request.ConnectTimeout = 300;
  RIStringResult result;
  const auto start = std::chrono::steady_clock::now();
  DownloadString(request, result);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetTimeout);
}

TEST_F(InternetTest, OnlyHttpAndHttpsAreFetched) {
  TempDir dir;
  test::WriteFileBytes(dir / "secret", "local");
  RIStringResult result;
  DownloadString(QuickRequest("file://" + (dir / "secret")), result);
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.Code, ErrInternetUnrecognizedScheme);
  DownloadString(QuickRequest("not a url"), result);
  EXPECT_TRUE(result.Error);
}

TEST_F(InternetTest, DownloadFileNeedsASuccessfulNonEmptyAcceptedAnswer) {
  LoopbackServer server([](LoopbackServer&, int fd, const HttpRequest& r) {
    if (r.Target == "/missing")
      LoopbackServer::SendResponse(fd, 404, "Not Found", "<html>Not Found</html>");
    else
      LoopbackServer::SendResponse(fd, 200, "OK", r.Target == "/empty" ? "" : "\x7f" "ELF library bytes");
  });
  TempDir dir;
  EXPECT_TRUE(DownloadFile(server.Url("/7z"), dir / "lib/7z.so"));
  EXPECT_EQ(test::ReadFileBytes(dir / "lib/7z.so"), "\x7f" "ELF library bytes");
  std::string failure;
  EXPECT_FALSE(DownloadFile(server.Url("/empty"), dir / "lib/empty.so", {}, &failure));
  EXPECT_EQ(failure, "the server's answer is empty");
  EXPECT_FALSE(DownloadFile(server.Url("/missing"), dir / "lib/missing.so", {}, &failure));
  EXPECT_EQ(failure, "the server answered with HTTP status 404");
  // The check sees the whole download before it takes the name; a refusal keeps the old file.
  std::string seen;
  const auto refuse = [&](const std::string& file) {
    seen = test::ReadFileBytes(file);
    return std::string("not for this platform");
  };
  EXPECT_FALSE(DownloadFile(server.Url("/7z"), dir / "lib/7z.so", refuse, &failure));
  EXPECT_EQ(failure, "not for this platform");
  EXPECT_EQ(seen, "\x7f" "ELF library bytes");
  EXPECT_EQ(FilesIn(dir / "lib"), std::vector<std::string>{"7z.so"});
  EXPECT_FALSE(DownloadFile("http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/", dir / "lib/none.so"));
  EXPECT_FALSE(fs::exists(dir / "lib/none.so"));
}

}  // namespace
}  // namespace ashtint
