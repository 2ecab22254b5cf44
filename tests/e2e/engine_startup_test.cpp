#include <gtest/gtest.h>

#include <regex>

#include "common/exit_codes.h"
#include "e2e/engine_env.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {
const std::string kBanner = "Ashtint Creator 2 for WorldOfTanks\r\nVer.2.2.1 Build 248 13/03/2024\r\n\r\n";

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = 0; (p = text.find(what, p)) != std::string::npos; p += what.size()) ++n;
  return n;
}
}  // namespace

TEST(EngineStartup, NoArgumentsAndUnparsableLinesShowTheKeyListing) {
  EngineEnv env;
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"--colour=1"}, {"-"}}) {
    const auto r = env.Run(args);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind(kBanner + "  > List of available command line arguments\r\n    --silent-mode\t\t|", 0), 0u)
        << r.out;
    EXPECT_EQ(Count(r.out, "\r\n    --"), 41u);
    EXPECT_NE(r.out.find("    --wot-path=\t\t\t| Key is required, string value\r\n"), std::string::npos);
    EXPECT_NE(r.out.find("    All details about the program and command line arguments can be found in the "
                         "official topic "),
              std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 26), "    Press enter to exit...");
    EXPECT_EQ(r.out.find("Parse error"), std::string::npos);  // the engine's parse errors are silent
    EXPECT_EQ(r.err, "");
  }
}

TEST(EngineStartup, FatalClientErrorsWaitForEnterAndExitWithTheirCodes) {
  EngineEnv env;
  const auto good = env.MakeClient();

  auto r = env.Run({"--log"});
  EXPECT_EQ(r.code, ashtint::ecWotPathMissing);
  EXPECT_EQ(r.status, 129);
  EXPECT_NE(r.out.find("  > Search and analysis of the game client... Not found!\r\n\r\n    Press enter to exit..."),
            std::string::npos)
      << r.out;

  r = env.Run({"--no-update-configs", "--wot-path="});
  EXPECT_EQ(r.code, ashtint::ecWotPathMissing);

  const auto noExe = env.root() / "noexe";
  fs::copy(good, noExe, fs::copy_options::recursive);
  fs::remove_all(noExe / "win64");
  r = env.Run({"--no-update-configs", "--wot-path=" + noExe.string()});
  EXPECT_EQ(r.code, ashtint::ecGameExeNotFound);
  EXPECT_NE(r.out.find("game client... Not found!"), std::string::npos);

  const auto broken = env.root() / "broken";
  fs::copy(good, broken, fs::copy_options::recursive);
  WriteFile(broken / "version.xml", "<version> v.1.2.3 #4");  // no closing '<': the examination fails
  r = env.Run({"--no-update-configs", "--wot-path=" + broken.string()});
  EXPECT_EQ(r.code, ashtint::ecClientNotRecognized);
  EXPECT_NE(r.out.find("game client... Error!"), std::string::npos);

  // A version.xml that yields no version is the version's error, not a lack of packages.
  const std::pair<const char*, std::string> unreadable[] = {
      {"empty", "<version.xml><version>  </version></version.xml>"},
      {"controls", std::string("<version>\x01\x02\x03</version>")},
      {"utf16", std::string("<\0v\0e\0r\0s\0i\0o\0n\0>\0v\0.\0001\0<\0", 26)},
      {"binary", std::string("\x7f" "ELF\0\0\x01\xff<", 9)}};
  for (const auto& [name, text] : unreadable) {
    const auto client = env.root() / name;
    fs::copy(good, client, fs::copy_options::recursive);
    WriteFile(client / "version.xml", text);
    r = env.Run({"--no-update-configs", "--wot-path=" + client.string()});
    EXPECT_EQ(r.code, ashtint::ecClientNotRecognized) << name;
    EXPECT_NE(r.out.find("game client... Error!\r\n    No version of the client could be read from " +
                         (client / "version.xml").string()),
              std::string::npos)
        << r.out;
  }

  const auto noPkgs = env.root() / "nopkgs";
  fs::copy(good, noPkgs, fs::copy_options::recursive);
  fs::remove_all(noPkgs / "res");
  r = env.Run({"--no-update-configs", "--wot-path=" + noPkgs.string()});
  EXPECT_EQ(r.code, ashtint::ecNoPackages);
  EXPECT_NE(r.out.find("game client... No pkg-files!"), std::string::npos);

  // Auto-close does not skip the wait of a fatal exit.
  r = env.Run({"--auto-close-console", "--wot-path="});
  EXPECT_NE(r.out.find("Press enter to exit..."), std::string::npos);
}

TEST(EngineStartup, GoodClientRunEndsWithZeroAndPrintsItsPaths) {
  EngineEnv env;
  const auto client = env.MakeClient();
  const auto r = env.Run({"--wot-path=" + client.string(), "--no-update-configs"});
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("  > Configs path: \r\n    " + env.programDir().string() + "/\r\n\r\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  > Search and analysis of the game client... OK\r\n    Game path: " + client.string() +
                       "/\r\n\r\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.substr(r.out.size() - 26), "    Press enter to exit...");

  // A file inside the client names it as well, and a configs folder that does not exist falls back.
  const auto viaExe = env.Run({"--wot-path=" + (client / "win64" / "WorldOfTanks.exe").string(),
                               "--configs-path=/nonexistent/folder", "--auto-close-console", "--no-update-configs"});
  EXPECT_EQ(viaExe.code, 0);
  EXPECT_NE(viaExe.out.find("Game path: " + client.string() + "/\r\n"), std::string::npos);
  EXPECT_NE(viaExe.out.find("    " + env.programDir().string() + "/\r\n"), std::string::npos);
  EXPECT_EQ(viaExe.out.find("Press enter to exit..."), std::string::npos);

  // Whatever one argument holds arrives whole, both quote characters included.
  const auto quoted = env.MakeClient("it's a \"quoted\" client");
  const auto both = env.Run({"--wot-path=" + quoted.string(), "--no-update-configs", "--auto-close-console"});
  EXPECT_EQ(both.code, 0) << both.out;
  EXPECT_NE(both.out.find("    Game path: " + quoted.string() + "/\r\n"), std::string::npos) << both.out;
}

TEST(EngineStartup, LogBlocksAppendAndNameWithoutLogWritesNothing) {
  EngineEnv env;
  const auto client = env.MakeClient();
  const auto logFile = env.programDir() / "AshtintCreator2.log";

  auto r = env.Run({"--log-name=" + (env.root() / "x.log").string(), "--wot-path=" + client.string(),
                    "--no-update-configs"});
  EXPECT_EQ(r.code, 0);
  EXPECT_FALSE(fs::exists(env.root() / "x.log"));
  EXPECT_FALSE(fs::exists(logFile));

  r = env.Run({"--log", "--wot-path=" + client.string(), "--no-update-configs", "--cpu-count=99"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("  > [DEBUG MODE]\r\n    LOG  = ON\r\n\r\n"), std::string::npos);
  const std::string first = ReadFile(logFile);
  const std::string open = "/" + std::string(90, '-') + "\\\r\n";
  const std::string close = "\\" + std::string(90, '-') + "/\r\n";
  ASSERT_EQ(first.rfind(open + "Version 2.2.1 Build 248 Date 13/03/2024\r\n\r\n", 0), 0u) << first;
  EXPECT_EQ(first.substr(first.size() - close.size()), close);
  EXPECT_TRUE(std::regex_search(first, std::regex(R"(\d\d:\d\d:\d\d\.\d{3}: WOT Path: )" + client.string() + "/\r\n")));
  EXPECT_NE(first.find(": CPU Count: 50\r\n"), std::string::npos);
  EXPECT_NE(first.find(": DPT-mod: False\r\n"), std::string::npos);
  EXPECT_TRUE(std::regex_search(first, std::regex(R"(: Temp Path: /.*/\{[0-9A-F-]{36}\}/res/\r\n)")));

  // A fatal exit still closes its block; the second block follows an empty line.
  r = env.Run({"--log", "--no-update-configs", "--wot-path="});
  EXPECT_EQ(r.code, ashtint::ecWotPathMissing);
  const std::string both = ReadFile(logFile);
  EXPECT_EQ(both.rfind(first + "\r\n" + open, 0), 0u);
  EXPECT_EQ(Count(both, close), 2u);

  // Output nobody reads (a closed pipe, `| head`) does not end the run: the block still closes.
  r = env.Run({"--log", "--rewrite-log", "--wot-path=" + client.string(), "--no-update-configs",
               "--auto-close-console"}, "\n", {}, {.closedOutput = true});
  EXPECT_TRUE(r.exited) << "ended by a signal";
  EXPECT_EQ(r.code, 0);
  const std::string piped = ReadFile(logFile);
  EXPECT_NE(piped.find(": CPU Count: "), std::string::npos) << piped;
  ASSERT_GE(piped.size(), close.size());
  EXPECT_EQ(piped.substr(piped.size() - close.size()), close);

  // A log-name in a missing folder creates it.
  const auto nested = env.root() / "logs" / "deep" / "run.log";
  r = env.Run({"--log", "--log-name=" + nested.string(), "--wot-path=" + client.string(), "--no-update-configs",
               "--rewrite-log"});
  EXPECT_TRUE(fs::exists(nested));
}

TEST(EngineStartup, SilentModeShowsOnlyTheBanner) {
  EngineEnv env;
  const auto client = env.MakeClient();
  const auto r = env.Run({"--silent-mode", "--wot-path=" + client.string(), "--no-update-configs"}, "");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, kBanner);
  const auto fatal = env.Run({"--silent-mode", "--no-update-configs", "--wot-path="}, "");
  EXPECT_EQ(fatal.code, ashtint::ecWotPathMissing);
  EXPECT_EQ(fatal.out, kBanner);
}

TEST(EngineStartup, RemovalDeletesOnlyThisProgramsOldPackages) {
  EngineEnv env;
  const auto client = env.MakeClient();
  const auto mods = client / "mods" / "1.24.0.1";
  WriteFile(mods / "mod.AshtintCreator.TankCrashTextures_2.2.1.248.wotmod", "PK");
  WriteFile(mods / "AshtintCreator" / "MOD.ASHTINTCREATOR.X.WOTMOD", "PK");
  WriteFile(mods / "deep" / "er" / "mod.ashtintcreator.y.wotmod", "PK");
  WriteFile(mods / "mod.AshtintCreator.Camouflages_2.2.1.248.mtmod", "PK");  // a Lesta client's package
  WriteFile(mods / "mymod.wotmod", "PK");
  WriteFile(mods / "mod.AshtintCreator.crash.zip", "PK");

  auto r = env.Run({"--wot-path=" + client.string(), "--remove-wotmod", "--without-wotmod", "--no-update-configs"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.find("Delete old wotmod-files"), std::string::npos);
  EXPECT_TRUE(fs::exists(mods / "AshtintCreator"));

  r = env.Run({"--wot-path=" + client.string(), "--remove-wotmod", "--no-update-configs"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("  > Delete old wotmod-files... OK (4 files)\r\n"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(mods / "mod.AshtintCreator.Camouflages_2.2.1.248.mtmod"));
  EXPECT_FALSE(fs::exists(mods / "AshtintCreator"));
  EXPECT_FALSE(fs::exists(mods / "deep" / "er" / "mod.ashtintcreator.y.wotmod"));
  EXPECT_TRUE(fs::exists(mods / "deep" / "er"));
  EXPECT_TRUE(fs::exists(mods / "mymod.wotmod"));
  EXPECT_TRUE(fs::exists(mods / "mod.AshtintCreator.crash.zip"));

  r = env.Run({"--wot-path=" + client.string(), "--remove-wotmod", "--no-update-configs"});
  EXPECT_NE(r.out.find("  > Delete old wotmod-files... OK\r\n"), std::string::npos);
}

TEST(EngineStartup, VersionTagClosesTheEngineFile) {
  const std::string bytes = ReadFile(ASHTINT_ENGINE_FILE);
  const std::string tail = bytes.substr(bytes.size() - 14);
  EXPECT_EQ(tail, ";842:1.2.2:REV");
  // Read from the back as the front end does.
  const std::string forward(tail.rbegin(), tail.rend());
  EXPECT_EQ(forward, "VER:2.2.1:248;");
}
