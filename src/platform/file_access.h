// Questions about access rights that only the system can answer.
#pragma once

#include <string>

namespace ashtint {

// Whether this process may create files in the folder.
bool IsFolderWritable(const std::string& folder);

}  // namespace ashtint
