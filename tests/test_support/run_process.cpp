#include "test_support/run_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "common/exit_codes.h"
#include "test_support/temp_dir.h"

extern char** environ;

namespace test_support {

namespace {
std::string Slurp(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}
}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                         const std::vector<std::string>& env, const RunOptions& options) {
  TempDir io;
  const auto in = io.path() / "in", out = io.path() / "out", err = io.path() / "err";
  std::ofstream(in, std::ios::binary) << input;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  int pipeFds[2] = {-1, -1};
  if (options.closedOutput) {
    if (::pipe(pipeFds) != 0) throw std::runtime_error("cannot make a pipe");
    ::close(pipeFds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> argStore{program};
  argStore.insert(argStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  // The test's variables replace inherited ones of the same name.
  std::vector<std::string> envStore = env;
  for (char** e = environ; *e; ++e) {
    const std::string var = *e;
    const std::string name = var.substr(0, var.find('='));
    bool replaced = false;
    for (const auto& own : env) replaced = replaced || own.rfind(name + "=", 0) == 0;
    if (!replaced) envStore.push_back(var);
  }
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (pipeFds[1] >= 0) ::close(pipeFds[1]);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
  int wstatus = 0;
  while (waitpid(pid, &wstatus, 0) < 0) {
  }
  ProcessResult r;
  r.exited = WIFEXITED(wstatus);
  if (r.exited) {
    r.status = WEXITSTATUS(wstatus);
    r.code = ashtint::FromProcessExitStatus(r.status);
  }
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

}  // namespace test_support
