// Turns the engine's command line into named values: --name=value, --name value, /name,
// enable-/disable- prefixes for flags, quoted values and unquoted file paths with spaces.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "common/exceptions.h"

namespace ashtint {

class ECommandLineParseException : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "ECommandLineParseException"; }
};

enum TPropertyKind : std::uint8_t { ckText = 0, ckPath = 1, ckInteger = 2, ckReal = 3, ckFlag = 4 };

struct TProperty {
  std::string Name;  // lower-cased at declaration
  std::string Help;
  std::string Value;  // the declared default until the command line gives one
  bool Found = false;
  TPropertyKind Kind = ckText;
  bool FlagValue = false;
  bool FlagDefault = false;
  char ShortName = 0;
  std::int32_t IntValue = 0;
  long double RealValue = 0;
};

class TCommandLineReader {
 public:
  using TErrorProc = std::function<void(const std::string&)>;

  bool Parsed = false;
  std::vector<TProperty> Keys;
  TStrArray LooseValues;
  std::string ErrorIntro = "The following command line options are valid: ";
  std::string FailedKeyName;
  TErrorProc OnError;
  bool ShowErrors = true;
  bool AllowSlash = true;

  TProperty& AddKey(const std::string& name, const std::string& help, TPropertyKind kind,
                    const std::string& defaultValue);
  TProperty& AddFlagKey(const std::string& name, const std::string& help, bool defaultValue,
                        char shortName = 0);
  TProperty& AddPathKey(const std::string& name, const std::string& help, const std::string& defaultValue);
  TProperty& AddTextKey(const std::string& name, const std::string& help, const std::string& defaultValue);

  TProperty& FindKey(const std::string& name);
  std::string KeyText(const std::string& name);
  bool KeyFlag(const std::string& name);

  // Parses the process's own command line (the program part is removed first).
  bool ParseCommandLine();
  bool ParseText(const std::string& text);
  std::string KeyListing(const std::string& indent) const;

  // Where ParseCommandLine takes the raw command line from; the process's by default.
  std::function<std::string()> RawCommandLine;

 private:
  TProperty* FindByName(std::string_view name);
  void ReportError(const std::string& text, std::size_t position);
};

// The process's raw command line, program part included, as main() got it from the system.
void SetProcessCommandLine(const std::string& commandLine);

// The program part of a raw command line removed: a leading quoted part up to its closing quote,
// else everything up to and including the first space.
std::string StripProgramPart(const std::string& commandLine);

}  // namespace ashtint
