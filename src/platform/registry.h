// The system registry, read only. Windows has one; elsewhere every key reads as missing (the
// client search reads Wine's registry files itself there).
#pragma once

#include <string>

#include "common/arrays.h"

namespace ashtint {

// LocalMachine keys under "Software\Wow6432Node\" read the machine's 32-bit view.
enum class TSystemRegistryRoot { CurrentUser, ClassesRoot, LocalMachine };

// Empty when the key or value is missing; an empty name reads the key's default value.
std::string SystemRegistryString(TSystemRegistryRoot root, const std::string& key, const std::string& name);
TStrArray SystemRegistrySubKeys(TSystemRegistryRoot root, const std::string& key);

}  // namespace ashtint
