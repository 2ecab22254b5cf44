#include <errno.h>
#include <signal.h>
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
  // The opener starts with no signal blocked, whatever this program blocks for itself.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  sigset_t defaults;  // and with SIGPIPE as the system has it (this program ignores it)
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "xdg-open", nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;  // not our child any more: nothing to wait for
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace ashtint
