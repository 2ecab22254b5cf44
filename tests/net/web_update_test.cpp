// The update check against a server on this machine: which message each answer gives, the
// download question, the wait limit, and results dropped once their owner is gone.
#include "net/web_update.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "test_support/loopback_server.h"

namespace ashtint {
namespace {

using test::HttpRequest;
using test::LoopbackServer;

struct Shown {
  std::vector<std::string> informed, asked, opened;
  bool answer = false;
  TWebUpdateUi Ui() {
    TWebUpdateUi ui;
    ui.Inform = [this](const std::string& caption, const std::string& text) { informed.push_back(caption + "|" + text); };
    ui.Ask = [this](const std::string& caption, const std::string& text) {
      asked.push_back(caption + "|" + text);
      return answer;
    };
    ui.OpenUrl = [this](const std::string& url) {
      opened.push_back(url);
      return true;
    };
    return ui;
  }
};

// Serves the three update files from a map; a missing one is a refused connection's cousin: 404.
class UpdateServer {
 public:
  UpdateServer(std::initializer_list<std::pair<const std::string, std::string>> files, int delayMs = 0)
      : files_(files), server_([this, delayMs](LoopbackServer& s, int fd, const HttpRequest& r) {
          if (delayMs > 0 && !s.Pause(delayMs)) return;
          const auto it = files_.find(r.Target.substr(r.Target.rfind('/') + 1));
          if (it == files_.end())
            LoopbackServer::SendResponse(fd, 404, "Not Found", "");
          else
            LoopbackServer::SendResponse(fd, 200, "OK", it->second);
        }) {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy"}) ::unsetenv(name);
  }
  std::string Base() const { return server_.Url("/upd/"); }

 private:
  std::map<std::string, std::string> files_;
  LoopbackServer server_;
};

void Check(Shown& shown, const std::string& base, std::int16_t language = 1, bool showResult = true) {
  const TWebUpdate update("248", true, showResult, "AshtintCreator2", language, "UpdateInfo_en.upd",
                          "UpdateInfo_ru.upd", "AshtintCreator.upd", base, shown.Ui());
  if (update.DownloadAccepted()) shown.opened.push_back("accepted");
}

TEST(WebUpdate, EachAnswerGivesItsMessage) {
  {
    Shown s;  // not a number: the latest build counts as 0
    UpdateServer server({{"AshtintCreator.upd", "build 300\r\n2.3\r\n"}});
    Check(s, server.Base());
    ASSERT_EQ(s.informed.size(), 1u);
    EXPECT_EQ(s.informed[0], "AshtintCreator2|" + UpToDateText(1));
  }
  {
    Shown s;  // a newer build without a version text
    UpdateServer server({{"AshtintCreator.upd", "300"}});
    Check(s, server.Base());
    ASSERT_EQ(s.informed.size(), 1u);
    EXPECT_EQ(s.informed[0], "AshtintCreator2|A new version of the program has been found. You can download it and "
                             "see the list of changes on the official website.");
  }
  {
    Shown s;  // a version text and a change list, no download: information with the changes
    UpdateServer server({{"AshtintCreator.upd", "300\r\n2.3\r\n"}, {"UpdateInfo_en.upd", "- faster"},
                         {"UpdateInfo_ru.upd", "- быстрее"}});
    Check(s, server.Base());
    ASSERT_EQ(s.informed.size(), 1u);
    EXPECT_EQ(s.informed[0], "AshtintCreator2|Found a new version of the program: 2.3.\r\n\r\n- faster\r\n\r\nYou can "
                             "download the new version and see the list of changes on the official website.");
    Check(s, server.Base(), 0);
    ASSERT_EQ(s.informed.size(), 2u);
    EXPECT_NE(s.informed[1].find("Найдена новая версия программы: 2.3.\r\n\r\n- быстрее\r\n\r\n"), std::string::npos);
  }
  {
    Shown s;  // an empty answer is the server's error; a huge one passes the text cap: no answer either
    UpdateServer empty({{"AshtintCreator.upd", ""}});
    Check(s, empty.Base());
    UpdateServer huge({{"AshtintCreator.upd", std::string(4 << 20, '9') + "\r\n2.3\r\nsetup.exe"}});
    Check(s, huge.Base());
    EXPECT_EQ(s.informed, (std::vector<std::string>{"AshtintCreator2|" + ServerErrorText(1),
                                                    "AshtintCreator2|" + ServerErrorText(1)}));
  }
  {
    Shown s;  // error pages: a version file behind one is no answer, a change list behind one is no list
    std::atomic<int> status{503};
    LoopbackServer server([&status](LoopbackServer&, int fd, const HttpRequest& r) {
      if (r.Target.find("AshtintCreator.upd") != std::string::npos)
        LoopbackServer::SendResponse(fd, status.load(), "X", "300\r\n2.3\r\n");
      else
        LoopbackServer::SendResponse(fd, 404, "Not Found", "<html>404 page</html>");
    });
    Check(s, server.Url("/upd/"));
    status = 200;
    Check(s, server.Url("/upd/"));
    ASSERT_EQ(s.informed.size(), 2u);
    EXPECT_EQ(s.informed[0], "AshtintCreator2|" + ServerErrorText(1));
    EXPECT_EQ(s.informed[1].find("404 page"), std::string::npos) << s.informed[1];
  }
  {
    Shown s;  // same build: up to date; nothing at all without show-result
    UpdateServer server({{"AshtintCreator.upd", "248\n2.2\n"}});
    Check(s, server.Base(), 1, false);
    EXPECT_TRUE(s.informed.empty());
  }
}

TEST(WebUpdate, DownloadQuestionOpensTheAddressOnlyOnYes) {
  UpdateServer server({{"AshtintCreator.upd", "300\r\n2.3\r\n files/setup.exe \r\n"}});
  Shown no;
  Check(no, server.Base());
  ASSERT_EQ(no.asked.size(), 1u);
  EXPECT_EQ(no.asked[0].rfind("AshtintCreator2|Found a new version of the program: 2.3, start downloading?\r\n\r\n", 0),
            0u);
  EXPECT_TRUE(no.opened.empty());

  Shown yes;
  yes.answer = true;
  Check(yes, server.Base());
  EXPECT_EQ(yes.opened, (std::vector<std::string>{server.Base() + "files/setup.exe", "accepted"}));
}

TEST(WebUpdate, UnreachableServerAndTheWaitLimit) {
  Shown s;
  Check(s, "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/");
  ASSERT_EQ(s.informed.size(), 1u);
  EXPECT_EQ(s.informed[0], "AshtintCreator2|" + ServerErrorText(1));
  Check(s, "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/", 1, false);
  EXPECT_EQ(s.informed.size(), 1u);

  // A server slower than the wait: the check gives up and shows nothing, then or later.
  UpdateServer slow({{"AshtintCreator.upd", "300\r\n2.3\r\nsetup.exe"}}, 1500);
  Shown late;
  late.answer = true;
  const auto start = std::chrono::steady_clock::now();
  {
    const TWebUpdate update("248", true, true, "", 1, "UpdateInfo_en.upd", "UpdateInfo_ru.upd",
                            "AshtintCreator.upd", slow.Base(), late.Ui(), 300);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1200));
    EXPECT_FALSE(update.DownloadAccepted());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));
  EXPECT_TRUE(late.asked.empty());
  EXPECT_TRUE(late.opened.empty());
}

TEST(WebUpdate, WithoutWaitingResultsArePostedAndDroppedOnceTheOwnerIsGone) {
  UpdateServer server({{"AshtintCreator.upd", "100"}});
  for (bool ownerGone : {false, true}) {
    Shown s;
    std::mutex m;
    std::vector<std::function<void()>> posted;
    TWebUpdateUi ui = s.Ui();
    ui.Post = [&](std::function<void()> call) {
      std::lock_guard lock(m);
      posted.push_back(std::move(call));
    };
    auto update = std::make_unique<TWebUpdate>("248", false, true, "", 0, "UpdateInfo_en.upd", "UpdateInfo_ru.upd",
                                               "AshtintCreator.upd", server.Base(), ui);
    for (int i = 0; i < 500; ++i) {
      {
        std::lock_guard lock(m);
        if (!posted.empty()) break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (ownerGone) update.reset();
    std::lock_guard lock(m);
    ASSERT_EQ(posted.size(), 1u);
    posted[0]();
    if (ownerGone) {
      EXPECT_TRUE(s.informed.empty());
    } else {
      ASSERT_EQ(s.informed.size(), 1u);
      EXPECT_EQ(s.informed[0], "AshtintGui|" + UpToDateText(0));
    }
  }
}

}  // namespace
}  // namespace ashtint
