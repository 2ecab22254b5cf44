// The system's folder for temporary files.
#pragma once

#include <string>

namespace ashtint {

// Always ends in the native separator.
std::string SystemTempFolder();

}  // namespace ashtint
