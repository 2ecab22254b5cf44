// The world of the Wine tests: one Wine prefix for the whole run, without a display (Wine's null
// graphics driver still makes windows, so message boxes appear and can be answered), the unpacked
// Windows release, the generated clients, and the Windows runner that starts a program with an
// exact command line, answers its message boxes and gives keys to its windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/engine_env.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"

namespace wine_test {

namespace fs = std::filesystem;
using e2e::ReadFile;
using e2e::WriteFile;

inline const std::string kSource = ASHTINT_SOURCE_DIR;
inline const std::string kPython = "/usr/bin/python3";
inline const std::string kWine = ASHTINT_WINE64;
inline const std::string kWineServer = ASHTINT_WINESERVER;

inline std::string WinPath(const fs::path& p) {
  std::string s = "Z:" + p.string();
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

inline std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
  return n;
}

inline std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

struct ShownBox {
  std::string caption, text;
};

struct WineResult {
  bool finished = false;  // the runner saw the engine end
  long long code = -1;    // the engine's whole exit code
  std::string out, err;
  std::vector<ShownBox> boxes;
  std::vector<std::string> keys;  // "name<TAB>window title" of each key given
  std::string stuck;              // the key no window took
};

// The prefix, the unpacked release and the generated clients, made once for all tests.
class WineWorld : public ::testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::make_unique<test_support::TempDir>();
    env_ = {"WINEPREFIX=" + (dir_->path() / "prefix").string(), "WINEDEBUG=-all", "DISPLAY=",
            // No downloads of Wine's .NET and browser parts while the prefix is made.
            "WINEDLLOVERRIDES=mscoree,mshtml=", "http_proxy=", "https_proxy=", "HTTP_PROXY=", "HTTPS_PROXY=",
            "no_proxy=127.0.0.1,localhost"};
    auto r = test_support::RunProcess(kWine, {"wineboot", "-i"}, "", env_);
    ASSERT_EQ(r.status, 0) << r.err;
    // The null graphics driver: windows without a display.
    r = test_support::RunProcess(kWine, {"reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics", "/d",
                                         "null", "/f"},
                                 "", env_);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    RestartServer();

    r = test_support::RunProcess(kPython, {"-m", "zipfile", "-e", ASHTINT_WINDOWS_RELEASE_ZIP, dir_->str() + "release"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& [profile, extra] : {std::pair<std::string, std::string>{"gen", ""}, {"refused", "--refused-textures"}}) {
      std::vector<std::string> args{kSource + "/tools/gen_client.py", "--profile", "small", "--out", dir_->str() + profile};
      if (!extra.empty()) args.push_back(extra);
      r = test_support::RunProcess(kPython, args);
      ASSERT_EQ(r.status, 0) << r.err;
    }
  }
  void TearDown() override {
    test_support::RunProcess(kWineServer, {"-k"}, "", env_);
    dir_.reset();
  }
  // Ends the prefix's server; the next program starts a fresh session.
  void RestartServer() const {
    test_support::RunProcess(kWineServer, {"-k"}, "", env_);
    test_support::RunProcess(kWineServer, {"-w"}, "", env_);
  }

  fs::path Root() const { return dir_->path(); }
  fs::path Release() const { return dir_->path() / "release" / "AshtintCreator2"; }
  const std::vector<std::string>& Env() const { return env_; }

  test_support::ProcessResult Wine(const std::vector<std::string>& args) const {
    return test_support::RunProcess(kWine, args, "", env_);
  }

 private:
  std::unique_ptr<test_support::TempDir> dir_;
  std::vector<std::string> env_;
};

inline WineWorld* World() {
  static WineWorld* world = static_cast<WineWorld*>(::testing::AddGlobalTestEnvironment(new WineWorld));
  return world;
}
inline const WineWorld* const kRegistered = World();

// A program of the release, started by the Windows runner with this exact command line (its
// file quoted, then the arguments); keys as wine_run.exe takes them. work holds the runner's files.
inline WineResult RunInWine(const fs::path& work, const fs::path& program, const std::string& arguments,
                            const std::vector<std::string>& extraEnv = {}, const std::vector<std::string>& keys = {}) {
  const fs::path command = work / "command.txt", report = work / "report.txt";
  // Appended piece by piece: GCC 12 at -O3 takes "..." + string&& for an overlapping copy.
  std::string line = "\"";
  line += WinPath(program);
  line += "\" ";
  line += arguments;
  WriteFile(command, line);
  fs::remove(report);
  std::vector<std::string> env = World()->Env();
  // Tests never reach the real network: the online addresses point at a closed port unless a
  // test names its own server.
  for (const char* name : {"ASHTINT_CONFIGS_BASE_URL", "ASHTINT_SITE_URL", "ASHTINT_UPDATE_BASE_URL"}) {
    bool given = false;
    for (const auto& e : extraEnv) given = given || e.rfind(std::string(name) + "=", 0) == 0;
    if (!given) env.push_back(std::string(name) + "=http://127.0.0.1:1/");
  }
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<std::string> args{ASHTINT_WINE_RUNNER, WinPath(command), WinPath(report)};
  args.insert(args.end(), keys.begin(), keys.end());
  const auto r = test_support::RunProcess(kWine, args, "", env);
  WineResult result;
  result.out = r.out;
  result.err = r.err;
  std::istringstream lines(ReadFile(report));
  for (std::string line; std::getline(lines, line);) {
    const auto tab = line.find('\t');
    const std::string kind = line.substr(0, tab), rest = tab == std::string::npos ? "" : line.substr(tab + 1);
    if (kind == "exit") {
      result.finished = true;
      result.code = std::stoll(rest);
    } else if (kind == "box") {
      const auto second = rest.find('\t');
      result.boxes.push_back({Unescape(rest.substr(0, second)), Unescape(rest.substr(second + 1))});
    } else if (kind == "key") {
      result.keys.push_back(rest);
    } else if (kind == "stuck") {
      result.stuck = rest;
    }
  }
  EXPECT_TRUE(result.finished) << "the runner did not see the program end: " << r.out << r.err;
  return result;
}

}  // namespace wine_test
