#include <fstream>
#include <iterator>
#include <mutex>

#include "platform/command_line.h"

namespace ashtint {

namespace {

std::mutex& CommandLineMutex() {
  static std::mutex m;
  return m;
}

std::vector<std::string>& SavedArgs() {
  static std::vector<std::string> args;
  return args;
}

bool& Initialised() {
  static bool done = false;
  return done;
}

std::vector<std::string> ArgsFromProc() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.emplace_back(all.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

}  // namespace

void InitCommandLine(int argc, const char* const* argv) {
  std::lock_guard lock(CommandLineMutex());
  SavedArgs().clear();
  for (int i = 0; i < argc && argv != nullptr; ++i) SavedArgs().emplace_back(argv[i] ? argv[i] : "");
  Initialised() = true;
}

std::string RawCommandLine() {
  std::lock_guard lock(CommandLineMutex());
  return JoinCommandLine(Initialised() ? SavedArgs() : ArgsFromProc());
}

}  // namespace ashtint
