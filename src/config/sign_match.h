// Selection rules built from configuration roots and matched against item paths of the game
// packages. Used by every scanning worker.
#pragma once

#include <string_view>

#include "config/cfg_file.h"

namespace ashtint {

// One rule per sign with at least one fragment: the root's name followed by the sign's
// fragments, all lower-cased (WordCount = the sign's WordCount + 1). Rules keep file order.
ARSign MakeSignRules(const ARFiles& roots);

// Whether a rule's fragments all occur in lowerPath in order: each one is searched in the text
// that follows the end of the previous one's occurrence. A rule of one fragment matches when it
// occurs anywhere; a rule without fragments never matches. The path must already be lower-case.
bool SignMatches(const RSign& rule, std::string_view lowerPath);

// The same test for the first count words of a list.
bool WordsMatch(const TStrArray& words, std::int32_t count, std::string_view lowerPath);

// Whether any rule matches; rules are tried in order.
bool AnySignMatches(const ARSign& rules, std::string_view lowerPath);

// Index of the first matching rule, or -1.
int FirstMatchingSign(const ARSign& rules, std::string_view lowerPath);

// Whether the rule's last word names a texture (contains ".dds") that is not an HD texture
// (no "_hd.dds"); then twin = the rule with that word's extension replaced by "_hd.dds", so that
// a rule for tank_01_am.dds also has one for tank_01_am_hd.dds.
bool MakeHdTwinSign(const RSign& rule, RSign& twin);

// Whether a lower-cased item path names an HD texture ("_hd.dds" in it).
bool IsHDTexture(std::string_view lowerPath);

}  // namespace ashtint
