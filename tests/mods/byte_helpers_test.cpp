// The in-place rewrites on model bytes: what they find, what they leave, and where they refuse.
#include <gtest/gtest.h>

#include <string>

#include "common/exceptions.h"
#include "mods/byte_helpers.h"

namespace ashtint {
namespace {

TBytesArray Bytes(const std::string& s) { return TBytesArray(s.begin(), s.end()); }
std::string Text(const TBytesArray& b) { return std::string(b.begin(), b.end()); }

// A property string as the model files hold it: a 32-bit length (type bits on top), then name and path.
std::string Property(const std::string& name, const std::string& path) {
  const std::uint32_t v = 0x10000000u | static_cast<std::uint32_t>(name.size() + path.size());
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s + name + path;
}

TEST(ReplaceBytes, ShaderSwapPadsKeepsLengthAndMissesTheLastTwoBytes) {
  const std::string crash = "shaders/std_effects/PBS_tank_crash.fx", tank = "shaders/std_effects/PBS_tank.fx";
  TBytesArray data = Bytes("ab" + crash + "cd" + crash + "xy");
  const std::size_t size = data.size();
  EXPECT_TRUE(ReplaceText(data, crash, tank, true, true));
  EXPECT_EQ(data.size(), size);
  EXPECT_EQ(Text(data), "ab" + tank + std::string(6, '\0') + "cd" + tank + std::string(6, '\0') + "xy");

  data = Bytes("ab" + crash + "cd" + crash + "xy");
  EXPECT_TRUE(ReplaceText(data, crash, tank, true, false));  // only the first one
  EXPECT_EQ(Text(data), "ab" + tank + std::string(6, '\0') + "cd" + crash + "xy");

  TBytesArray tail = Bytes("ab" + crash);  // ends exactly at the last byte: not found
  EXPECT_FALSE(ReplaceText(tail, crash, tank, true, true));
  TBytesArray oneMore = Bytes("ab" + crash + "z");  // still within the last two bytes
  EXPECT_FALSE(ReplaceText(oneMore, crash, tank, true, true));
  TBytesArray twoMore = Bytes("ab" + crash + "zz");
  EXPECT_TRUE(ReplaceText(twoMore, crash, tank, true, true));

  TBytesArray d = Bytes("abcdefgh");
  EXPECT_THROW(ReplaceText(d, "ab", "xy", true, true), ERangeError);
  TBytesArray empty;
  EXPECT_FALSE(ReplaceText(empty, crash, tank, true, true));
  TBytesArray nearEnd = Bytes("xxabc123");  // a longer replacement that would run past the end
  EXPECT_THROW(ReplaceText(nearEnd, "abc", "abcdefghijk", false, true), ERangeError);
}

TEST(ReplaceTexturePaths, RewritesFiltersCutsAndRefuses) {
  const TStrArray names{"diffuseMap"}, none, inside{"_inside"};
  // The documented example: 69 bytes become the new path and 36 zero bytes.
  const std::string old = "vehicles/german/Tanks/G04_PzVI_Tiger_I/crash/hull_01_AM.dds";
  TBytesArray data = Bytes("head" + Property("diffuseMap", old) + "tail");
  EXPECT_TRUE(ReplaceTexturePaths(data, names, "vehicles/tank_crash.dds", none, inside, none, inside));
  EXPECT_EQ(Text(data), "head" + Property("diffuseMap", old).substr(0, 4) + "diffuseMapvehicles/tank_crash.dds" +
                            std::string(36, '\0') + "tail");

  // Exclusion by file name (any letter case) and by folder; inclusion picks only the inside one.
  const std::string in1 = "vehicles/x/Tank_Inside_01_AM.dds", in2 = "vehicles/x_inside/a_AM.dds";
  const std::string outer = "vehicles/x/turret_01_AM.dds";
  const std::string model = "0000" + Property("diffuseMap", in1) + Property("diffuseMap", in2) +
                            Property("diffuseMap", outer) + "zz";
  data = Bytes(model);
  EXPECT_TRUE(ReplaceTexturePaths(data, names, "vehicles/tank_crash.dds", none, inside, none, inside));
  EXPECT_NE(Text(data).find("vehicles/x/Tank_Inside_01_AM.dds"), std::string::npos);
  EXPECT_NE(Text(data).find("vehicles/x_inside/a_AM.dds"), std::string::npos);
  EXPECT_EQ(Text(data).find(outer), std::string::npos);
  data = Bytes(model);
  EXPECT_TRUE(ReplaceTexturePaths(data, names, "vehicles/inside_crash.dds", inside, none, none, none));
  EXPECT_EQ(Text(data).find(in1), std::string::npos);
  EXPECT_NE(Text(data).find(in2), std::string::npos);  // its file name has no "_inside"

  // A new path longer than the old string is cut at the old length.
  data = Bytes("0000" + Property("diffuseMap", "a/b.dds") + "zz");
  EXPECT_TRUE(ReplaceTexturePaths(data, names, "vehicles/tank_crash.dds", none, none, none, none));
  EXPECT_EQ(Text(data), "0000" + Property("diffuseMap", "a/b.dds").substr(0, 4) + "diffuseMapvehicle" + "zz");

  // A path of 256 bytes or more wraps the length byte: the whole length is taken, so no piece
  // of the old path survives behind the new one.
  const std::string longPath = "vehicles/" + std::string(250, 'n') + "/hull_AM.dds";
  data = Bytes("0000" + Property("diffuseMap", longPath) + "zz");
  EXPECT_TRUE(ReplaceTexturePaths(data, names, "vehicles/tank_crash.dds", none, none, none, none));
  EXPECT_EQ(Text(data).substr(8), "diffuseMapvehicles/tank_crash.dds" +
                                      std::string(10 + longPath.size() - 33, '\0') + "zz");

  TBytesArray early = Bytes("\x05" "diffuseMap.........");
  EXPECT_THROW(ReplaceTexturePaths(early, names, "v/t.dds", none, none, none, none), ERangeError);
  TBytesArray pastEnd = Bytes(std::string("\xF0\0\0\0", 4) + "diffuseMap/a.dds....");
  EXPECT_THROW(ReplaceTexturePaths(pastEnd, names, "v/t.dds", none, none, none, none), ERangeError);
  TBytesArray shortName = Bytes("0000diffuseMap");
  EXPECT_THROW(ReplaceTexturePaths(shortName, TStrArray{"d"}, "v/t.dds", none, none, none, none), ERangeError);
  // A zero length must not hold the scan in place.
  TBytesArray zero = Bytes(std::string(4, '\0') + "diffuseMap" + "..........");
  EXPECT_TRUE(ReplaceTexturePaths(zero, names, "v/t.dds", none, none, none, none));
}

TEST(SearchLists, Base64AndContainsAny) {
  EXPECT_EQ(Text(Base64ToBytes("QUJD")), "ABC");
  EXPECT_TRUE(Base64ToBytes("diffuseMap").empty());  // 10 characters
  EXPECT_EQ(MakeSearchList({"diffuseMap"}), TStrArray{"diffuseMap"});
  EXPECT_EQ(MakeSearchList({"QUJD", ""}), (TStrArray{"QUJD", "ABC"}));
  EXPECT_EQ(MakeStrArray({"", "a", "", "b"}), (TStrArray{"a", "b"}));
  EXPECT_TRUE(ContainsAny({"_Inside"}, "Tank_inside_01.dds"));
  EXPECT_FALSE(ContainsAny({"_inside"}, ""));
  EXPECT_FALSE(ContainsAny({}, "x_inside"));
}

}  // namespace
}  // namespace ashtint
