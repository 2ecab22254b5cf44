#include <gtest/gtest.h>

#include <regex>

#include "engine/run_options.h"

using namespace ashtint;

TEST(RunOptionRules, CamoVisibilityReadsTruncatesAndClamps) {
  EXPECT_EQ(ResolveCamoVisibility("55", '.'), 55);
  EXPECT_EQ(ResolveCamoVisibility("150", '.'), 100);
  EXPECT_EQ(ResolveCamoVisibility("-5", '.'), 0);
  EXPECT_EQ(ResolveCamoVisibility("abc", '.'), 30);
  EXPECT_EQ(ResolveCamoVisibility("", '.'), 30);
  EXPECT_EQ(ResolveCamoVisibility("55.9", '.'), 55);   // cut off, not rounded
  EXPECT_EQ(ResolveCamoVisibility("55,9", ','), 55);   // the locale's separator
  EXPECT_EQ(ResolveCamoVisibility("55,9", '.'), 30);   // another separator is no number
  EXPECT_EQ(ResolveCamoVisibility("-0.5", '.'), 0);
  EXPECT_EQ(ResolveCamoVisibility("1e1", '.'), 10);
  EXPECT_EQ(ResolveCamoVisibility("0x20", '.'), 30);
  EXPECT_EQ(ResolveCamoVisibility("inf", '.'), 30);
  // Far beyond 32 bits: clamped, never wrapped into a negative or arbitrary value.
  EXPECT_EQ(ResolveCamoVisibility("99999999999999999999", '.'), 100);
  EXPECT_EQ(ResolveCamoVisibility("1e400", '.'), 100);
  EXPECT_EQ(ResolveCamoVisibility("-99999999999999999999", '.'), 0);
}

TEST(RunOptionRules, CpuCountAndDownsizing) {
  EXPECT_EQ(ResolveCpuCount("0"), 1);
  EXPECT_EQ(ResolveCpuCount("99"), 50);
  EXPECT_EQ(ResolveCpuCount("x"), 1);
  EXPECT_EQ(ResolveCpuCount("-3"), 1);
  EXPECT_EQ(ResolveCpuCount("7"), 7);
  EXPECT_EQ(ResolveCpuCount("50"), 50);
  EXPECT_EQ(ResolveCpuCount("99999999999"), 1);  // not a 32-bit integer
  EXPECT_EQ(ResolveCpuCount("4 "), 1);

  EXPECT_EQ(ResolveDownsizingRatio("2"), 2);
  EXPECT_EQ(ResolveDownsizingRatio("4"), 4);
  EXPECT_EQ(ResolveDownsizingRatio("8"), 8);
  EXPECT_EQ(ResolveDownsizingRatio("3"), 0);
  EXPECT_EQ(ResolveDownsizingRatio("08"), 0);
  EXPECT_EQ(ResolveDownsizingRatio(""), 0);
}

TEST(RunOptionRules, RunStampShape) {
  EXPECT_TRUE(std::regex_match(MakeRunStamp(), std::regex(R"(\d{6}\.\d{6})")));
}
