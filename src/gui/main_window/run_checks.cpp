#include "gui/main_window/run_checks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "client/wot_info.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"

namespace ashtint {

namespace {

QString LocalText(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

QString Formatted(TGuideText text, int language, const QString& value) {
  return FormatText(GuideText(text, language), value);
}

// The folder itself, or the nearest folder above it that exists (where it would be created).
QString ExistingFolderOf(const QString& folder) {
  QFileInfo at(QDir::cleanPath(folder));
  while (!at.exists() && !at.isRoot() && at.absolutePath() != at.absoluteFilePath()) at = QFileInfo(at.absolutePath());
  return at.exists() ? at.absoluteFilePath() : QString();
}

}  // namespace

RWOTInfo ReadClientFacts(const QString& clientPath) {
  RWOTInfo info;
  if (!clientPath.isEmpty()) ReadWOTInfo(QFile::encodeName(clientPath).toStdString(), info);
  return info;
}

QString DestinationFolder(const RGuiSettings& s, const RWOTInfo& client) {
  if (s.ModsPathEnable && !s.ModsPath.isEmpty()) return s.ModsPath;
  return LocalText(s.NoWotmod ? client.ResModsDir : client.ModsDir);
}

QStringList ActionBlockers(const RGuiSettings& s, const REngineState& engine, bool forRun, int language) {
  QStringList causes;
  if (engine.Running) causes << GuideText(TGuideText::ReasonRunning, language);
  if (!engine.Usable) causes << Formatted(TGuideText::ReasonNoEngine, language, engine.Shown);
  if (s.WotPath.isEmpty())
    causes << GuideText(TGuideText::ReasonNoClient, language);
  else if (!QFileInfo(s.WotPath).isFile())
    causes << Formatted(TGuideText::ReasonClientMissing, language, s.WotPath);
  if (s.ModsPathEnable && !s.ModsPath.isEmpty()) {
    const QString existing = ExistingFolderOf(s.ModsPath);
    if (existing.isEmpty() || !QFileInfo(existing).isWritable())
      causes << Formatted(TGuideText::ReasonDestinationReadOnly, language, s.ModsPath);
  }
  if (forRun && !(s.DPTEnable || s.CCTEnable || s.MEMEnable || s.CTMEnable || s.CamoEnable))
    causes << GuideText(TGuideText::ReasonNoMod, language);
  return causes;
}

QStringList RunCheckFailures(const RGuiSettings& s, const RWOTInfo& client, int language) {
  QStringList causes;
  // The engine's own order of its client checks, so the first cause named is the one it would meet.
  if (client.Failed || client.ClientDir.empty())
    causes << GuideText(TGuideText::ClientNotRecognized, language);
  else if (client.GameExe.empty() || !QFileInfo(LocalText(client.GameExe)).isFile())
    causes << GuideText(TGuideText::ClientWithoutProgram, language);
  else if (client.Pkgs.empty())
    causes << Formatted(TGuideText::ClientWithoutPackages, language,
                        QDir::toNativeSeparators(LocalText(client.ClientDir) + QStringLiteral("res/packages/")));
  const QString destination = DestinationFolder(s, client);
  if (destination.isEmpty()) return causes;
  const QString existing = ExistingFolderOf(destination);
  if (existing.isEmpty() || !QFileInfo(existing).isDir()) {
    causes << Formatted(TGuideText::DestinationNotCreatable, language, destination);
    return causes;
  }
  // Permission bits do not tell about read-only mounts or access lists: a file is really made.
  QTemporaryFile probe(QDir(existing).filePath(QStringLiteral(".AshtintGui.XXXXXX")));
  if (!probe.open()) {
    QString cause = Formatted(TGuideText::DestinationNotWritable, language, destination);
    if (!probe.errorString().isEmpty()) cause += QStringLiteral(" (") + probe.errorString() + u')';
    causes << cause;
  }
  return causes;
}

}  // namespace ashtint
