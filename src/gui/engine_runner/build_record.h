// The record of what was built for each client: the version it was built for, the command (mods
// and options), every run's outcome and the packages written. It lives beside the settings file,
// is written beside itself and renamed like it, and never mixes two clients.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

#include "gui/engine_runner/run_results.h"

namespace ashtint {

struct RWOTInfo;

// One click's runs for one client.
struct RClientBuild {
  QString ClientFolder;      // with its trailing separator, as the engine got it
  QString Version;           // the client version the mods were built for
  QString Build;             // the client's build number
  bool Lesta = false;        // Lesta's client (its own version numbers and packages)
  QString PackageExtension;  // ".wotmod" or ".mtmod"
  QString Destination;       // the folder the packages went to
  QDateTime Date;            // when the first run started
  // The whole command of the click, mods and options in one line: what a rebuild runs again.
  QString CommandText;
  QStringList Arguments;
  std::vector<REngineRun> Runs;  // each run's outcome, mods and packages

  // The packages of the mods built, in the engine's order.
  std::vector<RPackageWritten> Packages() const;
};

// A build of the runs of one click, with the client's facts as they were when it started.
RClientBuild MakeClientBuild(const TRunResults& results, const RWOTInfo& client, const QString& commandText,
                             const QStringList& arguments);

// Whether two client folders are the same client (the case of letters counts only off Windows).
bool SameClientFolder(const QString& a, const QString& b);

class TBuildRecord {
 public:
  // The record's file beside the settings file.
  static QString FileBeside(const QString& settingsFile);
  explicit TBuildRecord(QString fileName);

  const QString& FileName() const { return fileName_; }
  // Reads the file; none yet is an empty record. A damaged file is kept as FileName + ".bak" and
  // the record starts empty; false then, with the cause in error.
  bool Load(QString* error = nullptr);
  // Writes the record beside its file and renames it over the file, so a failure leaves the old
  // file whole. False with the system's reason in error.
  bool Save(QString* error = nullptr) const;

  // Adds a build; each client keeps its latest builds only.
  void Add(RClientBuild build);
  // The client's latest build, and its latest build that wrote packages; null when none.
  const RClientBuild* Latest(const QString& clientFolder) const;
  const RClientBuild* LatestBuilt(const QString& clientFolder) const;
  // The notice the player dismissed for a client: the client version and the build's date it was about.
  bool Dismissed(const QString& clientFolder, const QString& version, const QDateTime& builtOn) const;
  void Dismiss(const QString& clientFolder, const QString& version, const QDateTime& builtOn);

  // How many builds each client keeps.
  static constexpr std::size_t KeptBuilds = 8;

 private:
  struct RClientEntry {
    QString Folder;
    QString DismissedVersion;
    QDateTime DismissedBuild;
    std::vector<RClientBuild> Builds;  // oldest first
  };
  RClientEntry* Entry(const QString& clientFolder);
  const RClientEntry* Entry(const QString& clientFolder) const;

  QString fileName_;
  std::vector<RClientEntry> clients_;
};

}  // namespace ashtint
