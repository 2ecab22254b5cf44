#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "platform/command_line.h"
#include "platform/console.h"

namespace ashtint {
namespace {

struct ChildOutput {
  std::string out;  // the child's standard output
  std::string err;  // and its standard error
  int status = -1;
};

std::string Drain(int fd) {
  std::string s;
  char buf[512];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<std::size_t>(n));
  return s;
}

// Runs body in a child process whose standard streams are pipes; stdin holds `input`.
ChildOutput RunInChild(const std::function<void()>& body, const std::string& input = {}) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {};
  // The input goes in before the child starts: a child that closes its end early must not
  // leave the parent writing into a pipe without readers.
  if (!input.empty() && write(in[1], input.data(), input.size()) < 0) {}
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    body();
    std::fflush(nullptr);
    _exit(0);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  close(in[1]);
  ChildOutput r;
  r.out = Drain(out[0]);
  r.err = Drain(err[0]);
  close(out[0]);
  close(err[0]);
  waitpid(pid, &r.status, 0);
  return r;
}

TEST(Console, DetachSilencesOutputAndInput) {
  const ChildOutput r = RunInChild(
      [] {
        std::fputs("before\n", stdout);
        std::fflush(stdout);
        DetachConsole();
        std::fputs("after\n", stdout);
        std::fputs("after-err\n", stderr);
        char line[64];
        // Standard input now ends at once although the parent sent a line.
        if (std::fgets(line, sizeof line, stdin) != nullptr) _exit(3);
      },
      "typed line\n");
  EXPECT_EQ(r.out, "before\n");
  EXPECT_EQ(r.err, "");
  ASSERT_TRUE(WIFEXITED(r.status));
  EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

TEST(Console, MessageBoxGoesToStandardErrorWithoutWaiting) {
  const ChildOutput r = RunInChild(
      [] { ShowMessageBox("AshtintCreator2", "An error occurred!\r\n\r\nbroken.pkg", TMessageIcon::Error); },
      "");
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("AshtintCreator2"), std::string::npos);
  EXPECT_NE(r.err.find("An error occurred!\r\n\r\nbroken.pkg"), std::string::npos);
}

TEST(CommandLine, EveryValueIsQuotedKeysAreKept) {
  EXPECT_EQ(QuoteCommandLineArgument("--log"), "--log");
  EXPECT_EQ(QuoteCommandLineArgument("-xyz"), "-xyz");
  EXPECT_EQ(QuoteCommandLineArgument("--cpu-count=-1"), "--cpu-count=\"-1\"");
  EXPECT_EQ(QuoteCommandLineArgument("--wot-path=/games/wot"), "--wot-path=\"/games/wot\"");
  EXPECT_EQ(QuoteCommandLineArgument("--wot-path=/games/World of Tanks/"), "--wot-path=\"/games/World of Tanks/\"");
  EXPECT_EQ(QuoteCommandLineArgument("--name=say \"hi\""), "--name='say \"hi\"'");
  EXPECT_EQ(QuoteCommandLineArgument("/games/wot"), "\"/games/wot\"");
  EXPECT_EQ(QuoteCommandLineArgument("/log"), "\"/log\"");
  EXPECT_EQ(QuoteCommandLineArgument("abc"), "\"abc\"");
  EXPECT_EQ(QuoteCommandLineArgument("it's \"x\""), std::string("\0it's \"x\"\0", 10));  // NUL: no argument holds one
  EXPECT_EQ(QuoteCommandLineArgument(""), "\"\"");
  EXPECT_EQ(QuoteCommandLineArgument("--name=\"x"), "--name='\"x'");
  EXPECT_EQ(QuoteCommandLineArgument("--name="), "--name=");
  // The key name stops at a space: a space before '=' makes it one value.
  EXPECT_EQ(QuoteCommandLineArgument("--a b=c"), "\"--a b=c\"");
}

TEST(CommandLine, ProgramPartIsQuotedOnlyWhenItHoldsASpace) {
  EXPECT_EQ(JoinCommandLine({"/opt/ashtint/AshtintCreator2", "--log", "--wot-path=/g/W T"}),
            "/opt/ashtint/AshtintCreator2 --log --wot-path=\"/g/W T\"");
  EXPECT_EQ(JoinCommandLine({"/opt/my tools/AshtintCreator2"}), "\"/opt/my tools/AshtintCreator2\"");
  EXPECT_EQ(JoinCommandLine({}), "");
}

TEST(CommandLine, RawTextComesFromWhatMainHandedOver) {
  // Before InitCommandLine the process's own arguments are read from the system.
  const ChildOutput r = RunInChild([] { std::fputs(RawCommandLine().c_str(), stdout); });
  EXPECT_NE(r.out.find("test_platform"), std::string::npos);

  const char* argv[] = {"/x/AshtintCreator2", "--DPT-mod=FFFFFF", "--mods-path", "/home/u/my mods/"};
  InitCommandLine(4, argv);
  EXPECT_EQ(RawCommandLine(), "/x/AshtintCreator2 --DPT-mod=\"FFFFFF\" --mods-path \"/home/u/my mods/\"");
}

}  // namespace
}  // namespace ashtint
