// The process's raw command line, as one text in the form the engine's key reader parses.
#pragma once

#include <string>
#include <vector>

namespace ashtint {

// Linux rebuilds the text from argv, so main hands them over before anything reads the command
// line. Windows keeps the text itself; the call does nothing there.
void InitCommandLine(int argc, const char* const* argv);

// Windows: GetCommandLineA. Linux: the program path and the arguments joined by spaces (see
// JoinCommandLine); from /proc/self/cmdline when InitCommandLine was not called.
std::string RawCommandLine();

// One argument written so that the key reader reads it back as the shell handed it over. The
// shell has already split and unquoted the arguments, so every value is quoted: the reader's
// rules for unquoted values (a leading '-' or '/' opens a key, an unquoted path grows until it
// names an existing file) were made for text typed into one line, not for argv.
// - a key ("-..." ) without '=' is kept as it is;
// - "--name=value" keeps the key and quotes the value: --name="value" (an empty value stays empty);
// - anything else is a value and is quoted whole, "/name" included, since '/' begins a path here;
// - the quote is '"', or '\'' when the text holds '"'. The reader knows no escape character,
//   so a text holding both is closed in NUL bytes, which no argument can hold.
std::string QuoteCommandLineArgument(const std::string& arg);

// The program path (in double quotes when it holds a space), then every argument through
// QuoteCommandLineArgument, joined by single spaces.
std::string JoinCommandLine(const std::vector<std::string>& argv);

}  // namespace ashtint
