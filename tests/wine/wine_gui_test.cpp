// The Windows front end under Wine: its own test programs (built for Windows, on Qt's offscreen
// platform), and AshtintGui.exe of the release as a player meets it: a client recorded in the
// registry by Wine's own reg tool, found at the first start, and Create mods building the
// packages with the release's engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "test_support/mod_check.h"
#include "wine/wine_world.h"

using namespace wine_test;

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The release carries the front end unless it was built without it (ASHTINT_WINDOWS_GUI=0).
bool WindowsGuiBuilt() {
  const char* v = std::getenv("ASHTINT_WINDOWS_GUI");
  return v == nullptr || std::string(v) != "0";
}

std::string QtMingwPrefix() {
  const auto r = test_support::RunProcess("/bin/sh", {kSource + "/tools/build-qt-mingw.sh"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string prefix = r.out;
  while (!prefix.empty() && (prefix.back() == '\n' || prefix.back() == '\r')) prefix.pop_back();
  return prefix;
}

// Test programs of the Windows build load Qt from where it was built and the compiler's runtime
// from the toolchain; Qt finds its plugins beside its own DLLs.
std::vector<std::string> WindowsTestEnv() {
  const auto gcc = test_support::RunProcess("/usr/bin/x86_64-w64-mingw32-g++-posix", {"-print-file-name=libstdc++-6.dll"});
  const fs::path runtime = fs::path(gcc.out.substr(0, gcc.out.find('\n'))).parent_path();
  return {"WINEPATH=" + WinPath(fs::path(QtMingwPrefix()) / "bin") + ";" + WinPath(runtime) + ";" +
              WinPath("/usr/x86_64-w64-mingw32/lib"),
          // Wine hands the program no QT_ variables of its own; these reach it as QT_QPA_FONTDIR.
          // The offscreen platform draws text only with a font folder.
          "WINEQT_QPA_FONTDIR=" + WinPath("/usr/share/fonts/truetype/dejavu")};
}

TEST(WineGui, TheFrontEndsTestProgramsPassOnWindows) {
  if (!WindowsGuiBuilt()) GTEST_SKIP() << "the Windows front end was left out (ASHTINT_WINDOWS_GUI=0)";
  const std::vector<std::string> env = [] {
    std::vector<std::string> e = World()->Env();
    const auto extra = WindowsTestEnv();
    e.insert(e.end(), extra.begin(), extra.end());
    return e;
  }();
  for (const char* program : {"tests/json/test_json.exe", "tests/colorpicker/test_colorpicker.exe",
                              "tests/gui/test_gui.exe"}) {
    const fs::path exe = fs::path(ASHTINT_WINDOWS_BUILD_DIR) / program;
    ASSERT_TRUE(fs::is_regular_file(exe)) << exe;
    const auto r = test_support::RunProcess(kWine, {exe.string(), "--gtest_brief=1"}, "", env);
    std::smatch passed;
    std::regex_search(r.out, passed, std::regex(R"(\[  PASSED  \] (\d+) test)"));
    EXPECT_EQ(r.status, 0) << program << "\n" << r.out << r.err;
    EXPECT_FALSE(passed.empty()) << program << "\n" << r.out;
    std::cout << program << " under Wine: " << (passed.empty() ? std::string("no") : passed[1].str())
              << " tests passed\n";
  }
}

class WineFrontEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WindowsGuiBuilt()) GTEST_SKIP() << "the Windows front end was left out (ASHTINT_WINDOWS_GUI=0)";
    program_ = dir_.path() / "program";
    fs::copy(World()->Release(), program_, fs::copy_options::recursive);
    ASSERT_FALSE(fs::exists(program_ / "AshtintGui.json"));
  }
  void TearDown() override {
    for (const char* view : {"/reg:64", "/reg:32"})
      for (const char* root : {"HKCU\\", "HKLM\\"})
        World()->Wine({"reg", "delete", root + kUninstall + "WOT.EU.PRODUCTION", "/f", view});
  }

  fs::path Client(const std::string& name) const {
    const fs::path to = dir_.path() / name;
    fs::copy(World()->Root() / "gen" / "World_of_Tanks_EU", to, fs::copy_options::recursive);
    return to;
  }

  // An uninstall entry as a client's installer writes it, with Wine's own reg tool.
  void Record(const std::string& root, const std::string& view, const fs::path& client) const {
    const auto r = World()->Wine({"reg", "add", root + "\\" + kUninstall + "WOT.EU.PRODUCTION", "/v",
                                  "InstallLocation", "/d", WinPath(client), "/f", view});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
  }

  // The settings the window saved beside itself name this client's program.
  void ExpectSavedClient(const fs::path& client) const {
    const std::string saved = ReadFile(program_ / "AshtintGui.json");
    ASSERT_FALSE(saved.empty()) << "no settings file beside the program";
    const auto base64 = test_support::RunProcess("/usr/bin/base64", {"-w0"}, WinPath(client / "WorldOfTanks.exe"));
    EXPECT_NE(saved.find(base64.out), std::string::npos) << saved;
  }

  // Every package of the client's version folder checked by the shared checker.
  void ExpectPackages(const fs::path& client, std::size_t count) const {
    std::size_t packages = 0;
    for (const auto& e : fs::recursive_directory_iterator(client / "mods" / "1.24.0.1")) {
      if (e.path().extension() != ".wotmod") continue;
      ++packages;
      EXPECT_EQ(test_support::CheckPackage((World()->Root() / "gen" / "manifest.json").string(), client.string(),
                                           e.path().string(),
                                           (dir_.path() / "unpacked" / std::to_string(count) / e.path().filename()).string(),
                                           "#FFE200", "#DD7744"),
                "");
    }
    EXPECT_EQ(packages, count);
  }

  test_support::TempDir dir_;
  fs::path program_;
};

TEST_F(WineFrontEnd, FirstStartFindsAPerUserClientAndCreateModsBuildsThePackagesThenAllSix) {
  const fs::path client = Client("World of Tanks EU");
  Record("HKCU", "/reg:64", client);
  // The window takes the one client it found and gives its main button the focus: Space starts
  // the run, whose question about several engine copies at once Return answers with Yes. The
  // copies run in consoles of their own; when the last has ended the result window opens over
  // the main window, and both are closed as their title bars' buttons would.
  const auto r = RunInWine(dir_.path(), program_ / "AshtintGui.exe", "", {},
                           {"space@5000", "return@1000", "close=Mods created@1000", "close@1000"});
  EXPECT_EQ(r.stuck, "") << r.out << r.err;
  ASSERT_EQ(r.keys.size(), 4u) << r.out << r.err;
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.boxes.empty());
  test_support::RunProcess(kWineServer, {"-w"}, "", World()->Env());
  ExpectSavedClient(client);
  ExpectPackages(client, 5);

  // The next start with camouflages ticked as well, at 30 per cent and a quarter of the size (the
  // settings the first start saved, changed as the camouflage controls would): all six mods.
  std::string settings = ReadFile(program_ / "AshtintGui.json");
  const std::regex camo("(\"camo\": \\{[^}]*\"enable\": )false");
  ASSERT_TRUE(std::regex_search(settings, camo)) << settings;
  settings = std::regex_replace(settings, camo, "$1true");
  for (const char* value : {"\"visibility\": 30", "\"downsizing\": true", "\"downsizingratio\": 4"})
    ASSERT_NE(settings.find(value), std::string::npos) << value << "\n" << settings;
  WriteFile(program_ / "AshtintGui.json", settings);
  const auto again = RunInWine(dir_.path(), program_ / "AshtintGui.exe", "", {},
                               {"space@5000", "return@1000", "close=Mods created@1000", "close@1000"});
  EXPECT_EQ(again.stuck, "") << again.out << again.err;
  EXPECT_EQ(again.code, 0);
  test_support::RunProcess(kWineServer, {"-w"}, "", World()->Env());
  ExpectPackages(client, 6);
}

TEST_F(WineFrontEnd, FirstStartFindsAClientRecordedForTheMachineBy32BitInstaller) {
  const fs::path client = Client("World of Tanks EU machine");
  Record("HKLM", "/reg:32", client);
  const auto r = RunInWine(dir_.path(), program_ / "AshtintGui.exe", "", {}, {"close@5000"});
  EXPECT_EQ(r.stuck, "") << r.out << r.err;
  EXPECT_EQ(r.code, 0);
  ExpectSavedClient(client);
}

}  // namespace
