// Runs a program as a child process for end-to-end tests: arguments passed as they are,
// standard input fed from a text, standard output and error captured.
#pragma once

#include <string>
#include <vector>

namespace test_support {

struct ProcessResult {
  bool exited = false;  // false: killed by a signal, never an exit code
  int status = -1;      // the raw exit status (0..255 on POSIX)
  int code = -1;        // the engine's exit code: the status mapped back through the shared table
  std::string out;
  std::string err;
};

struct RunOptions {
  // Standard output is a pipe nobody reads (its read end closed before the start), and SIGPIPE
  // has its default action whatever the test runner set: the first write finds the reader gone.
  bool closedOutput = false;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const std::vector<std::string>& env = {},
                         const RunOptions& options = {});

}  // namespace test_support
