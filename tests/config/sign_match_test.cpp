#include "config/sign_match.h"

#include <gtest/gtest.h>

namespace ashtint {
namespace {

RSign Rule(TStrArray words) {
  RSign r;
  r.WordCount = static_cast<std::int32_t>(words.size());
  r.Words = std::move(words);
  return r;
}

TEST(SignMatchTest, FragmentsMatchInOrderAfterThePreviousOccurrence) {
  const RSign crash = Rule({"vehicles\\", "\\crash\\", "hull"});
  EXPECT_TRUE(SignMatches(crash, "vehicles\\american\\a01_t1_cunningham\\crash\\hull.visual_processed"));
  EXPECT_FALSE(SignMatches(crash, "vehicles\\american\\a01_t1_cunningham\\hull\\crash.visual_processed"));
  // The search goes on after the end of the previous occurrence, never inside it.
  EXPECT_FALSE(SignMatches(Rule({"ab", "b"}), "ab"));
  EXPECT_TRUE(SignMatches(Rule({"ab", "b"}), "abb"));
  EXPECT_TRUE(SignMatches(Rule({"\\crash\\"}), "x\\crash\\y")) << "one fragment: anywhere";
  EXPECT_FALSE(SignMatches(Rule({}), "anything"));
  // Only the first WordCount words count.
  RSign partial = Rule({"a", "zzz"});
  partial.WordCount = 1;
  EXPECT_TRUE(SignMatches(partial, "a"));
}

TEST(SignMatchTest, RulesAreRootPlusSignLowerCasedAndFirstMatchWins) {
  ARFiles roots;
  roots.push_back(RFiles{"Content\\Railway\\", {Rule({"Carriage", "_AM.dds"}), Rule({}), Rule({"Tender"})}, 3});
  roots.push_back(RFiles{"Vehicles\\", {Rule({"\\Camouflage\\"}), Rule({"ignored"})}, 1});
  const ARSign rules = MakeSignRules(roots);
  ASSERT_EQ(rules.size(), 3u) << "empty signs and signs past SignCount make no rule";
  EXPECT_EQ(rules[0].Words, (TStrArray{"content\\railway\\", "carriage", "_am.dds"}));
  EXPECT_EQ(rules[0].WordCount, 3);
  EXPECT_EQ(rules[1].Words, (TStrArray{"content\\railway\\", "tender"}));
  EXPECT_EQ(rules[2].Words, (TStrArray{"vehicles\\", "\\camouflage\\"}));
  EXPECT_EQ(FirstMatchingSign(rules, "content\\railway\\rw006_tender\\rw004_carriage_am.dds"), 0);
  EXPECT_EQ(FirstMatchingSign(rules, "content\\railway\\rw006_tender\\rw006_tender_am.dds"), 1);
  EXPECT_EQ(FirstMatchingSign(rules, "vehicles\\ignored\\x.dds"), -1);
  EXPECT_FALSE(AnySignMatches({}, "anything"));
}

TEST(SignMatchTest, HdTwinOnlyForNonHdTextureRules) {
  RSign twin;
  ASSERT_TRUE(MakeHdTwinSign(Rule({"content\\", "tank_01_am.dds"}), twin));
  EXPECT_EQ(twin.Words, (TStrArray{"content\\", "tank_01_am_hd.dds"}));
  ASSERT_TRUE(MakeHdTwinSign(Rule({"vehicles\\", "\\camouflage\\", ".dds"}), twin));
  EXPECT_EQ(twin.Words.back(), "_hd.dds");
  EXPECT_FALSE(MakeHdTwinSign(Rule({"content\\", "tank_01_am_hd.dds"}), twin));
  EXPECT_FALSE(MakeHdTwinSign(Rule({"content\\", "folder\\"}), twin));
  EXPECT_FALSE(MakeHdTwinSign(Rule({}), twin));
}

}  // namespace
}  // namespace ashtint
