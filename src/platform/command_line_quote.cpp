#include "platform/command_line.h"

namespace ashtint {

namespace {

std::string Quoted(const std::string& value) {
  const bool hasDouble = value.find('"') != std::string::npos;
  const bool hasSingle = value.find('\'') != std::string::npos;
  // No argument can hold a NUL byte, so it closes a value that holds both quote characters.
  const char q = hasDouble ? (hasSingle ? '\0' : '\'') : '"';
  return q + value + q;
}

}  // namespace

std::string QuoteCommandLineArgument(const std::string& arg) {
  if (arg.empty()) return "\"\"";
  if (arg.front() == '-') {
    const std::size_t eq = arg.find('=');
    const std::size_t space = arg.find(' ');
    if (eq == std::string::npos || (space != std::string::npos && space < eq)) {
      return space == std::string::npos ? arg : Quoted(arg);
    }
    const std::string value = arg.substr(eq + 1);
    return value.empty() ? arg : arg.substr(0, eq + 1) + Quoted(value);
  }
  return Quoted(arg);
}

std::string JoinCommandLine(const std::vector<std::string>& argv) {
  std::string text;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    if (i == 0) {
      // The reader drops the program part up to the closing double quote, or up to the first space.
      text = argv[0].find(' ') != std::string::npos ? "\"" + argv[0] + "\"" : argv[0];
    } else {
      text += ' ';
      text += QuoteCommandLineArgument(argv[i]);
    }
  }
  return text;
}

}  // namespace ashtint
