#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "client/wot_info.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;

const char* const kVersionXml =
    "<version.xml>\r\n\t<version>\tv.1.24.0.1 #1234\t</version>\r\n\t<meta>\r\n\t\t<realm>\tEU\t</realm>\r\n"
    "\t</meta>\r\n</version.xml>\r\n";

std::string PathsXml(const std::vector<std::string>& packages) {
  std::string s =
      "<root>\r\n\t<Paths>\r\n\t\t<Path cacheSubdirs=\"true\">./res_mods/1.24.0.1</Path>\r\n"
      "\t\t<Path mask=\"*.wotmod\" mode=\"recursive\" root=\"res\">./mods/1.24.0.1</Path>\r\n"
      "\t\t<Packages>\r\n";
  for (const auto& p : packages) s += "\t\t\t<Package type=\"sd,hd\">./res/packages/" + p + "</Package>\r\n";
  return s + "\t\t</Packages>\r\n\t\t<Path>./res</Path>\r\n\t</Paths>\r\n</root>\r\n";
}

// A client folder written for one test under the temporary folder, removed afterwards.
class TempClient {
 public:
  explicit TempClient(const std::string& below = "World of Tanks") {
    std::random_device rd;
    base_ = fs::temp_directory_path() / ("ashtint_client_" + std::to_string(getpid()) + "_" + std::to_string(rd()));
    dir_ = base_ / below;
    fs::create_directories(dir_);
  }
  ~TempClient() {
    std::error_code ec;
    fs::remove_all(base_, ec);
  }
  // The standard layout: launcher, 64-bit game, version.xml, paths.xml listing `packages`,
  // game_info.xml of Wargaming, and the package files themselves.
  TempClient& Standard(const std::vector<std::string>& packages) {
    Write("WorldOfTanks.exe", "MZ");
    Write("win64/WorldOfTanks.exe", "MZ");
    Write("version.xml", kVersionXml);
    Write("paths.xml", PathsXml(packages));
    Write("game_info.xml", "<protocol name=\"game_info\" version=\"2.16\" wgc_publisher_id=\"wargaming\">\r\n</protocol>");
    for (const auto& p : packages) Write("res/packages/" + p, "PK");
    return *this;
  }
  TempClient& Write(const std::string& rel, const std::string& text) {
    const fs::path p = dir_ / rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return *this;
  }
  TempClient& Remove(const std::string& rel) {
    fs::remove(dir_ / rel);
    return *this;
  }
  std::string Dir() const { return dir_.string() + "/"; }
  std::string Base() const { return base_.string() + "/"; }
  std::string Pkg(const std::string& name) const { return Dir() + "res/packages/" + name; }
  RWOTInfo Read(const std::string& rel = "") const {
    RWOTInfo info;
    ReadWOTInfo(Dir() + rel, info);
    return info;
  }

 private:
  fs::path base_, dir_;
};

TEST(ReadWOTInfo, EveryFormOfTheClientPathLeadsToTheRoot) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"}).Write("win32/WorldOfTanks.exe", "MZ");
  const std::string root = c.Dir();
  const std::string noSlash = root.substr(0, root.size() - 1);
  for (const std::string& path : {root + "win64/WorldOfTanks.exe", root + "win64", root + "win64/", noSlash, root,
                                  root + "win32/WorldOfTanks.exe", root + "version.xml"}) {
    RWOTInfo info;
    ReadWOTInfo(path, info);
    EXPECT_EQ(info.ClientDir, root) << path;
    EXPECT_EQ(info.ClientExe, root + "WorldOfTanks.exe") << path;
    EXPECT_FALSE(info.Failed) << path;
  }
}

TEST(ReadWOTInfo, RealFilesGiveVersionFoldersAndFileNames) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"});
  const RWOTInfo info = c.Read();
  EXPECT_EQ(info.Version, "1.24.0.1");
  EXPECT_EQ(info.Build, "1234");
  EXPECT_EQ(info.GameExe, c.Dir() + "win64/WorldOfTanks.exe");
  EXPECT_EQ(info.PathsXmlFile, c.Dir() + "paths.xml");
  EXPECT_EQ(info.VersionXmlFile, c.Dir() + "version.xml");
  EXPECT_EQ(info.GameInfoXmlFile, c.Dir() + "game_info.xml");
  EXPECT_EQ(info.ResModsDir, c.Dir() + "res_mods/1.24.0.1/");
  EXPECT_EQ(info.ModsDir, c.Dir() + "mods/1.24.0.1/");
  EXPECT_TRUE(info.IsWargaming);
  EXPECT_FALSE(info.IsLesta);
  EXPECT_FALSE(info.IsCommonTest);
  EXPECT_TRUE(info.PkgsFound);
  EXPECT_FALSE(info.Failed);
}

TEST(ReadWOTInfo, GameExecutablePrefersTheSixtyFourBitOne) {
  TempClient c;
  c.Standard({}).Remove("win64/WorldOfTanks.exe").Write("win32/WorldOfTanks.exe", "MZ");
  EXPECT_EQ(c.Read().GameExe, c.Dir() + "win32/WorldOfTanks.exe");
  c.Write("win64/WorldOfTanks.exe", "MZ");
  EXPECT_EQ(c.Read().GameExe, c.Dir() + "win64/WorldOfTanks.exe");

  // Without either the examination stops quietly after the root facts.
  c.Remove("win64/WorldOfTanks.exe").Remove("win32/WorldOfTanks.exe");
  const RWOTInfo info = c.Read();
  EXPECT_EQ(info.ClientDir, c.Dir());
  EXPECT_EQ(info.GameExe, "");
  EXPECT_EQ(info.Version, "");
  EXPECT_FALSE(info.IsWargaming);
  EXPECT_FALSE(info.Failed);
}

TEST(ReadWOTInfo, NotAClientLeavesEverythingEmpty) {
  TempClient c;
  c.Write("readme.txt", "x");
  for (const std::string& path : {std::string(), c.Dir(), c.Dir() + "missing/", c.Dir() + "readme.txt"}) {
    RWOTInfo info;
    info.Version = "stale";
    info.Pkgs = {"stale"};
    info.Failed = true;
    ReadWOTInfo(path, info);
    EXPECT_EQ(info.ClientDir, "") << path;
    EXPECT_EQ(info.Version, "") << path;
    EXPECT_TRUE(info.Pkgs.empty()) << path;
    EXPECT_FALSE(info.Failed) << path;
    EXPECT_FALSE(info.IsWargaming || info.IsLesta) << path;
  }
}

TEST(ReadWOTInfo, PublisherMarksLestaOnlyWhenNamed) {
  TempClient c;
  c.Standard({});
  c.Write("game_info.xml", "<protocol name=\"game_info\" version=\"2.16\" wgc_publisher_id=\" LESTA \">");
  RWOTInfo info = c.Read();
  EXPECT_TRUE(info.IsLesta);
  EXPECT_FALSE(info.IsWargaming);

  c.Remove("game_info.xml");
  info = c.Read();
  EXPECT_TRUE(info.IsWargaming);
  EXPECT_FALSE(info.IsLesta);

  c.Write("game_info.xml", "<protocol name=\"game_info\"><game><id>WOT.RU.PRODUCTION</id></game></protocol>");
  EXPECT_TRUE(c.Read().IsWargaming);
}

TEST(ReadWOTInfo, RealmAndTestBuildForms) {
  TempClient c;
  c.Standard({});
  c.Write("version.xml", "<version.xml>\n\t<version> v.2.4.0.0 Common Test #927 </version>\n\t<meta>\n\t\t<realm> ct </realm>\n");
  RWOTInfo info = c.Read();
  EXPECT_EQ(info.Version, "2.4.0.0");
  EXPECT_EQ(info.Build, "927");
  EXPECT_TRUE(info.IsCommonTest);

  c.Write("version.xml", "<version.xml>\n\t<version> v.1.45.0.0 #2290 </version>\n\t<meta><realm> RPT </realm>\n");
  EXPECT_TRUE(c.Read().IsCommonTest);
  c.Write("version.xml", "<version.xml>\n\t<version> v.1.45.0.0 #2290 </version>\n\t<meta><realm> RU </realm>\n");
  info = c.Read();
  EXPECT_FALSE(info.IsCommonTest);
  EXPECT_EQ(info.Build, "2290");
}

TEST(ReadWOTInfo, PackagesAreClassifiedByName) {
  TempClient c;
  c.Standard({"shared_content_hd-part1.pkg", "01_karelia.pkg", "01_karelia_hd.pkg", "vehicles_level_05-part2.pkg",
              "vehicles_level_05_hd-part1.pkg", "shared_content-part1.pkg", "scripts.pkg", "h33_comp7.pkg"});
  const RWOTInfo info = c.Read();
  const SArray pkgs{c.Pkg("01_karelia.pkg"), c.Pkg("h33_comp7.pkg"), c.Pkg("scripts.pkg"),
                    c.Pkg("shared_content-part1.pkg"), c.Pkg("vehicles_level_05-part2.pkg")};
  EXPECT_EQ(info.Pkgs, pkgs);
  EXPECT_EQ(info.MapPkgs, (SArray{c.Pkg("01_karelia.pkg"), c.Pkg("shared_content-part1.pkg")}));
  EXPECT_EQ(info.MapPkgsWithHD, (SArray{c.Pkg("01_karelia.pkg"), c.Pkg("01_karelia_hd.pkg"),
                                        c.Pkg("shared_content-part1.pkg"), c.Pkg("shared_content_hd-part1.pkg")}));
  EXPECT_EQ(info.VehiclePkgs, (SArray{c.Pkg("shared_content-part1.pkg"), c.Pkg("vehicles_level_05-part2.pkg")}));
  EXPECT_EQ(info.VehiclePkgsWithHD,
            (SArray{c.Pkg("shared_content-part1.pkg"), c.Pkg("shared_content_hd-part1.pkg"),
                    c.Pkg("vehicles_level_05-part2.pkg"), c.Pkg("vehicles_level_05_hd-part1.pkg")}));
}

TEST(ReadWOTInfo, PathsXmlDecidesWhichPackagesCount) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"}).Write("res/packages/vehicles_level_02.pkg", "PK");
  // A folder and a file of another kind never count.
  fs::create_directories(c.Dir() + "res/packages/vehicles_level_03.pkg");
  c.Write("res/packages/vehicles_level_04.pkg.bak", "PK");
  EXPECT_EQ(c.Read().VehiclePkgsWithHD, SArray{c.Pkg("vehicles_level_01.pkg")});

  // Listed in another letter case still counts: the names are compared lower-cased.
  c.Write("paths.xml", PathsXml({"VEHICLES_LEVEL_02.PKG"}));
  EXPECT_EQ(c.Read().Pkgs, SArray{c.Pkg("vehicles_level_02.pkg")});

  c.Write("paths.xml", "");
  RWOTInfo info = c.Read();
  EXPECT_EQ(info.Pkgs, (SArray{c.Pkg("vehicles_level_01.pkg"), c.Pkg("vehicles_level_02.pkg")}));
  EXPECT_EQ(info.ModsDir, "");

  c.Remove("paths.xml");
  info = c.Read();
  EXPECT_TRUE(info.Pkgs.empty());
  EXPECT_FALSE(info.PkgsFound);
  EXPECT_FALSE(info.Failed);
}

TEST(ReadWOTInfo, SortIsByteWise) {
  TempClient c;
  c.Standard({"shared_content.pkg", "Shared_Content.pkg", "shared_content-part1.pkg", "1_a.pkg", "10_a.pkg"});
  const RWOTInfo info = c.Read();
  EXPECT_EQ(info.VehiclePkgs,
            (SArray{c.Pkg("Shared_Content.pkg"), c.Pkg("shared_content-part1.pkg"), c.Pkg("shared_content.pkg")}));
  EXPECT_EQ(info.MapPkgs.front(), c.Pkg("10_a.pkg"));
  EXPECT_EQ(info.MapPkgs[1], c.Pkg("1_a.pkg"));
}

TEST(ReadWOTInfo, EmptyVersionListsNoPackages) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"});
  c.Write("version.xml", "<version.xml>\n\t<version>\t\t</version>\n\t<meta><realm> CT </realm></meta>\n");
  RWOTInfo info = c.Read();
  EXPECT_EQ(info.Version, "");
  EXPECT_EQ(info.Build, "");
  EXPECT_TRUE(info.Pkgs.empty());
  EXPECT_FALSE(info.PkgsFound);
  EXPECT_FALSE(info.IsCommonTest);
  EXPECT_FALSE(info.Failed);

  c.Remove("version.xml");
  info = c.Read();
  EXPECT_TRUE(info.Pkgs.empty());
  EXPECT_FALSE(info.Failed);
}

TEST(ReadWOTInfo, BrokenFilesFailAndKeepWhatWasRead) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"});
  c.Write("version.xml", "<version.xml>\n\t<version> v.1.24.0.1 #1234");  // cut short
  RWOTInfo info = c.Read();
  EXPECT_TRUE(info.Failed);
  EXPECT_EQ(info.ClientDir, c.Dir());
  EXPECT_TRUE(info.IsWargaming);
  EXPECT_EQ(info.ModsDir, c.Dir() + "mods/1.24.0.1/");
  EXPECT_EQ(info.Version, "");
  EXPECT_TRUE(info.Pkgs.empty());

  c.Write("version.xml", kVersionXml).Write("paths.xml", "<root><Path>./mods/1.24.0.1");
  info = c.Read();
  EXPECT_TRUE(info.Failed);
  EXPECT_EQ(info.ModsDir, "");

  // A file that exists but cannot be read.
  c.Remove("paths.xml");
  fs::create_directories(c.Dir() + "paths.xml");
  EXPECT_TRUE(c.Read().Failed);
}

TEST(ReadWOTInfo, ModsFolderMayNotLeaveTheClient) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"});
  for (const std::string sub : {"../../outside", "1.24/../../../x", "/etc", "C:/Windows"}) {
    c.Write("paths.xml", "<root><Path>./res_mods/1.24.0.1</Path><Path>./mods/" + sub + "</Path></root>");
    const RWOTInfo info = c.Read();
    EXPECT_TRUE(info.Failed) << sub;
    EXPECT_EQ(info.ModsDir, "") << sub;
  }
  c.Write("paths.xml", "<root><Path>./mods/1.24.0.1/extra..dots/</Path></root>");
  EXPECT_EQ(c.Read().ModsDir, c.Dir() + "mods/1.24.0.1/extra..dots/");
}

TEST(ReadWOTInfo, ClientBelowAFolderNamedLikeTheGameFolders) {
  TempClient c("games/win64/World_of_Tanks_1.24.0");
  c.Standard({"vehicles_level_01.pkg"});
  // The root itself, a dotted folder name that is not a file extension, and its own win64.
  for (const std::string rel : {"", "win64/", "win64/WorldOfTanks.exe"}) {
    const RWOTInfo info = c.Read(rel);
    EXPECT_EQ(info.ClientDir, c.Dir()) << rel;
    EXPECT_EQ(info.Pkgs.size(), 1u) << rel;
  }
  const std::string noSlash = c.Dir().substr(0, c.Dir().size() - 1);
  RWOTInfo info;
  ReadWOTInfo(noSlash, info);
  EXPECT_EQ(info.ClientDir, c.Dir());
}

// Lesta's current clients run Tanki.exe and load .mtmod packages; paths.xml says which, in an
// older <Mask> form or a newer mask attribute, in any letter case.
TEST(ReadWOTInfo, TodaysLestaClientsTankiExeAndPackageMask) {
  TempClient c;
  c.Standard({"vehicles_level_01.pkg"}).Remove("WorldOfTanks.exe").Remove("win64/WorldOfTanks.exe").Remove("game_info.xml");
  c.Write("Tanki.exe", "MZ").Write("win64/Tanki.exe", "MZ");
  std::string paths = PathsXml({"vehicles_level_01.pkg"});
  paths.replace(paths.find("*.wotmod"), 8, "*.MTMOD");
  c.Write("paths.xml", paths);
  for (const std::string rel : {"", "win64/Tanki.exe", "win64"}) {
    const RWOTInfo info = c.Read(rel);
    EXPECT_FALSE(info.Failed);
    EXPECT_EQ(info.ClientExe, c.Dir() + "Tanki.exe") << rel;
    EXPECT_EQ(info.GameExe, c.Dir() + "win64/Tanki.exe");
    EXPECT_TRUE(info.IsLesta);  // Tanki.exe without a publisher mark
    EXPECT_EQ(info.PackageExt, ".mtmod");
    EXPECT_EQ(info.VehiclePkgs.size(), 1u);
  }
  // The older form, and no mask at all.
  c.Write("paths.xml", "<root><Paths><Path>./res_mods/1.45.0.0</Path><Packages><Root>./mods/1.45.0.0</Root>"
                       "<Mask>*.mtmod</Mask></Packages><Packages><Package>./res/packages/vehicles_level_01.pkg"
                       "</Package></Packages></Paths></root>");
  RWOTInfo info = c.Read();
  EXPECT_EQ(info.PackageExt, ".mtmod");
  EXPECT_EQ(info.ModsDir, c.Dir() + "mods/1.45.0.0/");
  c.Write("paths.xml", "<root><Paths><Path>./mods/1.45.0.0</Path></Paths></root>");
  EXPECT_EQ(c.Read().PackageExt, ".wotmod");

  // Both executables: the publisher's own name wins; without a mark, WorldOfTanks.exe.
  c.Write("WorldOfTanks.exe", "MZ").Write("win64/WorldOfTanks.exe", "MZ");
  EXPECT_EQ(c.Read().ClientExe, c.Dir() + "WorldOfTanks.exe");
  EXPECT_TRUE(c.Read().IsWargaming);
  c.Write("game_info.xml", "<protocol name=\"game_info\" wgc_publisher_id=\"lesta\">\r\n</protocol>");
  EXPECT_EQ(c.Read().ClientExe, c.Dir() + "Tanki.exe");
  // A launcher whose game is missing is still found, so the engine can say what is missing.
  c.Remove("win64/Tanki.exe").Remove("WorldOfTanks.exe").Remove("win64/WorldOfTanks.exe");
  info = c.Read();
  EXPECT_EQ(info.ClientExe, c.Dir() + "Tanki.exe");
  EXPECT_EQ(info.GameExe, "");
}

}  // namespace
}  // namespace ashtint
