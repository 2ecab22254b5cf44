#include <windows.h>

#include "platform/new_console.h"

namespace ashtint {

void UseNewConsole(unsigned long& creationFlags, unsigned long& startupFlags) {
  creationFlags = (creationFlags & ~static_cast<unsigned long>(CREATE_NO_WINDOW)) | CREATE_NEW_CONSOLE;
  startupFlags &= ~static_cast<unsigned long>(STARTF_USESTDHANDLES);
}

}  // namespace ashtint
