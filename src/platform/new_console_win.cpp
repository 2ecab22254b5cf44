#include <windows.h>

#include "platform/new_console.h"

namespace ashtint {

namespace {

// The window borrows the program's console for a moment; the Ctrl+C it sends there reaches the
// window too, which goes on. A handler, not the ignore flag: child processes inherit the flag.
BOOL WINAPI KeepRunning(DWORD) { return TRUE; }

}  // namespace

void UseNewConsole(unsigned long& creationFlags, void* startupInfo) {
  creationFlags = (creationFlags & ~static_cast<unsigned long>(CREATE_NO_WINDOW)) | CREATE_NEW_CONSOLE;
  if (startupInfo != nullptr) static_cast<STARTUPINFOW*>(startupInfo)->dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
}

bool InterruptConsoleProgram(long long processId) {
  static const bool guarded = SetConsoleCtrlHandler(KeepRunning, TRUE) != 0;
  if (!guarded || processId <= 0) return false;
  FreeConsole();  // a windowed program has none, but a console can be attached to only one
  if (!AttachConsole(static_cast<DWORD>(processId))) return false;
  const bool sent = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
  FreeConsole();
  return sent;
}

}  // namespace ashtint
