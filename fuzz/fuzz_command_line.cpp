// The engine's command-line reader with its real key table, on any text; and any one argument
// rebuilt into the Linux command line must come back whole.
#include "engine/command_line_reader.h"
#include "engine/key_table.h"
#include "fuzz_support.h"
#include "platform/command_line.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(fuzz::AsText(data, size));
  TCommandLineReader reader;
  reader.ShowErrors = false;
  std::string report;
  reader.OnError = [&](const std::string& t) { report = t; };
  DeclareEngineKeys(reader);
  if (reader.ParseText(StripProgramPart(text))) {
    for (const TProperty& key : reader.Keys) {
      if (key.Kind == ckFlag)
        (void)reader.KeyFlag(key.Name);
      else
        (void)reader.KeyText(key.Name);
    }
  }

  // No argument holds a NUL byte: anything else is a value the engine must receive as given.
  if (text.find('\0') == std::string::npos) {
    TCommandLineReader back;
    back.ShowErrors = false;
    DeclareEngineKeys(back);
    back.RawCommandLine = [&] { return JoinCommandLine({"/opt/AshtintCreator2", "--log-name=" + text, "--log"}); };
    fuzz::Require(back.ParseCommandLine(), "a rebuilt command line parses");
    fuzz::Require(back.KeyText("log-name") == text, "a value arrives whole");
    fuzz::Require(back.KeyFlag("log"), "the key after the value is read");
  }
  return 0;
}
