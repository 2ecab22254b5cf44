#include <gtest/gtest.h>

#include "common/color_text.h"
#include "common/exit_codes.h"
#include "common/text.h"

using namespace ashtint;

TEST(ParseColor, TakesSixHexDigitsKeepingCase) {
  EXPECT_EQ(ParseColor("ff8800"), "#ff8800");
  EXPECT_EQ(ParseColor("#AbCdEf"), "#AbCdEf");
  EXPECT_EQ(ParseColor(" 12-34_56 "), "#123456");       // other characters are skipped
  EXPECT_EQ(ParseColor("1234567890"), "#123456");       // later digits ignored
  EXPECT_EQ(ParseColor("GG00ff11zz22"), "#00ff11");     // G and z are not hex digits
}

TEST(ParseColor, FallsBackToWhiteWhenShort) {
  EXPECT_EQ(ParseColor(""), "#FFFFFF");
  EXPECT_EQ(ParseColor("12"), "#FFFFFF");
  EXPECT_EQ(ParseColor("12345"), "#FFFFFF");
  EXPECT_EQ(ParseColor("xyzxyzxyz"), "#FFFFFF");
}

TEST(ExitCodes, TableTextsAndGaps) {
  EXPECT_EQ(ExitCodeTexts().size(), 100u);
  EXPECT_EQ(ExitCodeText(16001), "The required \"wot-path\" key is not specified");
  EXPECT_EQ(ExitCodeText(16004),
            "There are no pkg-files in the game folder \"res\\packages\\\" or the folder itself");
  for (int code : {16011, 16021, 16031, 16041, 16051, 16061})
    EXPECT_EQ(ExitCodeText(code), "Error when processing one of the pkg-archives") << code;
  for (int code : {16013, 16023, 16033, 16043, 16053, 16063})
    EXPECT_EQ(ExitCodeText(code), "Error creating wotmod-package") << code;
  EXPECT_EQ(ExitCodeText(16012), "Model visual-files not found");
  EXPECT_EQ(ExitCodeText(16062), "Texture dds-files not found");
  EXPECT_EQ(ExitCodeText(16052), "Map space.bin-files not found");
  EXPECT_EQ(ExitCodeText(16092), "Error when creating a single wotmod-package");
  EXPECT_EQ(ExitCodeText(16000), "");
  EXPECT_EQ(ExitCodeText(16014), "");
  EXPECT_EQ(ExitCodeText(16099), "");
  EXPECT_EQ(ExitCodeText(16100), "");
  EXPECT_EQ(ExitCodeText(0), "");
  EXPECT_EQ(StageExitCode(5, StageErrorNoFiles), 16052);
}

TEST(ExitCodes, LowByteRoundTripOnEveryEngineCode) {
  for (int code = ExitCodeFirst; code <= ExitCodeLast; ++code) {
    const int status = code & 0xFF;
    EXPECT_GE(status, 129);
    EXPECT_LE(status, 220);
    EXPECT_EQ(FromProcessExitStatus(status), code);
  }
  EXPECT_EQ(FromProcessExitStatus(0), 0);
  EXPECT_EQ(FromProcessExitStatus(1), 1);
  EXPECT_EQ(FromProcessExitStatus(128), 128);
  EXPECT_EQ(FromProcessExitStatus(221), 221);
#ifndef _WIN32
  EXPECT_EQ(ToProcessExitStatus(16001), 129);
  EXPECT_EQ(ToProcessExitStatus(0), 0);
#endif
}

TEST(TextHelpers, CaseAndPaths) {
  EXPECT_EQ(LowerCase("DPT-Mod"), "dpt-mod");
  EXPECT_TRUE(SameText("Wot-Path", "wot-path"));
  EXPECT_FALSE(SameText("wot-path", "wot-pat"));
  EXPECT_TRUE(StartsText("ENABLE-", "enable-log"));
  EXPECT_TRUE(EndsText(".DLL", "7z.dll"));
  EXPECT_EQ(Trim(" \t v.1.24 #1\r\n"), "v.1.24 #1");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
  const std::string d(1, PathDelim);
  EXPECT_EQ(IncludeTrailingPathDelimiter("a"), "a" + d);
  EXPECT_EQ(IncludeTrailingPathDelimiter("a" + d), "a" + d);
  EXPECT_EQ(ExtractFilePath("x" + d + "y" + d + "f.log"), "x" + d + "y" + d);
  EXPECT_EQ(ExtractFileName("x" + d + "f.log"), "f.log");
  EXPECT_EQ(ExtractFileExt("x" + d + "a.b" + d + "f"), "");
  EXPECT_EQ(ExtractFileExt("lib.DLL"), ".DLL");
  EXPECT_EQ(ItemPathToNative("vehicles\\german\\x.dds"),
            "vehicles" + d + "german" + d + "x.dds");
}
