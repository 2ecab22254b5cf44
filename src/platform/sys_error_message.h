// The operating system's text for an error code.
#pragma once

#include <cstdint>
#include <string>

namespace ashtint {

// The system's text for a result code of the archive library (an HRESULT, or an errno wrapped
// in one as the library does on Linux).
std::string SysErrorMessage(std::int32_t code);

}  // namespace ashtint
