#include "platform/temp_folder.h"

#include <windows.h>

#include "common/text.h"

namespace ashtint {

std::string SystemTempFolder() {
  char buffer[1024];
  const DWORD n = GetTempPathA(static_cast<DWORD>(sizeof(buffer) - 1), buffer);
  if (n == 0 || n >= sizeof(buffer) - 1) return "C:\\Windows\\Temp\\";
  return IncludeTrailingPathDelimiter(std::string(buffer, n));
}

}  // namespace ashtint
