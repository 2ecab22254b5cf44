// Windows only: a console program started from a windowed one gets a console window of its own.
// (Elsewhere the front end opens a terminal or an output window of its own instead.)
#pragma once

namespace ashtint {

// Adjusts what a process start is about to pass to CreateProcess (its creation flags and its
// STARTUPINFOW) so that the child opens its own console and writes there rather than into its
// parent's pipes.
void UseNewConsole(unsigned long& creationFlags, void* startupInfo);

// Sends Ctrl+C into the console of a program started that way, as the player would press it
// there, so the program ends the way it does on an interrupt. False when it could not be sent.
bool InterruptConsoleProgram(long long processId);

}  // namespace ashtint
