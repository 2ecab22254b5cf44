#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/console.h"

namespace ashtint {

// Linux has no console to leave; pointing the three standard streams at /dev/null is the
// nearest equivalent and keeps later writes harmless.
void DetachConsole() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  const int fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  if (fd < 0) return;
  ::dup2(fd, STDIN_FILENO);
  ::dup2(fd, STDOUT_FILENO);
  ::dup2(fd, STDERR_FILENO);
  if (fd > STDERR_FILENO) ::close(fd);
  std::clearerr(stdin);
}

void KeepRunningWhenOutputCloses() { ::signal(SIGPIPE, SIG_IGN); }

// POSIX streams never change line ends.
void WriteOutputUnchanged() {}

bool StdoutIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

void ShowMessageBox(const std::string& caption, const std::string& text, TMessageIcon icon) {
  const char* kind = icon == TMessageIcon::Error ? "error" : icon == TMessageIcon::Warning ? "warning" : "";
  std::cout.flush();
  std::string out = caption;
  if (*kind != '\0') out += std::string(" (") + kind + ")";
  out += ":\n" + text + "\n";
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

bool AskYesNo(const std::string& caption, const std::string& text) {
  std::cerr.flush();
  const std::string out = caption + ":\n" + text + "\n[Press Y/N and ENTER] ";
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  std::string line;
  if (!std::getline(std::cin, line)) {
    std::cin.clear();
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line == "Y" || line == "y";
}

}  // namespace ashtint
