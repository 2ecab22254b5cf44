#include "gui/engine_runner/console_exe.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>

#include <algorithm>
#include <exception>

#include "common/exit_codes.h"
#include "common/file_names.h"
#include "gui/engine_runner/engine_output_window.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"
#ifdef Q_OS_WIN
#include "platform/new_console.h"
#endif

namespace ashtint {

void TEngineCommand::AddText(const QString& shown, const QString& argument) {
  if (!text_.isEmpty()) text_ += u' ';
  text_ += shown;
  args_ << argument;
}

void TEngineCommand::Add(const QString& key) { AddText(key, key); }

void TEngineCommand::Add(const QString& key, const QString& value) {
  AddText(key + u'=' + value, key + u'=' + value);
}

void TEngineCommand::AddQuoted(const QString& key, const QString& value) {
  AddText(key + QStringLiteral("=\"") + value + u'"', key + u'=' + value);
}

void TEngineCommand::Append(const TEngineCommand& other) {
  if (!text_.isEmpty() && !other.text_.isEmpty()) text_ += u' ';
  text_ += other.text_;
  args_ += other.args_;
}

QStringList ReadVersionTag(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const qint64 size = file.size();
  if (size <= 3) return {};
  // The tag is read from the last byte towards the start, a block at a time.
  qint64 blockStart = size;
  QByteArray block;
  qsizetype at = 0;
  auto previous = [&](char& c) {
    if (at == 0) {
      if (blockStart == 0) return false;  // ran past the start of the file
      const qint64 n = std::min<qint64>(blockStart, 4096);
      blockStart -= n;
      if (!file.seek(blockStart)) return false;
      block = file.read(n);
      if (block.size() != n) return false;
      at = block.size();
    }
    c = block[--at];
    return true;
  };
  char c = 0;
  QByteArray mark;
  for (int i = 0; i < 3; ++i) {
    if (!previous(c)) return {};
    mark += c;
  }
  if (mark != "VER") return {};
  QList<QByteArray> items{mark, QByteArray()};
  if (!previous(c)) return {};
  // The engine writes "VER:" before its fields; a tag without that colon reads the same.
  if (c == ':' && !previous(c)) return {};
  while (c != ';') {
    if (c == ':')
      items.append(QByteArray());
    else
      items.last().append(c);
    if (!previous(c)) return {};
  }
  QStringList result;
  for (const QByteArray& item : items) result << QString::fromUtf8(item);
  return result;
}

TConsoleExe::TConsoleExe(QLineEdit* versionMemo, QPlainTextEdit* argsMemo, RGuiSettings& settings)
    : versionMemo_(versionMemo), argsMemo_(argsMemo), settings_(settings) {}

TConsoleExe::~TConsoleExe() = default;

void TConsoleExe::ShowVersion(const QString& text, bool refused) {
  if (versionMemo_ == nullptr) return;
  versionMemo_->setText(text);
  QPalette palette = versionMemo_->palette();
  const QColor color = refused ? QColor(Qt::red) : QApplication::palette(versionMemo_).color(QPalette::Text);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Text, color);
  versionMemo_->setPalette(palette);
}

void TConsoleExe::SetExeFile(const QString& path) {
  exeFile_.clear();
  engineVersion_.clear();
  engineBuild_ = -1;
  // The texts name the engine's file name, never the chosen path.
  const QString name = QString::fromLatin1(EngineFileName);
  if (path.isEmpty() || !QFileInfo::exists(path)) {
    ShowVersion(name + QStringLiteral(" not found!"), true);
    return;
  }
  const QStringList tag = ReadVersionTag(path);
  if (tag.size() < 3) {
    ShowVersion(name + QStringLiteral(" not valid!"), true);
    return;
  }
  engineVersion_ = tag[1];
  bool number = false;
  const int build = tag[2].toInt(&number);
  engineBuild_ = number ? build : 0;
  if (engineBuild_ < MinEngineBuild) {
    ShowVersion(name + QStringLiteral(" not supported!"), true);
    return;
  }
  exeFile_ = path;
  ShowVersion(name + QStringLiteral(" Version ") + engineVersion_ + QStringLiteral(" Build ") +
                  QString::number(engineBuild_),
              false);
}

QString TConsoleExe::ClientFolder() const {
  const QString& path = settings_.WotPath;
  qsizetype cut = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
  cut = std::max(cut, path.lastIndexOf(u'\\'));
#endif
  return path.left(cut + 1);
}

void TConsoleExe::BuildArguments() {
  const RGuiSettings& s = settings_;
  TEngineCommand base;
  base.AddQuoted(QStringLiteral("--wot-path"), ClientFolder());
  if (s.ModsPathEnable && !s.ModsPath.isEmpty()) base.AddQuoted(QStringLiteral("--mods-path"), s.ModsPath);
  arguments_ = base;
  copies_.clear();
  auto addCopy = [&](const TEngineCommand& part) {
    TEngineCommand line = base;
    line.Append(part);
    copies_.push_back(line);
    arguments_.Append(part);
  };

  if (s.DPTEnable) {
    TEngineCommand part;
    part.Add(QStringLiteral("--DPT-mod"), s.DPTColor);
    if (s.DPTInside) part.Add(QStringLiteral("--inside-color"), s.DPTInsideColor);
    if (s.DPTRemoveShadow) part.Add(QStringLiteral("--remove-shadows"));
    addCopy(part);
  }
  if (s.CCTEnable) {
    TEngineCommand part;
    part.Add(QStringLiteral("--CCT-mod"), s.CCTColor);
    addCopy(part);
  }
  TEngineCommand group;
  if (s.MEMEnable) group.Add(QStringLiteral("--MEM-mod"), s.MEMColor);
  if (s.CTMEnable) group.Add(QStringLiteral("--CTM-mod"), s.CTMColor);
  if (s.SpaceBinPatch && (s.MEMEnable || s.CTMEnable))
    group.Add(QStringLiteral("--SpaceBin-mod"), (s.MEMEnable ? s.MEMColor : QString()) + u'|' +
                                                    (s.CTMEnable ? s.CTMColor : QString()));
  if (s.CamoEnable) {
    group.Add(QStringLiteral("--CAMO-mod"), QString::number(s.CamoVisibility));
    if (s.CamoDownsizing) {
      const int ratio = s.CamoDownsizingRatio == 4 || s.CamoDownsizingRatio == 8 ? s.CamoDownsizingRatio : 2;
      group.Add(QStringLiteral("--downsizing-ratio"), QString::number(ratio));
    }
  }
  if (!group.IsEmpty()) addCopy(group);

  TEngineCommand tail;
  if (s.AutoClose) tail.Add(QStringLiteral("--auto-close-console"));
  arguments_.Append(tail);
  if (s.LogFile) {
    arguments_.Add(QStringLiteral("--log"));
    if (s.RewriteLogFile) arguments_.Add(QStringLiteral("--rewrite-log"));
  }
  if (s.NoUpdateConfigs) arguments_.Add(QStringLiteral("--no-update-configs"));
  // The copies never refresh the configuration files themselves.
  tail.Add(QStringLiteral("--no-update-configs"));
  auto both = [&](const QString& key) {
    tail.Add(key);
    arguments_.Add(key);
  };
  if (s.UseConfigsFolder && !s.ConfigsFolder.isEmpty()) {
    tail.AddQuoted(QStringLiteral("--configs-path"), s.ConfigsFolder);
    arguments_.AddQuoted(QStringLiteral("--configs-path"), s.ConfigsFolder);
  }
  if (s.NoWotmod) both(QStringLiteral("--without-wotmod"));
  if (s.AllInOneWotmod) arguments_.Add(QStringLiteral("--allinone-wotmod"));
  if (s.SubfolderWotmod) both(QStringLiteral("--subfolder-wotmod"));
  if (s.RemoveOldWotmod) arguments_.Add(QStringLiteral("--remove-wotmod"));
  if (s.NoHD) both(QStringLiteral("--without-hd"));
  if (s.UseCPUCount) {
    tail.Add(QStringLiteral("--cpu-count"), QString::number(s.CPUCount));
    arguments_.Add(QStringLiteral("--cpu-count"), QString::number(s.CPUCount));
  }
  for (TEngineCommand& copy : copies_) copy.Append(tail);
  if (argsMemo_ != nullptr) argsMemo_->setPlainText(arguments_.Text());
}

TEngineCommand TConsoleExe::BuildRemovalArguments(bool noConfigUpdate) const {
  const RGuiSettings& s = settings_;
  TEngineCommand line;
  line.AddQuoted(QStringLiteral("--wot-path"), ClientFolder());
  if (noConfigUpdate) line.Add(QStringLiteral("--no-update-configs"));
  line.Add(QStringLiteral("--remove-wotmod"));
  line.Add(QStringLiteral("--auto-close-console"));
  if (s.LogFile) {
    line.Add(QStringLiteral("--log"));
    if (s.RewriteLogFile) line.Add(QStringLiteral("--rewrite-log"));
  }
  if (s.ModsPathEnable && !s.ModsPath.isEmpty()) line.AddQuoted(QStringLiteral("--mods-path"), s.ModsPath);
  return line;
}

QStringList TConsoleExe::Copies() const {
  QStringList lines;
  for (const TEngineCommand& copy : copies_) lines << copy.Text();
  return lines;
}

QList<TEngineOutputWindow*> TConsoleExe::OutputWindows() const {
  QList<TEngineOutputWindow*> open;
  for (const auto& window : outputWindows_)
    if (!window.isNull()) open << window.data();
  return open;
}

namespace {

void TakeExit(RRunError& result, int exitCode, bool crashed) {
  if (crashed) {
    result.State = RRunError::ExitError;
    result.Code = exitCode;
    result.Crashed = true;
    return;
  }
  const int code = FromProcessExitStatus(exitCode);
  result.Code = code;
  if (code == 0) {
    result.State = RRunError::Success;
    return;
  }
  result.State = RRunError::ExitError;
  if (code >= ExitCodeFirst && code <= ExitCodeBase + 99) result.Message = QString::fromStdString(ExitCodeText(code));
}

// A console program has no window that could be asked to close (QProcess::terminate asks
// windows): it gets Ctrl+C in its console and removes its temporary files; only when that cannot
// be sent is it killed (its next run then removes what it left).
void StopConsoleProgram(QProcess& process) {
#ifdef Q_OS_WIN
  if (InterruptConsoleProgram(process.processId())) return;
  process.kill();
#else
  process.terminate();
#endif
}

}  // namespace

RRunError TConsoleExe::RunProcess(const QString& exeFile, const TEngineCommand& command, bool wait) {
  RRunError result;
  const QString program = QFileInfo(exeFile).absoluteFilePath();
  const QString folder = WorkingFolder.isEmpty() ? QCoreApplication::applicationDirPath() : WorkingFolder;
  if (!results_) results_ = std::make_unique<TRunResults>(Destination, PackageExtension);
  const QPointer<TRunResults> results = results_.get();
  const int index = results->Begin(command.Arguments());
  auto startFailed = [&](const QString& reason, int code) {
    result.State = RRunError::StartFailed;
    result.Code = code;
    result.Message = reason;
    results->StartFailed(index, reason);
  };
  // Every run is watched to its end, so the results know each one's exit code; a waited one
  // returns here at its end, the windows meanwhile going on with their events.
  auto waitForEnd = [this](QEventLoop& loop) {
    waiting_ = true;
    loop.exec();
    waiting_ = false;
  };
  try {
#ifdef Q_OS_WIN
    // The engine reads its command line as one text, so it gets the text the window shows; it
    // writes into a console of its own, which the front end cannot read: only its exit counts.
    auto* process = new QProcess(results);
    process->setProgram(program);
    process->setNativeArguments(command.Text());
    process->setWorkingDirectory(folder);
    process->setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* a) {
      unsigned long flags = a->flags;
      UseNewConsole(flags, a->startupInfo);
      a->flags = flags;
    });
    QObject::connect(process, &QProcess::finished, results, [results, index](int code, QProcess::ExitStatus status) {
      results->Finish(index, code, status == QProcess::CrashExit, QString());
    });
    process->start();
    if (!process->waitForStarted(-1)) {
      startFailed(process->errorString(), process->error());
      process->deleteLater();
      return result;
    }
    if (!wait) {
      running_ << qMakePair(index, QPointer<QObject>(process));
      result.State = RRunError::Success;
      result.Code = 0;
      return result;
    }
    if (process->state() != QProcess::NotRunning) {
      QEventLoop loop;
      QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
      waitForEnd(loop);
    }
    TakeExit(result, process->exitCode(), process->exitStatus() == QProcess::CrashExit);
    return result;
#else
    auto* window = new TEngineOutputWindow(QFileInfo(program).fileName());
    window->CloseOnSuccess = command.Arguments().contains(QStringLiteral("--auto-close-console"));
    const int language = settings_.Language;
    window->AskStop = [window, language] {
      return QMessageBox::question(window, QStringLiteral("AshtintGui"),
                                   DisplayText(GuideText(TGuideText::StopRunQuestion, language))) == QMessageBox::Yes;
    };
    QObject::connect(window, &TEngineOutputWindow::Finished, results, [results, index, window](int code, bool died) {
      results->Finish(index, code, died, window->Output());
    });
    QObject::connect(window, &TEngineOutputWindow::StopChosen, results, [results, index] { results->MarkStopped(index); });
    QString reason;
    if (!window->Start(program, command.Arguments(), folder, reason)) {
      delete window;
      startFailed(reason, QProcess::FailedToStart);
      return result;
    }
    outputWindows_.removeAll(nullptr);
    outputWindows_ << window;
    if (!wait) {
      running_ << qMakePair(index, QPointer<QObject>(window));
      result.State = RRunError::Success;
      result.Code = 0;
      return result;
    }
    int exitCode = 0;
    bool crashed = false, ended = false;
    QEventLoop loop;
    QObject::connect(window, &TEngineOutputWindow::Finished, &loop, [&](int code, bool died) {
      exitCode = code;
      crashed = died;
      ended = true;
      loop.quit();
    });
    waitForEnd(loop);
    // The loop also ends when the whole program is told to quit; that is no exit code of 0.
    if (!ended) {
      result.State = RRunError::ExitError;
      return result;
    }
    TakeExit(result, exitCode, crashed);
#endif
  } catch (const std::exception& e) {
    waiting_ = false;
    result.Message = QString::fromLocal8Bit(e.what());
  }
  return result;
}

bool TConsoleExe::Running() const {
  if (waiting_) return true;
  if (!results_) return false;
  for (const REngineRun& run : results_->Runs())
    if (!run.Ended) return true;
  return false;
}

void TConsoleExe::StopRuns() {
  for (const auto& [index, run] : running_) {
    if (run.isNull() || !results_ || results_->Runs().at(static_cast<std::size_t>(index)).Ended) continue;
    results_->MarkStopped(index);
    if (auto* window = qobject_cast<TEngineOutputWindow*>(run.data()))
      window->Stop();
    else if (auto* process = qobject_cast<QProcess*>(run.data()))
      StopConsoleProgram(*process);
  }
  for (const QPointer<TEngineOutputWindow>& window : outputWindows_)
    if (!window.isNull() && window->Running()) window->Stop();
}

bool TConsoleExe::BeginClick() {
  lastRun_ = RRunError();
  if (waiting_) return false;
  if (!QFileInfo::exists(exeFile_) || engineBuild_ < MinEngineBuild) return false;
  // The runs of this click get results of their own; the earlier runs' results go.
  running_.clear();
  results_ = std::make_unique<TRunResults>(Destination, PackageExtension);
  return true;
}

bool TConsoleExe::ExecuteCommand(const TEngineCommand& command) {
  if (command.IsEmpty() || !BeginClick()) return false;
  lastRun_ = RunProcess(exeFile_, command, false);
  return lastRun_.State == RRunError::Success;
}

bool TConsoleExe::Execute(int mode) {
  if (!BeginClick()) return false;
  auto run = [this](const TEngineCommand& command, bool wait) {
    lastRun_ = RunProcess(exeFile_, command, wait);
    return lastRun_.State == RRunError::Success;
  };
  switch (mode) {
    case ModeMultiStart: {
      BuildArguments();
      if (!HasSeveralCopies()) return run(arguments_, false);
      // Settings may change while the preliminary run is waited for; the copies are this run's.
      const std::vector<TEngineCommand> copies = copies_;
      TEngineCommand preliminary;
      if (settings_.RemoveOldWotmod) {
        preliminary = BuildRemovalArguments(settings_.NoUpdateConfigs);
      } else if (!settings_.NoUpdateConfigs) {
        preliminary.AddQuoted(QStringLiteral("--wot-path"), ClientFolder());
        preliminary.Add(QStringLiteral("--auto-close-console"));
      }
      if (!preliminary.IsEmpty() && !run(preliminary, true)) return false;
      for (const TEngineCommand& copy : copies)
        if (!run(copy, false)) return false;
      return true;
    }
    case ModeSingle:
      BuildArguments();
      return run(arguments_, false);
    case ModeRemoval:
      return run(BuildRemovalArguments(true), true);
    default:
      return false;
  }
}

}  // namespace ashtint
