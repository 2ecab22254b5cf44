#include "platform/registry.h"

namespace ashtint {

// No system registry here: Windows game clients live in Wine prefixes, read from their files.
std::string SystemRegistryString(TSystemRegistryRoot, const std::string&, const std::string&) { return {}; }
TStrArray SystemRegistrySubKeys(TSystemRegistryRoot, const std::string&) { return {}; }

}  // namespace ashtint
