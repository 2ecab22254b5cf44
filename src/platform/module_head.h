// Whether the first bytes of a file can begin a library this system loads.
#pragma once

#include <string>
#include <string_view>

namespace ashtint {

// Empty when head (the first bytes of a file, at least 4 when the file has them) can begin a
// loadable library of this system, else why not.
std::string ModuleHeadProblem(std::string_view head);

}  // namespace ashtint
