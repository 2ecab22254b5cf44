// The terminal window the engine runs in on systems where a console program has no console
// window of its own (Linux and other X11 or Wayland desktops).
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace ashtint {

struct RTerminal {
  QString Program;             // full path of the terminal program
  QStringList CommandPrefix;   // what comes before the command and its arguments ("-e", "--", ...)
};

// Terminals differ in how they take a command. Only those known to take the program and its
// arguments as separate arguments are used, so nothing is ever re-split or handed to a shell.
// Returns the prefix for a terminal's file name, or nullopt for an unknown terminal.
std::optional<QStringList> TerminalCommandPrefix(const QString& fileName);

// The terminal to use: $TERMINAL when it names a known terminal, else x-terminal-emulator, else
// the desktop's own terminal ($XDG_CURRENT_DESKTOP), else any known terminal, each looked up on
// the environment's PATH. None without a display ($DISPLAY or $WAYLAND_DISPLAY).
std::optional<RTerminal> FindTerminal(const QProcessEnvironment& environment);

// The terminal's arguments that run program with args inside it.
QStringList TerminalArguments(const RTerminal& terminal, const QString& program, const QStringList& args);

}  // namespace ashtint
