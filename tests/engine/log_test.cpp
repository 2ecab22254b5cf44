#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "engine/log.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {
std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}
const std::string kOpen = "/" + std::string(90, '-') + "\\\r\n";
const std::string kClose = "\\" + std::string(90, '-') + "/\r\n";
}  // namespace

TEST(Log, BlockFramingAppendAndRewrite) {
  test_support::TempDir dir;
  const auto file = dir.path() / "run.log";
  {
    TLog log(file.string(), false, "Version 2.2.1 Build 248 Date 13/03/2024");
    log.Write("WOT Path: /games/wot/");
  }
  const std::string first = ReadAll(file);
  ASSERT_EQ(first.rfind(kOpen + "Version 2.2.1 Build 248 Date 13/03/2024\r\n\r\n", 0), 0u) << first;
  EXPECT_EQ(kOpen.size(), 94u);
  const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}: WOT Path: /games/wot/\r\n)");
  const std::string body = first.substr(kOpen.size() + 43);
  EXPECT_TRUE(std::regex_match(body.substr(0, body.size() - kClose.size()), line)) << body;
  EXPECT_EQ(first.substr(first.size() - kClose.size()), kClose);

  { TLog second(file.string(), false, "H2"); }
  EXPECT_EQ(ReadAll(file), first + "\r\n" + kOpen + "H2\r\n\r\n" + kClose);

  { TLog fresh(file.string(), true, "H3"); }
  EXPECT_EQ(ReadAll(file), kOpen + "H3\r\n\r\n" + kClose);
}

TEST(Log, UnopenableFileAndNoLogAreSilent) {
  test_support::TempDir dir;
  TLog log((dir.path() / "missing" / "x.log").string(), false, "H");
  EXPECT_FALSE(log.HasFile());
  log.Write("nothing happens");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));

  EXPECT_FALSE(static_cast<bool>(LogProcOf(nullptr)));
  TLog real((dir.path() / "y.log").string(), false, "H");
  TLogProc proc = LogProcOf(&real);
  ASSERT_TRUE(static_cast<bool>(proc));
  proc("through the proc");
  EXPECT_NE(ReadAll(dir.path() / "y.log").find(": through the proc\r\n"), std::string::npos);
}

TEST(Log, TimeStampShape) {
  EXPECT_TRUE(std::regex_match(LogTimeStamp(), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}: )")));
}
