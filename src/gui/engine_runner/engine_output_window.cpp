#include "gui/engine_runner/engine_output_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/exit_codes.h"

namespace ashtint {

TEngineOutputWindow::TEngineOutputWindow(const QString& title) : title_(title), view_(new QPlainTextEdit(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title_);
  view_->setReadOnly(true);
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: #C0C0C0; }"));
  view_->setWordWrapMode(QTextOption::WrapAnywhere);
  view_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  const QFontMetrics metrics(view_->font());
  resize(metrics.horizontalAdvance(QLatin1Char('0')) * 100 + 40, metrics.lineSpacing() * 30 + 20);

  process_.setProcessChannelMode(QProcess::MergedChannels);
  connect(&process_, &QProcess::readyReadStandardOutput, this, &TEngineOutputWindow::ReadOutput);
  connect(&process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
    ReadOutput();
    ended_ = true;
    const bool crashed = status == QProcess::CrashExit;
    // The engine's exit code in the title, without words, reads the same in both languages; a
    // death by signal shows as the negative signal number.
    setWindowTitle(title_ + QStringLiteral(" (") +
                   QString::number(crashed ? -exitCode : FromProcessExitStatus(exitCode)) + QLatin1Char(')'));
    emit Finished(exitCode, crashed);
    if (closeWhenEnded_ || (CloseOnSuccess && !crashed && exitCode == 0)) close();
  });
}

TEngineOutputWindow::~TEngineOutputWindow() {
  // Only when the program itself ends with the engine still running.
  if (Running()) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

bool TEngineOutputWindow::Start(const QString& program, const QStringList& args, const QString& workingFolder,
                                QString& error) {
  process_.setProgram(program);
  process_.setArguments(args);
  process_.setWorkingDirectory(workingFolder);
  process_.start(QIODevice::ReadWrite | QIODevice::Unbuffered);
  if (!process_.waitForStarted(-1)) {
    error = process_.errorString();
    return false;
  }
  show();
  return true;
}

void TEngineOutputWindow::ReadOutput() {
  QString text = decoder_.decode(process_.readAllStandardOutput());
  // The engine ends its lines with CR LF as on a console.
  text.remove(u'\r');
  if (text.isEmpty()) return;
  QScrollBar* bar = view_->verticalScrollBar();
  const bool atBottom = bar->value() == bar->maximum();
  QTextCursor end(view_->document());
  end.movePosition(QTextCursor::End);
  end.insertText(text);
  if (atBottom) bar->setValue(bar->maximum());
}

void TEngineOutputWindow::SendEnter() {
  if (!Running()) return;
  process_.write("\n");
  QTextCursor end(view_->document());
  end.movePosition(QTextCursor::End);
  end.insertText(QStringLiteral("\n"));
}

bool TEngineOutputWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      SendEnter();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TEngineOutputWindow::Stop() {
  if (Running()) process_.terminate();
}

void TEngineOutputWindow::closeEvent(QCloseEvent* event) {
  if (Running()) {
    event->ignore();
    // An engine that only waits for Enter has done its work: closing answers it.
    if (view_->toPlainText().trimmed().endsWith(QStringLiteral("Press enter to exit..."))) {
      closeWhenEnded_ = true;
      SendEnter();
      return;
    }
    // Otherwise the engine is not ended half way without the user's word.
    if (AskStop && AskStop() && Running()) {
      closeWhenEnded_ = true;
      emit StopChosen();
      Stop();
    }
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace ashtint
