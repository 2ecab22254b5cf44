#include "platform/command_line.h"

namespace ashtint {

namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Whether a value must be quoted to come back as one piece. A leading quote would otherwise
// open a quoted value of its own that runs to the next such quote.
bool NeedsQuotes(const std::string& value) {
  return value.find(' ') != std::string::npos || (!value.empty() && IsQuote(value.front()));
}

std::string Quoted(const std::string& value) {
  const bool hasDouble = value.find('"') != std::string::npos;
  const bool hasSingle = value.find('\'') != std::string::npos;
  if (hasDouble && hasSingle) return value;  // no quoting can carry both
  const char q = hasDouble ? '\'' : '"';
  return q + value + q;
}

}  // namespace

std::string QuoteCommandLineArgument(const std::string& arg) {
  if (arg.empty()) return "\"\"";
  const bool longKey = arg.rfind("--", 0) == 0 || arg.front() == '/';
  if (longKey) {
    const std::size_t eq = arg.find('=');
    const std::size_t space = arg.find(' ');
    if (eq != std::string::npos && (space == std::string::npos || eq < space)) {
      const std::string value = arg.substr(eq + 1);
      if (!NeedsQuotes(value)) return arg;
      return arg.substr(0, eq + 1) + Quoted(value);
    }
  }
  return NeedsQuotes(arg) ? Quoted(arg) : arg;
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
