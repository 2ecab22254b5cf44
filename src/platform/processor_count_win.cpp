#include "platform/processor_count.h"

#include <windows.h>

namespace ashtint {

// The registry lists one subkey per logical processor, across all processor groups.
unsigned LogicalProcessorCount() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Hardware\\Description\\System\\CentralProcessor", 0, KEY_READ,
                    &key) != ERROR_SUCCESS)
    return 0;
  DWORD subKeys = 0;
  const LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? static_cast<unsigned>(subKeys) : 0u;
}

}  // namespace ashtint
