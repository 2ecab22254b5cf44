#include <windows.h>

#include "platform/command_line.h"

namespace ashtint {

void InitCommandLine(int, const char* const*) {}

std::string RawCommandLine() {
  const char* text = GetCommandLineA();
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace ashtint
