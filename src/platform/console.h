// The console of a console program: detaching from it and its message boxes.
#pragma once

#include <string>

namespace ashtint {

// Silent mode: after this call nothing the process writes to its console appears and reading
// from it gives end of input at once.
void DetachConsole();

// Writes to an output whose reader has gone (a closed pipe, `| head`) fail instead of ending the
// process, so the run and its log go on to the end. Called once at start-up.
void KeepRunningWhenOutputCloses();

// Standard output and error pass the program's bytes unchanged. The engine writes its own CR LF
// line ends, which a Windows text-mode stream would turn into CR CR LF in a file or pipe.
// Called once at start-up.
void WriteOutputUnchanged();

// Whether standard output is an interactive terminal (not a file or a pipe).
bool StdoutIsTerminal();

enum class TMessageIcon { Information, Warning, Error };

// A modal message box with one OK button. A console program on Linux has no window system it
// may rely on, so there the nearest honest behaviour is used: the caption and the text go to
// standard error and the call returns without waiting.
void ShowMessageBox(const std::string& caption, const std::string& text,
                    TMessageIcon icon = TMessageIcon::Information);

// A modal Yes/No question; true for Yes. On Linux the console asks it: the caption and the text
// on standard output, then a line read from standard input ("Y" in any case is Yes).
bool AskYesNo(const std::string& caption, const std::string& text);

}  // namespace ashtint
