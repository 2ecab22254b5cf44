// Where the front end keeps its settings file.
#pragma once

#include <QString>

namespace ashtint {

inline constexpr const char* SettingsFileBaseName = "AshtintGui.json";

// Whether a new file can be created in the folder, found by creating one and removing it again:
// permission bits do not tell about read-only mounts, and an administrator passes them anyway.
bool FolderIsWritable(const QString& folder);

// The program's own folder when a file can be written there (a portable install), otherwise
// the "AshtintGui" folder in the user's configuration folder (on Linux $XDG_CONFIG_HOME, which
// defaults to ~/.config).
QString SettingsFileName(const QString& programFolder, const QString& userConfigFolder);

}  // namespace ashtint
