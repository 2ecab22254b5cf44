// The engine runner: checks the chosen engine file by the version tag at its end, builds the
// engine's command lines from the settings record and starts the engine with them.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

#include "gui/engine_runner/run_results.h"
#include "gui/gui_settings.h"

class QLineEdit;
class QPlainTextEdit;

namespace ashtint {

class TEngineOutputWindow;

// The oldest engine build whose keys and exit codes the front end knows.
inline constexpr int MinEngineBuild = 248;

// One engine command line, kept twice: as the arguments the engine's process receives, one
// value each, and as the text the window shows, where folder values stand in double quotes.
class TEngineCommand {
 public:
  TEngineCommand() = default;
  // A command kept from an earlier run, both forms as they were.
  TEngineCommand(QString text, QStringList arguments) : text_(std::move(text)), args_(std::move(arguments)) {}
  void Add(const QString& key);
  void Add(const QString& key, const QString& value);
  void AddQuoted(const QString& key, const QString& value);
  void Append(const TEngineCommand& other);

  const QString& Text() const { return text_; }
  const QStringList& Arguments() const { return args_; }
  bool IsEmpty() const { return args_.isEmpty(); }

 private:
  void AddText(const QString& shown, const QString& argument);

  QString text_;
  QStringList args_;
};

// The outcome of one engine start.
struct RRunError {
  enum : int { NotStarted = 0, StartFailed = 1, ExitError = 2, Success = 3 };
  int State = NotStarted;
  // StartFailed: the process library's error number (it reports the system's reason only as
  // text, in Message); ExitError: the engine's exit code, or the signal number when Crashed;
  // Success: 0; -1 before any start.
  int Code = -1;
  bool Crashed = false;  // ended by a signal: no exit code at all
  QString Message;       // the reason of a failed start, or the exit code's text ("" when unlisted)
};

// The tag's items read from the end of an engine file: "VER", the version, the build and any
// further fields. Empty when the file has no tag or cannot be read.
QStringList ReadVersionTag(const QString& path);

class TConsoleExe {
 public:
  enum TRunMode { ModeSingle = 0, ModeMultiStart = 1, ModeRemoval = 2 };

  // The two controls are the main window's and are not owned; either may be null.
  TConsoleExe(QLineEdit* versionMemo, QPlainTextEdit* argsMemo, RGuiSettings& settings = GuiSettings());
  ~TConsoleExe();
  TConsoleExe(const TConsoleExe&) = delete;
  TConsoleExe& operator=(const TConsoleExe&) = delete;

  // Adopts an engine file when it carries a tag of a supported build, and says in VersionMemo
  // what it is or why it was refused.
  void SetExeFile(const QString& path);
  // Rebuilds Arguments and Copies from the settings and shows Arguments in ArgsMemo.
  void BuildArguments();
  TEngineCommand BuildRemovalArguments(bool noConfigUpdate) const;
  bool HasSeveralCopies() const { return copies_.size() > 1; }

  // Starts the engine; true on success. Refused (false, nothing started) without a usable
  // engine file and while a waited run is still going on.
  bool Execute(int mode);
  // Starts the engine once with a command kept from an earlier click (a rebuild), as Execute's
  // single mode does with the command of the settings.
  bool ExecuteCommand(const TEngineCommand& command);
  // One start. A waited run returns when the engine has ended; the windows meanwhile go on
  // handling their events. On Windows the engine opens a console of its own; elsewhere it runs
  // in an output window of the front end's own. Either way its end (and its output, where the
  // front end can read it) goes into Results.
  RRunError RunProcess(const QString& exeFile, const TEngineCommand& command, bool wait);

  // What the runs of the latest Execute did; none before the first. Replaced by the next Execute.
  TRunResults* Results() const { return results_.get(); }
  // Where the packages of a run go and their extension, so the results can find them; set by the
  // window before Execute.
  QString Destination;
  QString PackageExtension = QStringLiteral(".wotmod");
  // Whether a run started here has not ended yet (waited or not).
  bool Running() const;
  // Ends every run the way an interrupt does: the engine removes its temporary files.
  void StopRuns();

  const QString& ExeFile() const { return exeFile_; }
  const QString& EngineVersion() const { return engineVersion_; }
  int EngineBuild() const { return engineBuild_; }
  QString Arguments() const { return arguments_.Text(); }
  const TEngineCommand& Command() const { return arguments_; }
  QStringList Copies() const;
  const std::vector<TEngineCommand>& CopyCommands() const { return copies_; }
  const RRunError& LastRun() const { return lastRun_; }
  bool Waiting() const { return waiting_; }

  // The engine's working folder: the front end's program folder unless replaced.
  QString WorkingFolder;
  // The output windows opened so far that are still open.
  QList<TEngineOutputWindow*> OutputWindows() const;

 private:
  QString ClientFolder() const;
  // Whether a click may start runs now; if so, the runs it starts get results of their own.
  bool BeginClick();
  void ShowVersion(const QString& text, bool refused);

  QLineEdit* versionMemo_;
  QPlainTextEdit* argsMemo_;
  RGuiSettings& settings_;
  QString exeFile_;
  QString engineVersion_;
  int engineBuild_ = -1;
  TEngineCommand arguments_;
  std::vector<TEngineCommand> copies_;
  RRunError lastRun_;
  bool waiting_ = false;
  QList<QPointer<TEngineOutputWindow>> outputWindows_;
  std::unique_ptr<TRunResults> results_;
  // The runs not waited for, by their number in the results: a way to stop each.
  QList<QPair<int, QPointer<QObject>>> running_;
};

}  // namespace ashtint
