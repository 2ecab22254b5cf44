// The system registry, read only. Windows has one; elsewhere every key reads as missing (the
// client search reads Wine's registry files itself there).
#pragma once

#include <string>

#include "common/arrays.h"

namespace ashtint {

// classesRoot: HKEY_CLASSES_ROOT, else HKEY_CURRENT_USER. Empty when the key or value is missing.
std::string SystemRegistryString(bool classesRoot, const std::string& key, const std::string& name);
TStrArray SystemRegistrySubKeys(bool classesRoot, const std::string& key);

}  // namespace ashtint
