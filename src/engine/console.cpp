#include "engine/console.h"

#include <cstdio>
#include <iostream>

namespace ashtint {

namespace {
bool g_silent = false;
}

void SetConsoleSilent(bool silent) { g_silent = silent; }
bool ConsoleSilent() { return g_silent; }

void ConsoleWrite(const std::string& text) {
  if (g_silent) return;
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void ConsoleWriteLn(const std::string& text) { ConsoleWrite(text + "\r\n"); }

std::string ConsoleReadLn() {
  if (g_silent) return {};
  std::string line;
  if (!std::getline(std::cin, line)) {
    std::cin.clear();
    return {};
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace ashtint
