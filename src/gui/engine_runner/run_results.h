// What the engine runs of one click did: each run's command, exit code and output, and per mod
// whether it was built (with the packages written), failed (with the engine's words) or was
// skipped. Plain values throughout, so a record of a build can be stored as it is.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace ashtint {

struct RPackageWritten {
  QString Folder;  // with its trailing separator
  QString Name;
  qint64 Size = 0;  // bytes
};

enum class TModOutcome { Built, Failed, Skipped };

struct RModResult {
  QString Mod;  // the engine's name of the mod: "DPT", "CCT", "MEM", "CTM", "SpaceBin", "CAMO"
  TModOutcome Outcome = TModOutcome::Skipped;
  QString Reason;  // why it failed or was skipped, in the engine's words
  std::vector<RPackageWritten> Packages;
};

struct REngineRun {
  QStringList Arguments;  // as the engine received them
  QDateTime Started;
  QDateTime Finished;
  bool Ended = false;        // the process has ended (or never started)
  bool StartFailed = false;  // the process could not be started
  bool Crashed = false;      // ended by a signal
  bool Stopped = false;      // the user stopped it
  int ExitCode = -1;         // the engine's exit code (16001.. as the engine means them)
  QString Reason;            // why the run as a whole failed; empty on success
  QString Output;            // everything the engine wrote, when the front end could read it
  std::vector<RModResult> Mods;  // the mods its command asked for, in the engine's order
};

// The mods a command line asks for, in the order the engine builds them.
QStringList RequestedMods(const QStringList& arguments);

// Per requested mod, what the engine's console output says about it: a stage that wrote
// "Created files:" was built (the names after it are its packages, still without folder and
// size), a stage with an error line failed with those lines as its reason, a stage the output
// never reached was skipped with runReason. An empty output (the engine ran in a console of its
// own) gives every mod the run's outcome: built on success, else failed with runReason.
std::vector<RModResult> ReadModResults(const QStringList& arguments, const QString& output, bool success,
                                       const QString& runReason);

// Looks each package name up in the destination folder and its direct subfolders (the engine
// may put its packages into a subfolder of its own) and fills in its folder and size. Without
// names (no output to read them from), every package file of the destination changed since
// `since` is taken, for mods built.
void LocatePackages(std::vector<RModResult>& mods, const QString& destination, const QDateTime& since,
                    const QString& packageExtension);

class TRunResults : public QObject {
  Q_OBJECT

 public:
  // destination: the folder the packages go to; packageExtension: ".wotmod" or ".mtmod".
  TRunResults(QString destination, QString packageExtension, QObject* parent = nullptr);

  // A run about to start; returns its number.
  int Begin(const QStringList& arguments);
  void StartFailed(int run, const QString& reason);
  // exitStatus: the process's exit status, or the signal number when it crashed.
  void Finish(int run, int exitStatus, bool crashed, const QString& output);
  void MarkStopped(int run);

  bool AllEnded() const;
  bool AnyFailed() const;
  const std::vector<REngineRun>& Runs() const { return runs_; }
  const QString& Destination() const { return destination_; }
  // The mod runs' results in the engine's order of mods (runs without mods, such as the removal
  // before the copies, add none).
  std::vector<RModResult> Mods() const;

 signals:
  void RunEnded(int run);
  void AllRunsEnded();

 private:
  QString destination_;
  QString extension_;
  std::vector<REngineRun> runs_;
};

}  // namespace ashtint
