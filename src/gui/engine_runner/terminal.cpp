#include "gui/engine_runner/terminal.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ashtint {

namespace {

struct RKnownTerminal {
  const char* Name;
  std::initializer_list<const char*> Prefix;
};

// In the order tried when the desktop names none of them.
const RKnownTerminal KnownTerminals[] = {
    {"x-terminal-emulator", {"-e"}},  // Debian's policy: "-e" takes the command and its arguments
    {"gnome-terminal", {"--"}},        // its "-e" takes one text that it splits itself
    {"konsole", {"-e"}},
    {"xfce4-terminal", {"-x"}},        // same: "-e" is one text, "-x" the rest of the arguments
    {"mate-terminal", {"-x"}},
    {"terminator", {"-x"}},
    {"alacritty", {"-e"}},
    {"kitty", {}},
    {"foot", {}},
    {"wezterm", {"start", "--"}},
    {"urxvt", {"-e"}},
    {"xterm", {"-e"}},
};

// Desktop names as $XDG_CURRENT_DESKTOP spells them, with the terminal each ships.
const std::pair<const char*, const char*> DesktopTerminals[] = {
    {"GNOME", "gnome-terminal"}, {"Unity", "gnome-terminal"}, {"KDE", "konsole"},
    {"XFCE", "xfce4-terminal"},  {"MATE", "mate-terminal"},
};

QString FindOnPath(const QString& name, const QStringList& path) {
  if (name.contains(u'/')) return QFileInfo(name).isExecutable() ? QFileInfo(name).absoluteFilePath() : QString();
  return path.isEmpty() ? QString() : QStandardPaths::findExecutable(name, path);
}

}  // namespace

std::optional<QStringList> TerminalCommandPrefix(const QString& fileName) {
  for (const RKnownTerminal& t : KnownTerminals) {
    if (fileName != QLatin1String(t.Name)) continue;
    QStringList prefix;
    for (const char* p : t.Prefix) prefix << QString::fromLatin1(p);
    return prefix;
  }
  return std::nullopt;
}

std::optional<RTerminal> FindTerminal(const QProcessEnvironment& environment) {
  if (environment.value(QStringLiteral("DISPLAY")).isEmpty() &&
      environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
    return std::nullopt;
  const QStringList path = environment.value(QStringLiteral("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts);

  QStringList candidates;
  if (const QString chosen = environment.value(QStringLiteral("TERMINAL")); !chosen.isEmpty()) candidates << chosen;
  candidates << QStringLiteral("x-terminal-emulator");
  const QStringList desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(u':');
  for (const QString& desktop : desktops)
    for (const auto& [name, terminal] : DesktopTerminals)
      if (desktop.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) candidates << QString::fromLatin1(terminal);
  for (const RKnownTerminal& t : KnownTerminals) candidates << QString::fromLatin1(t.Name);

  for (const QString& candidate : candidates) {
    const std::optional<QStringList> prefix = TerminalCommandPrefix(QFileInfo(candidate).fileName());
    if (!prefix) continue;
    if (const QString program = FindOnPath(candidate, path); !program.isEmpty()) return RTerminal{program, *prefix};
  }
  return std::nullopt;
}

QStringList TerminalArguments(const RTerminal& terminal, const QString& program, const QStringList& args) {
  return terminal.CommandPrefix + QStringList{program} + args;
}

}  // namespace ashtint
