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

std::string Soft() { return std::string(build::ProgramVersion) + "." + build::ProgramBuild; }

}  // namespace

TEST(PackageDescriptors, MetaTextAndOverrideSplitting) {
  EXPECT_EQ(MetaXmlText(pkTankCrash, kVersion, ""),
            "<root>\r\n    <id>mod.AshtintCreator.TankCrashTextures</id>\r\n    <version>" + kVersion +
                "</version>\r\n    <name>AshtintCreator: TankCrashTextures</name>\r\n"
                "    <description>Monochromatic textures for crashed tanks</description>\r\n</root>");
  // The "c" of the track description is the one-byte Cyrillic letter of code page 1251.
  EXPECT_NE(MetaXmlText(pkTrackCrash, kVersion, "").find("<description>Monochromatic textures for \xF1" "rashed tracks<"),
            std::string::npos);

  // An override fills the fields from the left and never takes the run's version; everything up
  // to the space is trimmed, bytes above 127 are not (a signed char would be).
  const struct {
    const char* override;
    RMeta meta;
  } cases[] = {
      {"my.id|1.0|My name|My text", {"my.id", "1.0", "My name", "My text"}},
      {"my.id", {"my.id", "", "", ""}},
      {"a|b", {"a", "", "", ""}},
      {"a|b|c", {"a", "b", "", ""}},
      {"a|b|c|d|e", {"a", "b", "c", "d|e"}},
      {" \x01id\t| 2 |\x1F n \r\n|\n \xF1" "d\xA0 \x02", {"id", "2", "n", "\xF1" "d\xA0"}},
  };
  for (const auto& c : cases) {
    const RMeta m = PackageMeta(pkCamouflages, kVersion, c.override);
    EXPECT_EQ(m.MetaId + "/" + m.MetaVersion + "/" + m.MetaName + "/" + m.MetaDescription,
              c.meta.MetaId + "/" + c.meta.MetaVersion + "/" + c.meta.MetaName + "/" + c.meta.MetaDescription)
        << c.override;
  }
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
                           "</soft_version>\r\n    <format_version>1</format_version>\r\n    <options>\r\n";
  const std::string tankLines =
      "        <TankCrashTextures>\r\n            <outside_color>#aa0000</outside_color>\r\n"
      "            <inside_color>#00BB00</inside_color>\r\n            <remove_shadows>1</remove_shadows>\r\n"
      "        </TankCrashTextures>\r\n";
  const std::string camoLines =
      "        <Camouflages>\r\n            <visibility>30</visibility>\r\n"
      "            <downsizing_ratio>1</downsizing_ratio>\r\n        </Camouflages>\r\n";
  const std::string tail = "    </options>\r\n</root>";
  EXPECT_EQ(PropertiesXmlText(pkTankCrash, o, client), head + tankLines + tail);
  EXPECT_EQ(PropertiesXmlText(pkCamouflages, o, client), head + camoLines + tail);  // no ratio given: 1

  // All-in-one: the inner lines of the switched-on stages, in stage order, in one element.
  EXPECT_EQ(PropertiesXmlText(pkAllMods, o, client), head + tail);
  o.CAMOMod = o.DPTMod = true;
  EXPECT_EQ(PropertiesXmlText(pkAllMods, o, client), head + tankLines + camoLines + tail);

  o.DownsizingRatio = 4;
  EXPECT_NE(PropertiesXmlText(pkCamouflages, o, client).find("<downsizing_ratio>4</downsizing_ratio>"), std::string::npos);
}

TEST(PackageDescriptors, FileNamesKeysAndSubfolder) {
  const std::string d(1, PathDelim);
  RRunOptions o;
  EXPECT_EQ(PackageVersion("240313.154501"), Soft() + ".240313.154501");
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, {}),
            "mod.AshtintCreator.TankCrashTextures_2.2.1.248.240313.154501.wotmod");
  EXPECT_EQ(PackageFileName(pkAllMods, "v", o, {}, ".mtmod"), "mod.AshtintCreator.AllMods_v.mtmod");

  TCommandLineReader reader;
  reader.ShowErrors = false;
  DeclareEngineKeys(reader);
  ASSERT_TRUE(reader.ParseText("--DPT-wotmod-name=crash --allinone-wotmod-meta=\"x | y\" --subfolder-wotmod-name=Mods\\\\\\"));
  RPackageKeys keys = ReadPackageKeys(reader);
  EXPECT_EQ(keys.Metas[pkAllMods], "x | y");
  EXPECT_EQ(keys.Names[pkCamouflages], "");
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "crash.wotmod");  // subfolder switch off
  o.SubfolderWotmod = true;
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "Mods" + d + "crash.wotmod");
  keys.Subfolder = "Mine" + d + d;
  EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "Mine" + d + "crash.wotmod");
  for (const char* nothing : {"", "\\"}) {  // nothing left of it: the default folder, never the root
    keys.Subfolder = nothing;
    EXPECT_EQ(PackageFileName(pkTankCrash, kVersion, o, keys), "AshtintCreator" + d + "crash.wotmod");
  }
}

TEST(PackageDescriptors, DescriptorFileLinesEndInCrLf) {
  test_support::TempDir dir;
  const std::string file = dir / "meta.xml";
  std::ofstream(file, std::ios::binary) << "old content that is longer than the new one";
  WriteDescriptorFile(file, "<root>\r\n\r\n  \xF1\r\n</root>");
  EXPECT_EQ(Slurp(file), "<root>\r\n\r\n  \xF1\r\n</root>\r\n");
  WriteDescriptorFile(file, "one\r\n");  // a closing line end is not doubled
  EXPECT_EQ(Slurp(file), "one\r\n");

  EXPECT_THROW(WriteDescriptorFile(dir / "missing/meta.xml", "x"), EInOutError);
  EXPECT_THROW(WriteDescriptorFile(file, ""), EInOutError);
  EXPECT_EQ(Slurp(file), "one\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()),
            1);  // no temporary file
}
