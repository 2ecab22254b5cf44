// The client search over fake Wine prefixes built in a temporary folder: launcher lists, the
// replay association, uninstall entries, Common Test filtering, duplicates, a Proton library.
#include "client/client_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "client/wot_info.h"
#include "test_support/temp_dir.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

// A client folder: launcher, game, version.xml with a realm.
void Client(const fs::path& dir, const std::string& realm = "EU", const std::string& exe = "WorldOfTanks.exe") {
  Write(dir / exe, "MZ");
  Write(dir / "win64" / exe, "MZ");
  Write(dir / "version.xml", "<version.xml><version>v.1.24.0.1 #1234</version><meta><realm>" + realm +
                                 "</realm></meta></version.xml>");
}

const char* const kUninstall = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\";

std::string Entry(const std::string& key, const std::string& name, const std::string& publisher,
                  const std::string& location) {
  return kUninstall + key + "] 1700000000\n#time=1d9\n\"DisplayName\"=\"" + name + "\"\n\"Publisher\"=\"" +
         publisher + "\"\n\"InstallLocation\"=\"" + location + "\"\n\n";
}

TEST(ClientSearch, FindsClientsInWinePrefixesInSourceOrder) {
  test_support::TempDir dir;
  const fs::path home = fs::canonical(dir.path()) / "home";
  const fs::path wine = home / ".wine";
  const fs::path c = wine / "drive_c";
  fs::create_directories(wine / "dosdevices");
  fs::create_directory_symlink("../drive_c", wine / "dosdevices" / "c:");
  fs::create_directory_symlink(dir.path() / "disk_d", wine / "dosdevices" / "d:");

  Client(c / "Games" / "World_of_Tanks_EU");
  Client(c / "Games" / "World_of_Tanks_CT", "CT");
  Client(c / "Games" / "Replay_Client");
  Client(c / "Games" / "From_Launcher");
  Client(c / "Games" / "Launcher_RPT", "RPT");
  Client(dir.path() / "disk_d" / "Tanki", "RU", "Tanki.exe");
  Client(c / "Games" / "Lesta_Test", "RPT", "Tanki.exe");

  // Wargaming.net Game Center: its icon, and its list naming one client twice and a test client.
  Write(c / "ProgramData" / "Wargaming.net" / "GameCenter" / "wgc.exe", "MZ");
  Write(c / "ProgramData" / "Wargaming.net" / "GameCenter" / "preferences.xml",
        "<protocol><application><current_game> C:\\Games\\From_Launcher </current_game></application>"
        "<games_manager><games><game><working_dir>c:\\games\\from_launcher</working_dir></game>"
        "<game><working_dir>C:\\Games\\Launcher_RPT</working_dir></game></games></games_manager></protocol>");
  // Lesta Game Center recorded only in its own file.
  Write(c / "ProgramData" / "Lesta" / "GameCenter" / "data" / "lgc_path.dat", "C:\\Lesta\\GameCenter\\lgc.exe\n");
  Write(c / "Lesta" / "GameCenter" / "preferences.xml",
        "<protocol><games_manager><games><game><working_dir>D:\\Tanki</working_dir></game></games>"
        "</games_manager></protocol>");

  std::string user = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n";
  user += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Wargaming.net Game Center] 1700000000\n"
          "\"DisplayIcon\"=\"C:\\\\ProgramData\\\\Wargaming.net\\\\GameCenter\\\\wgc.exe,0\"\n\n";
  user += Entry("WOT.EU.PRODUCTION", "World of Tanks EU", "Wargaming.net", "C:\\\\Games\\\\World_of_Tanks_EU\\\\win64");
  user += Entry("WOT.CT.PRODUCTION", "World of Tanks CT", "Wargaming.net", "C:\\\\Games\\\\World_of_Tanks_CT");
  user += Entry("Some other game", "World of Tanks Common Test", "Wargaming.net", "C:\\\\Games\\\\World_of_Tanks_CT");
  // "Мир танков" and "Общий тест" as Wine writes them: UTF-16 codes after \x.
  user += Entry("LestaEntry", "\\x41c\\x438\\x440 \\x442\\x430\\x43d\\x43a\\x43e\\x432", "Lesta Games", "d:\\\\TANKI");
  user += Entry("LestaTest", "\\x41e\\x431\\x449\\x438\\x439 \\x442\\x435\\x441\\x442", "Lesta Games",
                "C:\\\\Games\\\\Lesta_Test");
  user += Entry("Unrelated", "Notepad++", "Don Ho", "C:\\\\Games\\\\World_of_Tanks_EU");
  Write(wine / "user.reg", user);
  Write(wine / "system.reg",
        "WINE REGISTRY Version 2\n\n[Software\\\\Classes\\\\.wotreplay\\\\DefaultIcon] 1700000000\n"
        "@=\"\\\"C:\\\\Games\\\\Replay_Client\\\\WorldOfTanks.exe\\\",0\"\n");

  // A Steam library elsewhere, with a Proton prefix holding one more client.
  const fs::path library = dir.path() / "library";
  Write(home / ".steam" / "steam" / "steamapps" / "libraryfolders.vdf",
        "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library.string() + "\"\n\t}\n}\n");
  const fs::path pfx = library / "steamapps" / "compatdata" / "1407200" / "pfx";
  Client(pfx / "drive_c" / "Games" / "Proton_Client");
  Write(pfx / "user.reg", Entry("WOT.NA.PRODUCTION", "x", "y", "C:\\\\Games\\\\Proton_Client"));

  const auto noEnv = [](const char*) { return std::string(); };
  const auto systems = FindWindowsSystems(home.string(), noEnv);
  ASSERT_EQ(systems.size(), 2u);
  SArray found;
  const std::uint8_t all = SearchOwnFolder | SearchLestaCenter | SearchWargamingCenter | SearchReplayLink | SearchRegistry;
  FindWOTClientsIn(found, all, false, "", systems);
  const std::string g = (c / "Games").string() + "/";
  const SArray expected{(dir.path() / "disk_d" / "Tanki").string() + "/",  // Lesta launcher, via d:
                        g + "From_Launcher/",                               // once, and no RPT client
                        g + "Replay_Client/",
                        g + "World_of_Tanks_EU/",                           // win64 led to the root
                        (pfx / "drive_c" / "Games" / "Proton_Client").string() + "/"};
  EXPECT_EQ(found, expected);
  for (const auto& f : found) {
    RWOTInfo info;
    ReadWOTInfo(f, info);
    EXPECT_FALSE(info.Version.empty()) << f;
  }

  // With test clients, the Common Test ones join in their sources' places.
  FindWOTClientsIn(found, all, true, "", systems);
  // Uninstall entries come in the registry's order of key names, ignoring letter case.
  EXPECT_EQ(found, (SArray{expected[0], expected[1], g + "Launcher_RPT/", expected[2], g + "Lesta_Test/",
                           g + "World_of_Tanks_CT/", expected[3], expected[4]}));

  // Only the uninstall entries.
  FindWOTClientsIn(found, SearchRegistry, false, "", systems);
  EXPECT_EQ(found, (SArray{expected[0], expected[3], expected[4]}));
}

TEST(ClientSearch, MachineWideUninstallEntriesInBothViews) {
  // Older stand-alone installers record the client for the whole machine only: system.reg, also
  // in the 32-bit view of a 64-bit prefix. The user's own list being empty must not hide them.
  test_support::TempDir dir;
  const fs::path wine = fs::canonical(dir.path()) / "home" / ".wine";
  const fs::path c = wine / "drive_c";
  Client(c / "Games" / "Machine_EU");
  Client(c / "Games" / "Wow32_Lesta", "RU", "Tanki.exe");
  Client(c / "Games" / "Machine_CT", "CT");
  std::string machine = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
  machine += Entry("{1EAC1D02-C6AC-4FA6-9A44-96258C37C812eu}_is1", "World of Tanks", "Wargaming.net",
                   "C:\\\\Games\\\\Machine_EU\\\\");
  machine += Entry("WOT.CT.PRODUCTION", "World of Tanks CT", "Wargaming.net", "C:\\\\Games\\\\Machine_CT");
  std::string wow = Entry("LestaWow", "\\x41c\\x438\\x440 \\x442\\x430\\x43d\\x43a\\x43e\\x432", "Lesta Games",
                          "C:\\\\Games\\\\Wow32_Lesta");
  wow.replace(wow.find("Software"), 8, "Software\\\\Wow6432Node");
  Write(wine / "system.reg", machine + wow);
  Write(wine / "user.reg", "WINE REGISTRY Version 2\n");

  const auto systems = FindWindowsSystems((dir.path() / "home").string(), [](const char*) { return std::string(); });
  SArray found;
  FindWOTClientsIn(found, SearchRegistry, false, "", systems);
  const std::string g = (c / "Games").string() + "/";
  EXPECT_EQ(found, (SArray{g + "Machine_EU/", g + "Wow32_Lesta/"}));
  FindWOTClientsIn(found, SearchRegistry, true, "", systems);
  EXPECT_EQ(found, (SArray{g + "Machine_EU/", g + "Machine_CT/", g + "Wow32_Lesta/"}));
  // The registry switch off: none of them.
  FindWOTClientsIn(found, SearchLestaCenter | SearchWargamingCenter, true, "", systems);
  EXPECT_TRUE(found.empty());
}

TEST(ClientSearch, OwnFolderAndPathsInsidePrefixes) {
  test_support::TempDir dir;
  Client(dir.path() / "program" / "Client_A");
  Client(dir.path() / "program" / "Client_B", "RU", "Tanki.exe");
  Write(dir.path() / "program" / "notes" / "readme.txt", "x");
  SArray found;
  FindWOTClientsIn(found, SearchOwnFolder, false, (dir.path() / "program").string(), {});
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (SArray{(dir.path() / "program" / "Client_A").string() + "/",
                           (dir.path() / "program" / "Client_B").string() + "/"}));
  // A front end placed in the client itself finds exactly that client.
  FindWOTClientsIn(found, SearchOwnFolder, false, (dir.path() / "program" / "Client_A").string(), {});
  EXPECT_EQ(found, SArray{(dir.path() / "program" / "Client_A").string() + "/"});

  // Windows paths inside a prefix: drive C without dosdevices, letter case ignored, nothing above.
  const fs::path prefix = dir.path() / "pfx";
  Client(prefix / "drive_c" / "Games" / "WoT");
  EXPECT_EQ(WinePathToLocal(prefix.string(), "c:\\GAMES\\wot\\"), (prefix / "drive_c" / "Games" / "WoT").string() + "/");
  EXPECT_EQ(WinePathToLocal(prefix.string(), "D:\\Games"), "");
  EXPECT_EQ(WinePathToLocal(prefix.string(), "C:\\Games\\..\\..\\.."), "");
  EXPECT_EQ(WinePathToLocal(prefix.string(), "\\\\server\\share"), "");
  // A folder is a prefix only with a drive or registry files; $WINEPREFIX counts first.
  const auto env = [&](const char* name) { return std::string(name) == "WINEPREFIX" ? prefix.string() : ""; };
  EXPECT_EQ(FindWinePrefixes((dir.path() / "nohome").string(), env), TStrArray{prefix.string() + "/"});
  // Without a home folder ($HOME unset) nothing is looked for relative to the working folder.
  fs::create_directories(dir.path() / "cwd" / ".wine" / "drive_c");
  fs::create_directories(dir.path() / "cwd" / "Games" / "lutris" / "drive_c");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path() / "cwd");
  const TStrArray withoutHome = FindWinePrefixes("", env);
  fs::current_path(before);
  EXPECT_EQ(withoutHome, TStrArray{prefix.string() + "/"});
}

}  // namespace
}  // namespace ashtint
