#include <windows.h>

#include <cstdio>

#include "platform/sys_error_message.h"

namespace ashtint {

std::string SysErrorMessage(std::int32_t code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string r = n ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!r.empty() && (r.back() == '\r' || r.back() == '\n' || r.back() == ' ')) r.pop_back();
  if (r.empty()) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "System error. Code: %lu.", static_cast<unsigned long>(static_cast<DWORD>(code)));
    r = buf;
  }
  return r;
}

}  // namespace ashtint
