#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include "platform/console.h"

namespace ashtint {

void DetachConsole() { FreeConsole(); }

// A write to a closed pipe already fails there without a signal.
void KeepRunningWhenOutputCloses() {}

void WriteOutputUnchanged() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool StdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

void ShowMessageBox(const std::string& caption, const std::string& text, TMessageIcon icon) {
  UINT flags = MB_OK;
  switch (icon) {
    case TMessageIcon::Error: flags |= MB_ICONERROR; break;
    case TMessageIcon::Warning: flags |= MB_ICONWARNING; break;
    case TMessageIcon::Information: flags |= MB_ICONINFORMATION; break;
  }
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

bool AskYesNo(const std::string& caption, const std::string& text) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace ashtint
