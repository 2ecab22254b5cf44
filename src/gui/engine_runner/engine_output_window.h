// Where the engine's console output appears on systems that give a console program no window of
// its own: a window of the front end's own that shows the output live, passes Enter on to the
// engine (it may wait for Enter before it ends) and stays open until the engine has ended.
#pragma once

#include <QPlainTextEdit>
#include <QProcess>
#include <QStringDecoder>
#include <QWidget>

#include <functional>

namespace ashtint {

class TEngineOutputWindow : public QWidget {
  Q_OBJECT

 public:
  // The window deletes itself when it is closed after the engine has ended.
  explicit TEngineOutputWindow(const QString& title);
  ~TEngineOutputWindow() override;

  // Starts program with the arguments as they are (no shell) and shows the window. False with
  // the system's reason when the process cannot be started.
  bool Start(const QString& program, const QStringList& args, const QString& workingFolder, QString& error);

  // Closes the window by itself when the engine ends with success, as a console window does
  // when the engine was told to close its console; a failure stays readable.
  bool CloseOnSuccess = false;

  bool Running() const { return process_.state() != QProcess::NotRunning; }
  bool Ended() const { return ended_; }
  QString Output() const { return view_->toPlainText(); }
  // Passes a line end to the engine, as pressing Enter in the window does.
  void SendEnter();
  // Ends the engine the way an interrupt does (it removes its temporary files on the way).
  void Stop();

  // Asked when the window is closed while the engine works; true stops the engine. Without it
  // the window stays open until the engine has ended.
  std::function<bool()> AskStop;

 signals:
  // exitCode is the process's exit status, or the signal number when it crashed.
  void Finished(int exitCode, bool crashed);
  // The user chose to stop the engine by closing the window.
  void StopChosen();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadOutput();

  QString title_;
  QPlainTextEdit* view_;
  QProcess process_;
  QStringDecoder decoder_{QStringDecoder::System};
  bool ended_ = false;
  bool closeWhenEnded_ = false;
};

}  // namespace ashtint
