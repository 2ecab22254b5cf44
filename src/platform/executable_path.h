// Where the running program's file is.
#pragma once

#include <string>

namespace ashtint {

// Full path of the running executable; empty when the system cannot tell.
std::string ExecutableFile();

// Its folder, ending in the native separator; empty when unknown.
std::string ExecutableFolder();

}  // namespace ashtint
