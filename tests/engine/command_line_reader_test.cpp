#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/command_line_reader.h"
#include "engine/key_table.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

struct Reader : TCommandLineReader {
  Reader() {
    ShowErrors = false;
    DeclareEngineKeys(*this);
  }
};

}  // namespace

TEST(CommandLineReader, FlagsByNameCasePrefixesAndSlash) {
  Reader r;
  ASSERT_TRUE(r.ParseText("--LOG"));
  EXPECT_TRUE(r.KeyFlag("log"));
  EXPECT_TRUE(r.FindKey("log").Found);

  Reader twice;
  ASSERT_TRUE(twice.ParseText("--log --log"));
  EXPECT_TRUE(twice.KeyFlag("log"));  // the opposite of the default, not a toggle

  Reader off;
  ASSERT_TRUE(off.ParseText("--log --disable-log"));
  EXPECT_FALSE(off.KeyFlag("log"));

  Reader on;
  ASSERT_TRUE(on.ParseText("--Enable-log --enable-wot-path"));  // not a flag: no effect, no error
  EXPECT_TRUE(on.KeyFlag("log"));
  EXPECT_EQ(on.KeyText("wot-path"), "");
  EXPECT_FALSE(on.FindKey("wot-path").Found);

  Reader slash;
  ASSERT_TRUE(slash.ParseText("/log /test"));
  EXPECT_TRUE(slash.KeyFlag("log"));
  EXPECT_TRUE(slash.KeyFlag("TEST"));
}

TEST(CommandLineReader, ValuesQuotedPlainAndLoose) {
  Reader r;
  ASSERT_TRUE(r.ParseText("--DPT-mod=ff8800 --cct-mod 00ff00 abc --SpaceBin-mod=\"FF0000|00FF00\" --log-name='a b.log'"));
  EXPECT_EQ(r.KeyText("dpt-mod"), "ff8800");
  EXPECT_EQ(r.KeyText("CCT-mod"), "00ff00");
  EXPECT_EQ(r.KeyText("spacebin-mod"), "FF0000|00FF00");
  EXPECT_EQ(r.KeyText("log-name"), "a b.log");
  ASSERT_EQ(r.LooseValues.size(), 1u);
  EXPECT_EQ(r.LooseValues[0], "abc");

  Reader text;  // a text value with spaces, unquoted, stops at the space
  ASSERT_TRUE(text.ParseText("--log-name=my log.txt"));
  EXPECT_EQ(text.KeyText("log-name"), "my");
  EXPECT_EQ(text.LooseValues, (TStrArray{"log.txt"}));

  Reader waiting;  // after "--name= " the next plain value still belongs to the key
  ASSERT_TRUE(waiting.ParseText("--cpu-count= 4"));
  EXPECT_EQ(waiting.KeyText("cpu-count"), "4");

  Reader unclosed;
  ASSERT_TRUE(unclosed.ParseText("--log-name=\"x y"));
  EXPECT_EQ(unclosed.KeyText("log-name"), "x y");
}

TEST(CommandLineReader, DashValuesAndMissingValues) {
  Reader atEnd;
  ASSERT_TRUE(atEnd.ParseText("--log --cpu-count"));
  EXPECT_EQ(atEnd.KeyText("cpu-count"), "");
  EXPECT_TRUE(atEnd.FindKey("cpu-count").Found);

  Reader dash;  // "-1" starts a short key: ignored letters, value left at default
  ASSERT_TRUE(dash.ParseText("--cpu-count=-1"));
  EXPECT_EQ(dash.KeyText("cpu-count"), "");

  Reader quoted;
  ASSERT_TRUE(quoted.ParseText("--cpu-count=\"-1\""));
  EXPECT_EQ(quoted.KeyText("cpu-count"), "-1");

  Reader shortFlags;
  shortFlags.AddFlagKey("verbose", "", false, 'v');
  ASSERT_TRUE(shortFlags.ParseText("-xvz"));
  EXPECT_TRUE(shortFlags.KeyFlag("verbose"));
}

TEST(CommandLineReader, FailuresAndTheirReport) {
  Reader lone;
  EXPECT_FALSE(lone.ParseText("-"));
  EXPECT_FALSE(lone.Parsed);
  Reader loneMid;
  EXPECT_FALSE(loneMid.ParseText("--log - --test"));

  std::string reported;
  Reader undeclared;
  undeclared.OnError = [&](const std::string& t) { reported = t; };
  EXPECT_FALSE(undeclared.ParseText("--log --colour=1"));
  EXPECT_EQ(undeclared.FailedKeyName, "colour");
  EXPECT_EQ(reported.rfind("Parse error at this position: =1\r\n"
                           "The following command line options are valid: \r\n\r\n--silent-mode\t",
                           0),
            0u)
      << reported;

  TCommandLineReader bare;
  bare.ShowErrors = false;
  bare.OnError = [&](const std::string& t) { reported = t; };
  EXPECT_FALSE(bare.ParseText("--x"));
  EXPECT_NE(reported.find("you are not allowed to use command line options starting with -"), std::string::npos);

  TCommandLineReader ints;
  ints.ShowErrors = false;
  ints.AddKey("n", "", ckInteger, "0");
  EXPECT_FALSE(ints.ParseText("--n=12x"));
  EXPECT_TRUE(ints.ParseText("--n=\"-12\""));
  EXPECT_EQ(ints.FindKey("n").IntValue, -12);

  Reader lookups;
  EXPECT_THROW(lookups.FindKey("nope"), ECommandLineParseException);
  try {
    lookups.KeyFlag("Wot-Path");
    FAIL();
  } catch (const ECommandLineParseException& e) {
    EXPECT_STREQ(e.what(), "No flag property: Wot-Path");
  }
  try {
    lookups.FindKey("NoPe");
    FAIL();
  } catch (const ECommandLineParseException& e) {
    EXPECT_STREQ(e.what(), "Property not found: nope");
  }
}

TEST(CommandLineReader, UnquotedPathsGrowUntilAnExistingFile) {
  test_support::TempDir dir;
  const auto folder = dir.path() / "World of Tanks";
  std::filesystem::create_directories(folder / "win64");
  const auto exe = folder / "WorldOfTanks.exe";
  std::ofstream(exe) << "MZ";

  // Absolute POSIX paths begin with '/', which would open a key; these cases are about spaces.
  struct PathReader : Reader {
    PathReader() { AllowSlash = false; }
  };
  PathReader r;
  ASSERT_TRUE(r.ParseText("--wot-path=" + exe.string() + " --log"));
  EXPECT_EQ(r.KeyText("wot-path"), exe.string());
  EXPECT_TRUE(r.KeyFlag("log"));

  PathReader quoted;
  ASSERT_TRUE(quoted.ParseText("--wot-path=\"" + folder.string() + "\" --log"));
  EXPECT_EQ(quoted.KeyText("wot-path"), folder.string());

  PathReader single;
  ASSERT_TRUE(single.ParseText("--wot-path='" + folder.string() + "'"));
  EXPECT_EQ(single.KeyText("wot-path"), folder.string());

  PathReader aFolder;  // a folder is not an existing file: the rest is eaten, the parse fails silently
  EXPECT_FALSE(aFolder.ParseText("--wot-path=" + (dir.path() / "World").string()));
  PathReader folderNoSpace;
  EXPECT_FALSE(folderNoSpace.ParseText("--wot-path=" + (folder / "win64").string() + " --log"));
}

TEST(CommandLineReader, ListingAndProgramPart) {
  Reader r;
  const std::string listing = r.KeyListing("    ");
  EXPECT_EQ(listing.rfind("    --silent-mode\t\t| User key, bool value\r\n"
                          "    --auto-close-console\t| User optional key, bool value\r\n",
                          0),
            0u);
  EXPECT_NE(listing.find("    --wot-path=\t\t\t| Key is required, string value\r\n"), std::string::npos);
  EXPECT_NE(listing.find("    --dpt-mod=\t\t\t| User key, string value RRGGBB\r\n"), std::string::npos);
  EXPECT_NE(listing.find("    --log\t\t\t| Debug key, bool value\r\n"), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t p = 0; (p = listing.find("\r\n", p)) != std::string::npos; p += 2) ++lines;
  EXPECT_EQ(lines, 41u);

  TCommandLineReader s;
  s.AddFlagKey("verbose", "help", false, 'v');
  EXPECT_EQ(s.KeyListing(""), "--verbose or -v\thelp\r\n");

  EXPECT_EQ(StripProgramPart("\"C:\\A B\\x.exe\" --log"), " --log");
  EXPECT_EQ(StripProgramPart("x.exe --log --test"), "--log --test");
  EXPECT_EQ(StripProgramPart("x.exe"), "");

  Reader lazy;  // a lookup before any parse parses the process's command line
  lazy.RawCommandLine = [] { return std::string("prog --test"); };
  EXPECT_TRUE(lazy.KeyFlag("test"));
  EXPECT_TRUE(lazy.Parsed);
}
