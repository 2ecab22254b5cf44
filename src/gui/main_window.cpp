#include "gui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "client/wot_info.h"
#include "common/build_config.h"
#include "common/file_names.h"
#include "gui/color_combo_box.h"
#include "gui/color_pick_dialog.h"
#include "gui/console_exe.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/mod_captions.h"
#include "gui/picture_hint.h"
#include "gui/wot_selection.h"
#include "platform/locale.h"

namespace ashtint {

TFMain::TFMain(TInterfaceLanguage& language, RGuiSettings& settings, const QString& settingsFile, QWidget* parent)
    : QWidget(parent), language_(language), record_(settings) {
  setWindowTitle(QStringLiteral("AshtintGui ") + QString::fromLatin1(build::ProgramVersion));

  sbLangRUS = new QToolButton(this);
  sbLangRUS->setText(QStringLiteral("RUS"));
  sbLangENG = new QToolButton(this);
  sbLangENG->setText(QStringLiteral("ENG"));
  // The button shows the language in use; pressing it switches to the other one.
  connect(sbLangRUS, &QToolButton::clicked, this, [this] {
    record_.Language = LanguageEnglish;
    language_.ApplyLanguage(record_.Language);
  });
  connect(sbLangENG, &QToolButton::clicked, this, [this] {
    record_.Language = LanguageRussian;
    language_.ApplyLanguage(record_.Language);
  });
  connect(&language_, &TInterfaceLanguage::LanguageApplied, this, [this] { ShowLanguageButton(); });

  gMods = new QGroupBox(this);
  auto* grid = new QGridLayout(gMods);
  grid->setColumnStretch(0, 1);
  cbModDPT = ModCheckBox(&RGuiSettings::DPTEnable);
  cbColorInsideTank = ModCheckBox(&RGuiSettings::DPTInside);
  cbRemoveShadow = ModCheckBox(&RGuiSettings::DPTRemoveShadow);
  cbModCCT = ModCheckBox(&RGuiSettings::CCTEnable);
  cbModMEM = ModCheckBox(&RGuiSettings::MEMEnable);
  cbModCTM = ModCheckBox(&RGuiSettings::CTMEnable);
  cbSpaceBinPatch = ModCheckBox(&RGuiSettings::SpaceBinPatch);
  cbModCAMO = ModCheckBox(&RGuiSettings::CamoEnable);
  constexpr int indent = 24;  // options of a mod stand under it
  ColorRow(grid, 0, cbModDPT, SlotDPT, QStringLiteral("PNG_DPTMODE"), 0);
  ColorRow(grid, 1, cbColorInsideTank, SlotDPTInside, QStringLiteral("PNG_DPTMODE_INSIDE"), indent);
  HintRow(grid, 2, cbRemoveShadow, QStringLiteral("PNG_DPTMODE_REMOVESHADOW"), indent);
  ColorRow(grid, 3, cbModCCT, SlotCCT, QStringLiteral("PNG_CCTMODE"), 0);
  ColorRow(grid, 4, cbModMEM, SlotMEM, QStringLiteral("PNG_MEMMODE"), 0);
  ColorRow(grid, 5, cbModCTM, SlotCTM, QStringLiteral("PNG_CTMMODE"), 0);
  HintRow(grid, 6, cbSpaceBinPatch, QStringLiteral("PNG_SPACEBIN"), indent);
  HintRow(grid, 7, cbModCAMO, QStringLiteral("PNG_CAMO"), 0);

  auto* top = new QHBoxLayout;
  top->addStretch(1);
  top->addWidget(sbLangRUS);
  top->addWidget(sbLangENG);
  bRun = new QPushButton(this);
  QFont bold = bRun->font();
  bold.setBold(true);
  bRun->setFont(bold);
  connect(bRun, &QPushButton::clicked, this, &TFMain::Run);
  bDeleteWotmod = new QPushButton(this);
  connect(bDeleteWotmod, &QPushButton::clicked, this, &TFMain::RemoveWotmods);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bRun, 1);
  buttons->addWidget(bDeleteWotmod);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(ClientRow());
  layout->addWidget(gMods);
  layout->addLayout(buttons);
  layout->addLayout(EngineRows());

  // The boxes hold their design lists now, which is what the built-in settings keep.
  settings_ = std::make_unique<TSettings>(settingsFile, record_, colorBoxes_);
  settings_->ShowError = [this](const QString& message) {
    QMessageBox::critical(this, QStringLiteral("AshtintGui"), DisplayText(message));
  };
  settings_->Load();
  ShowSettings();
  BindTexts();
  language_.ApplyLanguage(record_.Language);

  eWOTFileName->setText(record_.WotPath);
  const QString programFolder = QCoreApplication::applicationDirPath();
  if (record_.ExeFile.isEmpty() || !QFileInfo::exists(record_.ExeFile))
    record_.ExeFile = QDir(programFolder).filePath(QString::fromLatin1(EngineFileName));
  runner_ = std::make_unique<TConsoleExe>(mExeVersion, mArgs, record_);
  runner_->SetExeFile(record_.ExeFile);
  runner_->BuildArguments();
  UpdateActions();
}

TFMain::~TFMain() = default;

QCheckBox* TFMain::ModCheckBox(bool RGuiSettings::*field) {
  auto* check = new QCheckBox(this);
  connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
    record_.*field = on;
    Changed();
  });
  checks_.emplace_back(check, field);
  return check;
}

void TFMain::ColorRow(QGridLayout* grid, int row, QCheckBox* check, TColorSlot slot, const QString& picture,
                      int indent) {
  HintRow(grid, row, check, picture, indent);
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Box);
  panel->setFixedSize(24, 22);
  auto* box = new TComboBox(this);
  box->SetItems(DesignColorList());
  box->setEditText(record_.*ColorField(slot));
  box->setMinimumContentsLength(7);
  box->PreviewPanel = panel;
  box->OnColorChange = [this, slot](QWidget*, TComboBox*, const QString& text) {
    record_.*ColorField(slot) = text;
    Changed();
  };
  colorBoxes_[slot] = box;
  auto* pick = new QPushButton(QStringLiteral("..."), this);
  pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
  connect(pick, &QPushButton::clicked, this, [this, box] { PickColor(box); });
  panel->installEventFilter(this);  // a click on the preview does the same
  grid->addWidget(panel, row, 1);
  grid->addWidget(box, row, 2);
  grid->addWidget(pick, row, 3);
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
        PickColor(box);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFMain::HintRow(QGridLayout* grid, int row, QCheckBox* check, const QString& picture, int indent) {
  auto* cell = new QHBoxLayout;
  cell->setContentsMargins(indent, 0, 0, 0);
  cell->addWidget(check);
  auto* mark = new TStaticText(QStringLiteral(" ? "), this);
  mark->SetPicture(picture);
  mark->setCursor(Qt::WhatsThisCursor);
  cell->addWidget(mark);
  cell->addStretch(1);
  grid->addLayout(cell, row, 0);
}

void TFMain::BindTexts() {
  TInterfaceLanguage& l = language_;
  l.BindTitle(gMods, 9);
  const RGuiSettings& s = record_;
  l.Bind(cbModDPT, [this](int lang) { cbModDPT->setText(SizeCaption(10, lang, DPTPackageMB)); });
  l.BindText(cbColorInsideTank, 11);
  l.BindText(cbRemoveShadow, 12);
  l.Bind(cbModCCT, [this](int lang) { cbModCCT->setText(SizeCaption(13, lang, CCTPackageMB)); });
  l.Bind(cbModMEM, [this](int lang) { cbModMEM->setText(SizeCaption(14, lang, MEMPackageMB)); });
  l.Bind(cbModCTM, [this](int lang) { cbModCTM->setText(SizeCaption(15, lang, CTMPackageMB)); });
  l.Bind(cbSpaceBinPatch, [this](int lang) {
    cbSpaceBinPatch->setText(SpaceBinCaption(lang, QChar::fromLatin1(LocaleDecimalSeparator())));
  });
  l.Bind(cbModCAMO, [this, &s](int lang) {
    cbModCAMO->setText(SizeCaption(17, lang, CamoPackageMB(s.CamoDownsizing, s.CamoDownsizingRatio)));
  });
  l.Bind(PMSelectWOTPath, [this](int lang) { PMSelectWOTPath->setText(InterfaceText(0, lang)); });
  l.Bind(PMWotSearch, [this](int lang) { PMWotSearch->setTitle(InterfaceText(2, lang)); });
  l.BindText(bRun, 31);
  l.BindText(bDeleteWotmod, 32);
  l.BindHint(bConsolePatch, 68);
  l.BindHint(sbLangRUS, 54);
  l.BindHint(sbLangENG, 54);
  l.BindHint(cbModDPT, 70);
  l.BindHint(cbColorInsideTank, 71);
  l.BindHint(cbRemoveShadow, 72);
  l.BindHint(cbModCCT, 73);
  l.BindHint(cbModMEM, 74);
  l.BindHint(cbModCTM, 75);
  l.BindHint(cbSpaceBinPatch, 76);
  l.BindHint(cbModCAMO, 77);
}

void TFMain::ShowSettings() {
  for (auto& [check, field] : checks_) check->setChecked(record_.*field);
}

void TFMain::ShowLanguageButton() {
  sbLangRUS->setVisible(language_.Language() == LanguageRussian);
  sbLangENG->setVisible(language_.Language() == LanguageEnglish);
}

QLayout* TFMain::ClientRow() {
  eWOTFileName = new QLineEdit(this);
  eWOTFileName->setReadOnly(true);
  bWOTPath = new QToolButton(this);
  bWOTPath->setText(QStringLiteral("..."));
  pmWOTSelection = new QMenu(this);
  PMSelectWOTPath = pmWOTSelection->addAction(QString(), this, &TFMain::SelectClient);
  pmWOTSelection->addSeparator();
  PMWotSearch = pmWOTSelection->addMenu(QString());
  const std::pair<int, bool RGuiSettings::*> switches[] = {{3, &RGuiSettings::SearchCurrentFolder},
                                                           {4, &RGuiSettings::SearchGameCenter},
                                                           {5, &RGuiSettings::SearchSystemRegistry},
                                                           {6, &RGuiSettings::SearchCommonTest}};
  for (const auto& [row, field] : switches) {
    if (row == 6) PMWotSearch->addSeparator();
    QAction* item = PMWotSearch->addAction(QString());
    item->setCheckable(true);
    connect(item, &QAction::toggled, this, [this, field](bool on) { record_.*field = on; });
    language_.Bind(item, [item, row](int lang) { item->setText(InterfaceText(row, lang)); });
  }
  // The check marks show the settings each time the menu opens.
  connect(pmWOTSelection, &QMenu::aboutToShow, this, [this, switches] {
    const QList<QAction*> items = PMWotSearch->actions();
    for (int i = 0, k = 0; i < items.size(); ++i)
      if (!items[i]->isSeparator()) items[i]->setChecked(record_.*(switches[k++].second));
  });
  connect(bWOTPath, &QToolButton::clicked, this,
          [this] { pmWOTSelection->popup(bWOTPath->mapToGlobal(QPoint(0, bWOTPath->height()))); });
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("WOT:"), this));
  row->addWidget(eWOTFileName, 1);
  row->addWidget(bWOTPath);
  return row;
}

QLayout* TFMain::EngineRows() {
  mExeVersion = new QLineEdit(this);
  mExeVersion->setReadOnly(true);
  bConsolePatch = new QToolButton(this);
  bConsolePatch->setText(QStringLiteral("..."));
  connect(bConsolePatch, &QToolButton::clicked, this, &TFMain::ChooseEngineFile);
  mArgs = new QPlainTextEdit(this);
  mArgs->setReadOnly(true);
  mArgs->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: white; }"));
  // The long command line fills the box: it breaks at any character, not only at spaces.
  mArgs->setWordWrapMode(QTextOption::WrapAnywhere);
  mArgs->setFixedHeight(mArgs->fontMetrics().lineSpacing() * 6 + 12);
  auto* versionRow = new QHBoxLayout;
  versionRow->addWidget(mExeVersion, 1);
  versionRow->addWidget(bConsolePatch);
  auto* rows = new QVBoxLayout;
  rows->addLayout(versionRow);
  rows->addWidget(mArgs);
  return rows;
}

void TFMain::SetClient(const QString& path) {
  // A Lesta client of today runs Tanki.exe: the client's facts name the program it really has.
  RWOTInfo info;
  ReadWOTInfo(QFile::encodeName(path).toStdString(), info);
  QString exe = QFile::decodeName(QByteArray::fromStdString(info.ClientExe));
  if (exe.isEmpty()) exe = QDir(path).filePath(QStringLiteral("WorldOfTanks.exe"));
  record_.WotPath = exe;
  eWOTFileName->setText(exe);
  eWOTFileName->setCursorPosition(static_cast<int>(exe.size()));
  Changed();
}

void TFMain::SelectClient() {
  const QString client = eWOTFileName->text();
  TFWOTSelection dialog(this, record_.Language, client.left(client.lastIndexOf(QDir::separator()) + 1),
                        record_.SearchCommonTest, record_.SearchSystemRegistry, record_.SearchGameCenter,
                        record_.SearchCurrentFolder);
  if (dialog.exec() == QDialog::Accepted && !dialog.SelectedPath().isEmpty()) SetClient(dialog.SelectedPath());
}

void TFMain::ChooseEngineFile() {
  const QString name = QString::fromLatin1(EngineFileName);
  const QString file = QFileDialog::getOpenFileName(this, QString(), record_.ExeFile,
                                                    name + QStringLiteral(" (") + name + QLatin1Char(')'));
  if (file.isEmpty()) return;
  record_.ExeFile = file;
  runner_->SetExeFile(file);
  UpdateActions();
}

void TFMain::Changed() {
  if (!runner_) return;  // still loading the settings
  runner_->BuildArguments();
  UpdateActions();
}

void TFMain::UpdateActions() {
  const bool client = QFileInfo(record_.WotPath).isFile();
  const bool engine = QFileInfo::exists(runner_->ExeFile()) && !runner_->Waiting();
  const RGuiSettings& s = record_;
  const bool anyMod = s.DPTEnable || s.CCTEnable || s.MEMEnable || s.CTMEnable || s.CamoEnable;
  bRun->setEnabled(engine && client && anyMod);
  bDeleteWotmod->setEnabled(engine && client);
  QPalette palette = eWOTFileName->palette();
  palette.setColor(QPalette::Text, client ? QPalette().color(QPalette::Text) : QColor(Qt::red));
  eWOTFileName->setPalette(palette);
}

void TFMain::Message(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QStringLiteral("AshtintGui"), DisplayText(text), QMessageBox::Ok, this);
  box.exec();
}

void TFMain::Run() {
  int mode = TConsoleExe::ModeSingle;
  if (record_.MultiStart && !record_.AllInOneWotmod && runner_->HasSeveralCopies()) {
    const auto answer = QMessageBox::question(this, QStringLiteral("AshtintGui"),
                                              DisplayText(InterfaceText(41, record_.Language)),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return;
    if (answer == QMessageBox::No)
      record_.MultiStart = false;
    else
      mode = TConsoleExe::ModeMultiStart;
  }
  bRun->setEnabled(false);
  bDeleteWotmod->setEnabled(false);
  const bool started = runner_->Execute(mode);
  UpdateActions();
  if (started) {
    close();  // saves the settings; the engine goes on by itself
    return;
  }
  const QString message = runner_->LastRun().Message;
  Message(QMessageBox::Critical, message.isEmpty() ? InterfaceText(47, record_.Language) : message);
}

void TFMain::RemoveWotmods() {
  if (QMessageBox::question(this, QStringLiteral("AshtintGui"), DisplayText(InterfaceText(45, record_.Language)),
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  bRun->setEnabled(false);
  bDeleteWotmod->setEnabled(false);
  const bool removed = runner_->Execute(TConsoleExe::ModeRemoval);
  UpdateActions();
  if (removed) {
    Message(QMessageBox::Information, InterfaceText(46, record_.Language));
    return;
  }
  const QString message = runner_->LastRun().Message;
  Message(QMessageBox::Critical, message.isEmpty() ? InterfaceText(47, record_.Language) : message);
}

void TFMain::closeEvent(QCloseEvent* event) {
  // The outcome of a removal run still being waited for needs this window.
  if (runner_ && runner_->Waiting()) {
    event->ignore();
    return;
  }
  settings_->Save();  // a settings file that cannot be written is no reason to keep the window open
  QWidget::closeEvent(event);
}

}  // namespace ashtint
