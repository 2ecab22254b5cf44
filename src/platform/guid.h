// Globally unique identifiers in the registry's text form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ashtint {

// A new identifier as "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": 38 characters, upper-case hex.
// Throws std::system_error when the system gives no random bytes.
std::string NewGuidText();

// The text form of 16 bytes in the order they are printed.
std::string GuidBytesToText(const std::array<std::uint8_t, 16>& bytes);

}  // namespace ashtint
