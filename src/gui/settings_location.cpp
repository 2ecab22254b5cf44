#include "gui/settings_location.h"

#include <QDir>
#include <QTemporaryFile>

namespace ashtint {

bool FolderIsWritable(const QString& folder) {
  if (folder.isEmpty()) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".AshtintGui.XXXXXX")));
  return probe.open();  // removed again when probe goes
}

QString SettingsFileName(const QString& programFolder, const QString& userConfigFolder) {
  const QString name = QString::fromLatin1(SettingsFileBaseName);
  if (FolderIsWritable(programFolder)) return QDir(programFolder).filePath(name);
  return QDir(QDir(userConfigFolder).filePath(QStringLiteral("AshtintGui"))).filePath(name);
}

}  // namespace ashtint
