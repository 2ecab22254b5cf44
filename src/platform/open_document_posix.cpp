#include <spawn.h>
#include <sys/wait.h>

#include "platform/open_document.h"

extern char** environ;

namespace ashtint {

// The desktop's opener; the address goes to it as one argument, never through a shell.
bool OpenDocument(const std::string& target) {
  if (target.empty()) return false;
  std::string program = "xdg-open", arg = target;
  char* argv[] = {program.data(), arg.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ashtint
