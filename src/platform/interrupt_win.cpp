#include <windows.h>

#include <utility>

#include "platform/interrupt.h"

namespace ashtint {

namespace {

std::function<void(int)>& Handler() {
  static std::function<void(int)> handler;
  return handler;
}

// Windows already runs console control handlers on a thread of their own.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (Handler()) Handler()(static_cast<int>(event));
  return TRUE;
}

}  // namespace

void WatchInterrupts(std::function<void(int)> handler) {
  Handler() = std::move(handler);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

}  // namespace ashtint
