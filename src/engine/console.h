// Console output and input of the engine. Lines end with CR LF; in silent mode nothing is
// written and nothing is read.
#pragma once

#include <string>

namespace ashtint {

void SetConsoleSilent(bool silent);
bool ConsoleSilent();

void ConsoleWrite(const std::string& text);
void ConsoleWriteLn(const std::string& text = "");
std::string ConsoleReadLn();  // one line without its line end; empty in silent mode or at end of input

}  // namespace ashtint
