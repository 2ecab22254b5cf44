#include <windows.h>
#include <objbase.h>

#include <system_error>

#include "platform/guid.h"

namespace ashtint {

std::string NewGuidText() {
  GUID g{};
  const HRESULT hr = CoCreateGuid(&g);
  if (FAILED(hr)) throw std::system_error(static_cast<int>(hr), std::system_category(), "CoCreateGuid");
  // Printed as the registry prints it: Data1..Data3 as numbers, Data4 byte by byte.
  std::array<std::uint8_t, 16> bytes{};
  bytes[0] = static_cast<std::uint8_t>(g.Data1 >> 24);
  bytes[1] = static_cast<std::uint8_t>(g.Data1 >> 16);
  bytes[2] = static_cast<std::uint8_t>(g.Data1 >> 8);
  bytes[3] = static_cast<std::uint8_t>(g.Data1);
  bytes[4] = static_cast<std::uint8_t>(g.Data2 >> 8);
  bytes[5] = static_cast<std::uint8_t>(g.Data2);
  bytes[6] = static_cast<std::uint8_t>(g.Data3 >> 8);
  bytes[7] = static_cast<std::uint8_t>(g.Data3);
  for (int i = 0; i < 8; ++i) bytes[8 + i] = g.Data4[i];
  return GuidBytesToText(bytes);
}

}  // namespace ashtint
