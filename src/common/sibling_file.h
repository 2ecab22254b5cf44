// Writing a file safely: the new content goes into a file beside the target, which then replaces
// the target in one rename, so readers never see a half-written file and a failure loses nothing.
#pragma once

#include <optional>
#include <string>
#include <system_error>

namespace ashtint {

// A new name in the target's folder that no other writer uses: target + ".~" + random + ".tmp",
// or, once the run has a tag, target + ".~" + tag + "-" + random + ".tmp".
std::string SiblingTempName(const std::string& target);

// The process's run tag for its temporary names, so a later run can tell whether the run that
// left such a file still lives (empty: no tag).
void SetSiblingTempTag(const std::string& tag);

// The run tag inside a temporary name made by SiblingTempName for target ("" when untagged),
// or nullopt when name is not such a name of target.
std::optional<std::string> SiblingTempTagOf(const std::string& name, const std::string& target);

// Moves the finished temporary file over the target, replacing it. On failure the temporary
// file is removed, the target stays as it was and ec tells why.
bool ReplaceFileWith(const std::string& tempFile, const std::string& target, std::error_code& ec);

}  // namespace ashtint
