// The main window's start-up (the client search half a second after it opens), the client
// choices, dropped files, the update check and closing.
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "client/client_search.h"
#include "client/wot_info.h"
#include "common/file_names.h"
#include "gui/engine_runner/console_exe.h"
#include "gui/engine_runner/engine_output_window.h"
#include "gui/guide_texts.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/main_window/main_window.h"
#include "gui/client_selection/wot_selection.h"
#include "net/endpoints.h"
#include "net/web_update.h"
#include "platform/open_document.h"

namespace ashtint {

namespace {

QString LocalText(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
std::string LocalBytes(const QString& s) { return QFile::encodeName(s).toStdString(); }

// The client program of what a path leads to; empty when it leads to no client.
QString ClientExeOf(const QString& path) {
  RWOTInfo info;
  ReadWOTInfo(LocalBytes(path), info);
  return LocalText(info.ClientExe);
}

}  // namespace

std::unique_ptr<TFWOTSelection> TFMain::SelectionDialog(bool everySource) {
  const QString client = eWOTFileName->text();
  const QString preferred = client.left(client.lastIndexOf(QDir::separator()) + 1);
  return std::make_unique<TFWOTSelection>(this, record_.Language, preferred, record_.SearchCommonTest,
                                          everySource || record_.SearchSystemRegistry,
                                          everySource || record_.SearchGameCenter,
                                          everySource || record_.SearchCurrentFolder);
}

void TFMain::LoadingTimer() {
  tmLoadingGUI->stop();
  if (!QFileInfo(runner_->ExeFile()).isFile()) {
    Message(QMessageBox::Warning,
            FormatText(InterfaceText(42, record_.Language), QString::fromLatin1(EngineFileName)));
  } else if (record_.AutoCheckUpdate) {
    CheckUpdates(false);
  }

  const bool firstStart = settings_->DefaultsInUse();
  if (record_.ViewClientsPathsStartup || (!firstStart && eWOTFileName->text().isEmpty())) {
    const auto dialog = SelectionDialog(firstStart);
    if (dialog->exec() == QDialog::Accepted && !dialog->SelectedPath().isEmpty()) SetClient(dialog->SelectedPath());
  } else if (firstStart) {
    FirstStartClient();
  }
  Changed();  // the command line, and the previews of the client now chosen
  // Ready to go: the main button has the focus, so Space starts the run.
  if (bRun->isEnabled()) bRun->setFocus();
  raise();
  activateWindow();
}

// A first start looks everywhere, whatever the search switches say: one client found is taken,
// several are offered in the list, none is said with the places looked at and the file chooser.
void TFMain::FirstStartClient() {
  const std::uint8_t every = SearchOwnFolder | SearchLestaCenter | SearchWargamingCenter | SearchReplayLink | SearchRegistry;
  QStringList found = SearchClients(every, record_.SearchCommonTest);
  if (found.isEmpty()) {
    // Where a launcher installs a client by default (Windows) counts as a place too.
    const QString atDefault = ClientExeOf(DefaultWotPath());
    if (!atDefault.isEmpty() && QFileInfo(atDefault).isFile()) found << atDefault;
  }
  if (found.size() == 1) {
    SetClient(found.first());
    return;
  }
  if (found.size() > 1) {
    const auto dialog = SelectionDialog(true);
    // The list shows what was just found; its refresh searches again.
    bool first = true;
    dialog->Search = [found, &first](SArray& folders, std::uint8_t sources, bool tests) {
      if (!first) return FindWOTClients(folders, sources, tests);
      first = false;
      folders.clear();
      for (const QString& f : found) folders.push_back(QFile::encodeName(f).toStdString());
      return static_cast<int>(folders.size());
    };
    if (dialog->exec() == QDialog::Accepted && !dialog->SelectedPath().isEmpty()) SetClient(dialog->SelectedPath());
    return;
  }
  const QString places = QStringLiteral("\u2022 ") + SearchedPlaces().join(QStringLiteral("\r\n\u2022 "));
  if (Message(QMessageBox::Information, FormatText(GuideText(TGuideText::NoClientFound, record_.Language), places),
              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
    ChooseClientFile();
}

QStringList TFMain::SearchedPlaces() const {
  const int lang = record_.Language;
  QStringList places{FormatText(GuideText(TGuideText::PlaceProgramFolder, lang),
                                QDir::toNativeSeparators(QCoreApplication::applicationDirPath()))};
#ifdef Q_OS_WIN
  places << GuideText(TGuideText::PlaceWindows, lang);
#else
  const TStrArray prefixes = FindWinePrefixes();
  for (const std::string& prefix : prefixes) places << FormatText(GuideText(TGuideText::PlacePrefix, lang), LocalText(prefix));
  if (prefixes.empty()) places << FormatText(GuideText(TGuideText::PlaceNoPrefix, lang), QDir::homePath());
#endif
  return places;
}

void TFMain::UpdatePackageWord() {
  if (packageWordOf_ == record_.WotPath && !packageWordOf_.isEmpty()) return;
  packageWordOf_ = record_.WotPath;
  RWOTInfo info;
  if (!record_.WotPath.isEmpty()) ReadWOTInfo(LocalBytes(record_.WotPath), info);
  QString word = QString::fromStdString(info.PackageExt).mid(1);
  if (word.isEmpty()) word = QStringLiteral("wotmod");
  if (word == language_.PackageWord()) return;
  language_.SetPackageWord(word);
  if (runner_) language_.ApplyLanguage(record_.Language);
}

void TFMain::SelectClient() {
  const auto dialog = SelectionDialog();
  if (dialog->exec() == QDialog::Accepted && !dialog->SelectedPath().isEmpty()) SetClient(dialog->SelectedPath());
}

void TFMain::SetClient(const QString& path) {
  // A Lesta client of today runs Tanki.exe: the client's facts name the program it really has.
  record_.WotPath = ClientExeOf(path);
  ShowPathAtEnd(eWOTFileName, record_.WotPath);
  UpdatePackageWord();
  RefreshBuildNotice();
  Changed();
}

void TFMain::DropPath(const QString& path) {
  // The engine's own file name, exactly: any other file is a client or a file in one.
  if (QFileInfo(path).fileName() == QString::fromLatin1(EngineFileName)) {
    SetEngineFile(path);
    return;
  }
  // A file deep inside a client (a package, a settings file) stands for the client too.
  QFileInfo at(path);
  QString exe = ClientExeOf(path);
  while (exe.isEmpty() && !at.isRoot() && at.absolutePath() != at.absoluteFilePath()) {
    at = QFileInfo(at.absolutePath());
    exe = ClientExeOf(at.absoluteFilePath());
  }
  SetClient(exe.isEmpty() ? path : exe);
}

void TFMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFMain::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  DropPath(QDir::toNativeSeparators(urls.first().toLocalFile()));  // only the first file counts
  event->acceptProposedAction();
}

void TFMain::CheckUpdates(bool showResult) {
  update_.reset();  // a running check is forgotten: its result is dropped
  TWebUpdateUi ui;
  // The check's caption is this window's own ("AshtintGui"), as every message box here.
  ui.Inform = [this](const std::string&, const std::string& text) {
    Message(QMessageBox::Information, QString::fromLocal8Bit(text));
  };
  ui.Ask = [this](const std::string&, const std::string& text) {
    return Message(QMessageBox::Question, QString::fromLocal8Bit(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  };
  ui.OpenUrl = [](const std::string& url) { return OpenDocument(url); };
  // Called on the check's thread, possibly after this window is gone: the application object
  // carries the call to the user's thread, where the check drops it if its owner has gone.
  ui.Post = [](std::function<void()> call) {
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
  };
  ui.CloseMainForm = [this] { close(); };
  update_ = std::make_unique<TWebUpdate>(std::to_string(runner_->EngineBuild()), false, showResult, "AshtintGui",
                                         static_cast<std::int16_t>(record_.Language), "UpdateInfo_en.upd",
                                         "UpdateInfo_ru.upd", "AshtintCreator.upd", UpdateServerUrl(), std::move(ui));
}

void TFMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  // Centred on the screen, but never with an edge beyond its top or left.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    move(std::max(area.left(), area.left() + (area.width() - size.width()) / 2),
         std::max(area.top(), area.top() + (area.height() - size.height()) / 2));
  }
  // The end of a long path is what tells one client from another.
  for (QLineEdit* field : {eWOTFileName, eModsPath, eConfigsPath})
    if (!field->text().isEmpty()) ShowPathAtEnd(field, field->text());
}

void TFMain::closeEvent(QCloseEvent* event) {
  if (runner_ && runner_->Running()) {
    // The engine is not left half way without a word: stopped, it removes its temporary files.
    if (Message(QMessageBox::Question, GuideText(TGuideText::StopRunQuestion, record_.Language),
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
      event->ignore();
      return;
    }
    runner_->StopRuns();
    QDeadlineTimer deadline(10000);
    while (runner_->Running() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    for (TEngineOutputWindow* window : runner_->OutputWindows()) window->close();
  }
  settings_->Save();  // a settings file that cannot be written is no reason to keep the window open
  QWidget::closeEvent(event);
}

}  // namespace ashtint
