#include "platform/registry.h"

namespace ashtint {

// No system registry here: Windows game clients live in Wine prefixes, read from their files.
std::string SystemRegistryString(bool, const std::string&, const std::string&) { return {}; }
TStrArray SystemRegistrySubKeys(bool, const std::string&) { return {}; }

}  // namespace ashtint
