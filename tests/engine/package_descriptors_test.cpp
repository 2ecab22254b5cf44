#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/build_config.h"
#include "common/exceptions.h"
#include "common/text.h"
#include "engine/key_table.h"
#include "engine/package_descriptors.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

const std::string kVersion = "2.2.1.248.240313.154501";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void ExpectMeta(const RMeta& m, const std::string& id, const std::string& version, const std::string& name,
                const std::string& description) {
  EXPECT_EQ(m.MetaId, id);
  EXPECT_EQ(m.MetaVersion, version);
  EXPECT_EQ(m.MetaName, name);
  EXPECT_EQ(m.MetaDescription, description);
}

std::string Soft() { return std::string(build::ProgramVersion) + "." + build::ProgramBuild; }

}  // namespace

TEST(PackageDescriptors, MetaTextAndOverrideSplitting) {
  EXPECT_EQ(MetaXmlText(pkTankCrash, kVersion, ""),
            "<root>\r\n    <id>mod.AshtintCreator.TankCrashTextures</id>\r\n    <version>" + kVersion +
                "</version>\r\n    <name>AshtintCreator: TankCrashTextures</name>\r\n"
                "    <description>Monochromatic textures for crashed tanks</description>\r\n</root>");
  // The track description carries the Cyrillic "c" of code page 1251 as one byte.
  EXPECT_EQ(PackageMeta(pkTrackCrash, kVersion, "").MetaDescription,
            "Monochromatic textures for \xF1"
            "rashed tracks");

  // An override replaces all four fields and drops the run's version.
  ExpectMeta(PackageMeta(pkTankCrash, kVersion, "my.id|1.0|My name|My text"), "my.id", "1.0", "My name", "My text");
  ExpectMeta(PackageMeta(pkTankCrash, kVersion, "my.id"), "my.id", "", "", "");
  ExpectMeta(PackageMeta(pkCamouflages, kVersion, "a|b"), "a", "", "", "");
  ExpectMeta(PackageMeta(pkCamouflages, kVersion, "a|b|c"), "a", "b", "", "");
  ExpectMeta(PackageMeta(pkCamouflages, kVersion, "a|b|c|d|e"), "a", "b", "c", "d|e");
  ExpectMeta(PackageMeta(pkAllMods, kVersion, "|||"), "", "", "", "");
  // Every character up to the space is trimmed, bytes above 127 are not (a signed char would).
  ExpectMeta(PackageMeta(pkAllMods, kVersion, " \x01id\t| 2 |\x1F n \r\n|\n \xF1" "d\xA0 \x02"), "id", "2", "n",
             "\xF1" "d\xA0");
  EXPECT_EQ(MetaXmlText(pkAllMods, kVersion, "x<y>|v|n&m|d"),
            "<root>\r\n    <id>x<y></id>\r\n    <version>v</version>\r\n    <name>n&m</name>\r\n"
            "    <description>d</description>\r\n</root>");
}

TEST(PackageDescriptors, PropertiesPerKind) {
  RRunOptions o;
  RWOTInfo client;
  client.Version = "1.24.0.1";
  client.Build = "1234";
  o.DPTColor = "#aa0000";
  o.InsideColor = "#00BB00";
  o.RemoveShadows = true;
  const std::string head = "<root>\r\n    <game_version>1.24.0.1.1234</game_version>\r\n    <soft_version>" + Soft() +
                           "</soft_version>\r\n    <format_version>1</format_version>\r\n";
  EXPECT_EQ(PropertiesXmlText(pkTankCrash, o, client),
            head +
                "    <options>\r\n        <TankCrashTextures>\r\n            <outside_color>#aa0000</outside_color>\r\n"
                "            <inside_color>#00BB00</inside_color>\r\n            <remove_shadows>1</remove_shadows>\r\n"
                "        </TankCrashTextures>\r\n    </options>\r\n</root>");

  o.CTMColor = "#123456";
  EXPECT_EQ(PropertiesXmlText(pkTrainMap, o, client),
            head + "    <options>\r\n        <TrainMapTextures>\r\n            <color>#123456</color>\r\n"
                   "        </TrainMapTextures>\r\n    </options>\r\n</root>");

  o.TankMapColor = "";  // that side left alone: an empty element
  EXPECT_NE(PropertiesXmlText(pkSpaceBin, o, client).find("<tankmap_color></tankmap_color>\r\n"), std::string::npos);

  o.CamoVisibility = 30;
  o.DownsizingRatio = 0;
  const std::string camo = PropertiesXmlText(pkCamouflages, o, client);
  EXPECT_NE(camo.find("            <visibility>30</visibility>\r\n            <downsizing_ratio>1</downsizing_ratio>\r\n"),
            std::string::npos);
  o.DownsizingRatio = 4;
  EXPECT_NE(PropertiesXmlText(pkCamouflages, o, client).find("<downsizing_ratio>4</downsizing_ratio>"),
            std::string::npos);

  // All-in-one: the switched-on stages' inner lines in stage order inside one options element.
  o.CAMOMod = true;
  o.DPTMod = true;
  const std::string all = PropertiesXmlText(pkAllMods, o, client);
  const std::string tank = PropertiesXmlText(pkTankCrash, o, client);
  const std::string camoNow = PropertiesXmlText(pkCamouflages, o, client);
  const auto inner = [&](const std::string& text) {
    const std::string open = "    <options>\r\n", close = "\r\n    </options>";
    const auto b = text.find(open) + open.size();
    return text.substr(b, text.find(close) - b);
  };
  EXPECT_EQ(all, head + "    <options>\r\n" + inner(tank) + "\r\n" + inner(camoNow) + "\r\n    </options>\r\n</root>");
  o.DPTMod = o.CAMOMod = false;
  EXPECT_EQ(PropertiesXmlText(pkAllMods, o, client), head + "    <options>\r\n    </options>\r\n</root>");
}

TEST(PackageDescriptors, FileNamesKeysAndSubfolder) {
  const std::string d(1, PathDelim);
  RRunOptions o;
  RPackageKeys keys;
  EXPECT_EQ(PackageVersion("240313.154501"), Soft() + ".240313.154501");
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys),
            "mod.AshtintCreator.TankCrashTextures_2.2.1.248.240313.154501.wotmod");
  EXPECT_EQ(PackageFileName(pkAllMods, "v", o, keys, ".mtmod"), "mod.AshtintCreator.AllMods_v.mtmod");

  TCommandLineReader reader;
  reader.ShowErrors = false;
  DeclareEngineKeys(reader);
  ASSERT_TRUE(reader.ParseText("--DPT-wotmod-name=crash --allinone-wotmod-meta=\"x | y\" --CAMO-wotmod-meta=c "
                               "--subfolder-wotmod-name=Mods\\\\\\"));
  keys = ReadPackageKeys(reader);
  EXPECT_EQ(keys.Names[pkTankCrash], "crash");
  EXPECT_EQ(keys.Metas[pkAllMods], "x | y");
  EXPECT_EQ(keys.Metas[pkCamouflages], "c");
  EXPECT_EQ(keys.Names[pkCamouflages], "");
  EXPECT_EQ(keys.Subfolder, "Mods\\\\\\");

  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "crash.wotmod");  // subfolder switch off
  o.SubfolderWotmod = true;
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "Mods" + d + "crash.wotmod");
  keys.Subfolder = "Mine" + d + d;
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "Mine" + d + "crash.wotmod");
  keys.Subfolder = "";
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "AshtintCreator" + d + "crash.wotmod");
  keys.Subfolder = "\\";  // nothing left of it: the default folder, never the root
  EXPECT_EQ(PackageFileName(pkSpaceBin, "v", o, keys), "AshtintCreator" + d + "mod.AshtintCreator.SpaceBinPatched_v.wotmod");
}

TEST(PackageDescriptors, DescriptorFileLinesEndInCrLf) {
  test_support::TempDir dir;
  const std::string file = dir / "meta.xml";
  std::ofstream(file, std::ios::binary) << "old content that is longer than the new one";
  WriteDescriptorFile(file, "<root>\r\n\r\n  \xF1\r\n</root>");
  EXPECT_EQ(Slurp(file), "<root>\r\n\r\n  \xF1\r\n</root>\r\n");
  WriteDescriptorFile(file, "one\r\n");  // a closing line end is not doubled
  EXPECT_EQ(Slurp(file), "one\r\n");
  WriteDescriptorFile(file, MetaXmlText(pkTrackCrash, kVersion, ""));
  const std::string meta = Slurp(file);
  EXPECT_EQ(meta.substr(0, 8), "<root>\r\n");  // no byte order mark
  EXPECT_EQ(meta.substr(meta.size() - 9), "</root>\r\n");

  EXPECT_THROW(WriteDescriptorFile(dir / "missing/meta.xml", "x"), EInOutError);
  EXPECT_THROW(WriteDescriptorFile(file, ""), EInOutError);
  EXPECT_EQ(Slurp(file), meta);  // a refused write keeps the old file
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);  // no temporary file left beside it
}
