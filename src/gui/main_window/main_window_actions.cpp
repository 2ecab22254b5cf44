// The main window's reactions to the user: the enabled rules, the choosers, the colours, the
// run and the removal.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

#include "client/client_search.h"
#include "client/wot_info.h"
#include "common/file_names.h"
#include "common/own_packages.h"
#include "gui/color_combo_box.h"
#include "gui/color_dialog/color_pick_dialog.h"
#include "gui/engine_runner/console_exe.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/client_selection/wot_selection.h"
#include "gui/engine_runner/run_result_window.h"
#include "gui/engine_runner/run_results.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/build_notice.h"
#include "gui/main_window/mod_captions.h"
#include "gui/main_window/run_checks.h"
#include "gui/preview/mod_previews.h"
#include "platform/locale.h"

namespace ashtint {

void TFMain::Changed() {
  if (!runner_) return;  // still loading the settings
  runner_->BuildArguments();
  previews_->Follow(record_);
  UpdateActions();
}

void TFMain::ModSwitched() {
  if (!runner_) return;
  UpdateRunCaption();
  UpdateActions();
}

void TFMain::ApplyLanguageAgain() {
  if (!runner_) return;
  language_.ApplyLanguage(record_.Language);  // the size captions and the run button
  UpdateActions();
}

int TFMain::UpdateRunCaption() {
  const int size = PlannedSizeMB(record_);
  bRun->setText(RunCaption(record_.Language, size, QChar::fromLatin1(LocaleDecimalSeparator())));
  return size;
}

void TFMain::UpdateActions() {
  if (!runner_) return;
  const RGuiSettings& s = record_;
  const bool english = KnownLanguage(s.Language) == LanguageEnglish;
  sbLangRUS->setVisible(!english);
  sbLangENG->setVisible(english);
  sbShowOptions->setVisible(!s.ShowOptions);
  sbHideOptions->setVisible(s.ShowOptions);
  pRight->setVisible(s.ShowOptions);

  const auto folderField = [&s](QLineEdit* field, QToolButton* button, bool enabled, const QString& path,
                                int placeholderRow) {
    field->setEnabled(enabled);
    button->setEnabled(enabled);
    const QString shown = enabled ? path : InterfaceText(placeholderRow, s.Language);
    if (field->text() != shown) {
      field->setText(shown);
      field->setCursorPosition(static_cast<int>(shown.size()));
    }
  };
  folderField(eModsPath, bModsPath, s.ModsPathEnable, s.ModsPath, 8);
  folderField(eConfigsPath, bConfigsPath, s.UseConfigsFolder, s.ConfigsFolder, 24);

  const auto colorRow = [this](TColorSlot slot, bool enabled) {
    for (QWidget* control : colorRows_[slot]) control->setEnabled(enabled);
  };
  colorRow(SlotDPT, s.DPTEnable);
  cbColorInsideTank->setEnabled(s.DPTEnable);
  colorRow(SlotDPTInside, s.DPTEnable && s.DPTInside);
  cbRemoveShadow->setEnabled(s.DPTEnable);
  colorRow(SlotCCT, s.CCTEnable);
  colorRow(SlotMEM, s.MEMEnable);
  colorRow(SlotCTM, s.CTMEnable);
  cbSpaceBinPatch->setEnabled(s.MEMEnable || s.CTMEnable);
  tbCamoVisibility->setEnabled(s.CamoEnable);
  eCamoVisibility->setEnabled(s.CamoEnable);
  cbResizeCamo->setEnabled(s.CamoEnable);
  cbCamoSizeRatio->setEnabled(s.CamoEnable && s.CamoDownsizing);

  cbAllInOneWotmod->setEnabled(!s.NoWotmod);
  cbSubFolderWotmod->setEnabled(!s.NoWotmod);
  cbRemoveWotmod->setEnabled(!s.NoWotmod);
  tbCPUCount->setEnabled(s.UseCPUCount);
  eCPUCount->setEnabled(s.UseCPUCount);

  // The runner keeps only an engine file it accepted; a refused one leaves this empty. A disabled
  // action says why, on the button and under the run button.
  const REngineState engine{QFileInfo(runner_->ExeFile()).isFile(), mExeVersion->text(), runner_->Running()};
  const bool client = QFileInfo(s.WotPath).isFile();
  const QStringList runCauses = ActionBlockers(s, engine, true, s.Language);
  const QStringList removalCauses = ActionBlockers(s, engine, false, s.Language);
  bRun->setEnabled(runCauses.isEmpty());
  bRun->setToolTip(runCauses.join(u'\n'));
  if (lRunReason->text() != runCauses.join(u'\n')) lRunReason->setText(runCauses.join(u'\n'));
  lRunReason->setVisible(!runCauses.isEmpty());
  bDeleteWotmod->setEnabled(removalCauses.isEmpty());
  // A rebuild needs what a run needs, except the mods of today's settings: it runs the recorded ones.
  pBuildNotice->bRebuild->setEnabled(engine.Usable && !engine.Running && client);
  bDeleteWotmod->setToolTip(removalCauses.join(u'\n'));
  bCheckUpdates->setEnabled(runner_->EngineBuild() >= 0);
  QPalette palette = eWOTFileName->palette();
  palette.setColor(QPalette::Text, client ? QPalette().color(QPalette::Text) : QColor(Qt::red));
  eWOTFileName->setPalette(palette);
}

void TFMain::SetShowOptions(bool show) {
  record_.ShowOptions = show;
  UpdateActions();
  if (show) runner_->BuildArguments();
}

void TFMain::PickColor(TComboBox* box) {
  if (!colorDialog_) colorDialog_ = std::make_unique<TColorPickDialog>(this, &language_);
  colorDialog_->ReadColorText(box->currentText());
  if (!colorDialog_->Execute(language_.Language())) return;
  box->setEditText(colorDialog_->ColorHex());
  box->ConfirmText();
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    for (TComboBox* box : colorBoxes_) {
      if (box != nullptr && box->PreviewPanel == watched) {
        if (box->isEnabled()) PickColor(box);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFMain::SetCamoVisibility(int position) {
  record_.CamoVisibility = position;
  if (eCamoVisibility->text() != QString::number(position)) eCamoVisibility->setText(QString::number(position));
  // The label fades as the camouflage does: white at 0 per cent, black at 100.
  const int grey = (100 - position) * 255 / 100;
  QPalette palette = lCamoVisible->palette();
  palette.setColor(QPalette::WindowText, QColor(grey, grey, grey));
  lCamoVisible->setPalette(palette);
  Changed();
}

void TFMain::CamoVisibilityEdited(const QString& text) {
  bool number = false;
  int value = text.isEmpty() ? 0 : text.toInt(&number);
  if (!text.isEmpty() && !number) value = tbCamoVisibility->value();
  value = std::clamp(value, 0, 100);
  eCamoVisibility->setText(QString::number(value));
  tbCamoVisibility->setValue(value);
}

void TFMain::ShowPathAtEnd(QLineEdit* field, const QString& path) {
  field->setText(path);
  field->setCursorPosition(static_cast<int>(path.size()));
  field->deselect();
}

void TFMain::ChooseFolder(TGuideText title, QString RGuiSettings::*field, QLineEdit* shown) {
  const QString start = (record_.*field).isEmpty() ? QCoreApplication::applicationDirPath() : record_.*field;
  // A window title has one short line; what the folder is for is the check box's hint.
  const QString folder = QFileDialog::getExistingDirectory(this, GuideText(title, record_.Language),
                                                           QDir(start).exists() ? start : QString());
  if (folder.isEmpty()) return;
  if (!QDir().mkpath(folder)) {
    Message(QMessageBox::Critical, InterfaceText(44, record_.Language));
    return;
  }
  record_.*field = QDir::toNativeSeparators(folder);
  ShowPathAtEnd(shown, record_.*field);
  Changed();
}

void TFMain::ChooseClientFile() {
  // Players keep their Windows games in hidden folders (~/.wine, ~/.local/share/Steam): the
  // chooser shows hidden folders and offers every Wine and Proton prefix's drive C as a place.
  // Qt's own dialog, because the system's dialogs ignore places given to them.
  QFileDialog dialog(this, GuideText(TGuideText::ChooseClientTitle, record_.Language),
                     eWOTFileName->text().isEmpty() ? QDir::homePath() : QFileInfo(eWOTFileName->text()).absolutePath());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setFilter(dialog.filter() | QDir::Hidden);
  // Lesta's clients of today run Tanki.exe; both names are clients.
  dialog.setNameFilter(QStringLiteral("WorldOfTanks (WorldOfTanks.exe Tanki.exe)"));
  QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath())};
  for (const std::string& prefix : FindWinePrefixes()) {
    const QString driveC = QDir(QFile::decodeName(QByteArray::fromStdString(prefix))).filePath(QStringLiteral("drive_c"));
    if (QFileInfo(driveC).isDir()) places << QUrl::fromLocalFile(driveC);
  }
  dialog.setSidebarUrls(places);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString file = QDir::toNativeSeparators(dialog.selectedFiles().first());
  // A program without the client around it is taken only when the player insists.
  if (!ReadClientFacts(file).PkgsFound &&
      Message(QMessageBox::Warning, WOTSelectionText(8, record_.Language), QMessageBox::Yes | QMessageBox::No) !=
          QMessageBox::Yes)
    return;
  SetClient(file);
}

void TFMain::ChooseEngineFile() {
  const QString name = QString::fromLatin1(EngineFileName);
  const QString file = QFileDialog::getOpenFileName(this, QString(), record_.ExeFile,
                                                    QStringLiteral("AshtintCreator2 (") + name + QLatin1Char(')'));
  if (!file.isEmpty()) SetEngineFile(QDir::toNativeSeparators(file));
}

void TFMain::SetEngineFile(const QString& path) {
  record_.ExeFile = path;
  runner_->SetExeFile(path);
  runner_->BuildArguments();
  UpdateActions();
}

void TFMain::CopyArguments() {
  if (mArgs->toPlainText().isEmpty()) return;
  const QString name = record_.ExeFile.isEmpty() ? QString::fromLatin1(EngineFileName)
                                                 : QFileInfo(record_.ExeFile).fileName();
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  clipboard->setText(name + QLatin1Char(' ') + mArgs->toPlainText());
}

QMessageBox::StandardButton TFMain::Message(QMessageBox::Icon icon, const QString& text,
                                            QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, QStringLiteral("AshtintGui"), DisplayText(text), buttons, this);
  // The questions name their answers ("Yes - go on with...") in the window's language.
  struct RButtonName {
    QMessageBox::StandardButton Button;
    const char* Russian;
    const char* English;
  };
  static const RButtonName names[] = {{QMessageBox::Yes, "Да", "Yes"},
                                      {QMessageBox::No, "Нет", "No"},
                                      {QMessageBox::Cancel, "Отмена", "Cancel"},
                                      {QMessageBox::Ok, "OK", "OK"}};
  const bool english = KnownLanguage(record_.Language) == LanguageEnglish;
  for (const RButtonName& name : names)
    if (QAbstractButton* button = box.button(name.Button))
      button->setText(QString::fromUtf8(english ? name.English : name.Russian));
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TFMain::Run() {
  const int size = UpdateRunCaption();
  StartRuns(record_, size, nullptr);
}

void TFMain::Rebuild() {
  const RWOTInfo client = ReadClientFacts(record_.WotPath);
  const RClientBuild* built = builds_->LatestBuilt(QFile::decodeName(QByteArray::fromStdString(client.ClientDir)));
  if (built == nullptr) return;
  qint64 bytes = 0;
  for (const RPackageWritten& package : built->Packages()) bytes += package.Size;
  const TEngineCommand recorded(built->CommandText, built->Arguments);
  // The recorded command decides where the packages go; the checks look there.
  StartRuns(RecordedSettings(*built, record_), static_cast<int>((bytes + 1048575) / 1048576), &recorded);
}

void TFMain::StartRuns(const RGuiSettings& checked, int plannedMB, const TEngineCommand* recorded) {
  // What would make the engine fail at once is said now, with its cause.
  const RWOTInfo client = ReadClientFacts(record_.WotPath);
  if (const QStringList causes = RunCheckFailures(checked, client, record_.Language); !causes.isEmpty()) {
    Message(QMessageBox::Critical,
            GuideText(TGuideText::RunRefused, record_.Language) + QStringLiteral("\n\u2022 ") +
                causes.join(QStringLiteral("\n\u2022 ")));
    return;
  }
  if (plannedMB > 0) {
    const int missing = MissingSpaceText(checked, plannedMB, Volumes);
    if (missing >= 0) {
      Message(QMessageBox::Critical, InterfaceText(missing, record_.Language));
      return;
    }
  }
  int mode = TConsoleExe::ModeSingle;
  if (recorded == nullptr && record_.MultiStart && !record_.AllInOneWotmod && runner_->HasSeveralCopies()) {
    const auto answer = Message(QMessageBox::Question, InterfaceText(41, record_.Language),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes && answer != QMessageBox::No) return;  // cancelled or closed
    if (answer == QMessageBox::No)
      cbMultiStartConsole->setChecked(false);
    else
      mode = TConsoleExe::ModeMultiStart;
  }
  bRun->setEnabled(false);
  bDeleteWotmod->setEnabled(false);
  pBuildNotice->bRebuild->setEnabled(false);
  runner_->Destination = DestinationFolder(checked, client);
  runner_->PackageExtension = QString::fromStdString(client.PackageExt);
  settings_->Save();  // the player's choices are kept whatever happens during the run
  runClient_ = client;
  const bool started = recorded != nullptr ? runner_->ExecuteCommand(*recorded) : runner_->Execute(mode);
  // The whole command of the click, whether it ran as one engine or as several copies.
  runCommand_ = recorded != nullptr ? *recorded : runner_->Command();
  UpdateActions();
  if (started) {
    // The window stays: when every run has ended it tells what was built and where.
    connect(runner_->Results(), &TRunResults::AllRunsEnded, this, &TFMain::ShowResults, Qt::UniqueConnection);
    if (runner_->Results()->AllEnded()) ShowResults();
    return;
  }
  const QString message = runner_->LastRun().Message;
  Message(QMessageBox::Critical, message.isEmpty() ? InterfaceText(47, record_.Language) : message);
}

void TFMain::ShowResults() {
  UpdateActions();
  // The record first: the result window shows the build as it is kept.
  builds_->Add(MakeClientBuild(*runner_->Results(), runClient_, runCommand_.Text(), runCommand_.Arguments()));
  const RClientBuild* build = builds_->Latest(QFile::decodeName(QByteArray::fromStdString(runClient_.ClientDir)));
  QString error;
  if (!builds_->Save(&error))
    Message(QMessageBox::Warning,
            GuideText(TGuideText::RecordNotWritten, record_.Language).arg(builds_->FileName(), error));
  RefreshBuildNotice();
  if (build == nullptr) return;
  if (resultWindow_) resultWindow_->close();
  resultWindow_ = new TRunResultWindow(*build, record_.Language, this);
  resultWindow_->setAttribute(Qt::WA_DeleteOnClose);
  connect(resultWindow_, &QDialog::finished, resultWindow_, &QObject::deleteLater);  // Escape closes it too
  resultWindow_->show();
  resultWindow_->raise();
  resultWindow_->activateWindow();
}

void TFMain::RefreshBuildNotice() {
  RBuildStatus status;
  if (!record_.WotPath.isEmpty()) status = BuildStatus(*builds_, ReadClientFacts(record_.WotPath));
  pBuildNotice->Show(status, record_.Language);
}

void TFMain::HideBuildNotice() {
  const RBuildStatus& status = pBuildNotice->Status();
  const RWOTInfo client = ReadClientFacts(record_.WotPath);
  builds_->Dismiss(QFile::decodeName(QByteArray::fromStdString(client.ClientDir)), status.CurrentVersion,
                   status.BuiltOn);
  QString error;
  if (!builds_->Save(&error))
    Message(QMessageBox::Warning,
            GuideText(TGuideText::RecordNotWritten, record_.Language).arg(builds_->FileName(), error));
  RefreshBuildNotice();
}

void TFMain::RemoveWotmods() {
  if (Message(QMessageBox::Question, WithPackageWord(InterfaceText(45, record_.Language), language_.PackageWord()),
              QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes)
    return;
  bRun->setEnabled(false);
  bDeleteWotmod->setEnabled(false);
  const bool removed = runner_->Execute(TConsoleExe::ModeRemoval);
  UpdateActions();
  if (removed) {
    RemoveOldVersionPackages();
    RefreshBuildNotice();
    Message(QMessageBox::Information, InterfaceText(46, record_.Language));
    return;
  }
  const QString message = runner_->LastRun().Message;
  Message(QMessageBox::Critical, message.isEmpty() ? InterfaceText(47, record_.Language) : message);
}

// The game ignores the folders of its earlier versions, so packages left there are harmless, but
// they are this program's and take room: the removal offers them, listed, once the engine has
// removed those of the current version.
void TFMain::RemoveOldVersionPackages() {
  const RWOTInfo client = ReadClientFacts(record_.WotPath);
  if (client.ModsDir.empty()) return;
  const QDir current(QFile::decodeName(QByteArray::fromStdString(client.ModsDir)));
  QDir modsRoot = current;
  if (!modsRoot.cdUp()) return;
  QStringList found;
  for (const QFileInfo& folder : modsRoot.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
    if (folder.absoluteFilePath() == current.absolutePath()) continue;
    for (const std::string& path : FindOldWotmods(QFile::encodeName(folder.absoluteFilePath() + u'/').toStdString()))
      found << QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
  }
  if (found.isEmpty()) return;
  // A long list shows its start and how many more there are.
  constexpr int Listed = 12;
  QStringList shown = found.mid(0, Listed);
  if (found.size() > Listed) shown << QStringLiteral("\u2026 (+%1)").arg(found.size() - Listed);
  if (Message(QMessageBox::Question,
              GuideText(TGuideText::OldVersionPackages, record_.Language).arg(shown.join(QStringLiteral("\r\n"))),
              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  QStringList failed;
  for (const QString& path : found)
    if (!QFile::remove(path)) failed << path;
  if (!failed.isEmpty())
    Message(QMessageBox::Warning,
            GuideText(TGuideText::OldPackagesNotRemoved, record_.Language).arg(failed.join(QStringLiteral("\r\n"))));
}

}  // namespace ashtint
