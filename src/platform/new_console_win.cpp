#include <windows.h>

#include "platform/new_console.h"

namespace ashtint {

void UseNewConsole(unsigned long& creationFlags, void* startupInfo) {
  creationFlags = (creationFlags & ~static_cast<unsigned long>(CREATE_NO_WINDOW)) | CREATE_NEW_CONSOLE;
  if (startupInfo != nullptr) static_cast<STARTUPINFOW*>(startupInfo)->dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
}

}  // namespace ashtint
