#include "gui/main_window/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/build_config.h"
#include "common/file_names.h"
#include "gui/color_combo_box.h"
#include "gui/color_dialog/color_pick_dialog.h"
#include "gui/engine_runner/console_exe.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/main_window/about_box.h"
#include "gui/main_window/build_notice.h"
#include "gui/main_window/mod_captions.h"
#include "gui/preview/mod_previews.h"
#include "gui/picture_hint.h"
#include "gui/client_selection/wot_selection.h"
#include "net/endpoints.h"
#include "net/web_update.h"
#include "platform/locale.h"
#include "platform/open_document.h"
#include "client/client_search.h"

namespace ashtint {

namespace {

// Two sheets, one over the other: no font draws a copy sign everywhere.
QIcon CopyGlyph(int side, const QColor& ink) {
  QPixmap picture(side, side);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setPen(QPen(ink, std::max(1, side / 12)));
  const int sheet = side * 2 / 3;
  painter.drawRect(side - sheet - 1, 1, sheet - 1, sheet - 1);
  painter.fillRect(1, side - sheet - 1, sheet - 1, sheet - 1, QColor(Qt::white));
  painter.drawRect(1, side - sheet - 1, sheet - 1, sheet - 1);
  return QIcon(picture);
}

}  // namespace

TFMain::TFMain(TInterfaceLanguage& language, RGuiSettings& settings, const QString& settingsFile, QWidget* parent)
    : QWidget(parent), language_(language), record_(settings) {
  setObjectName(QStringLiteral("FMain"));
  setWindowTitle(QStringLiteral("AshtintGui ") + QString::fromLatin1(build::ProgramVersion));
  // A fixed window: it takes the size its contents need at the screen's scale and in the language.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setAcceptDrops(true);
  previews_ = new TModPreviews(language_, this);

  auto* layout = new QHBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(LeftPanel(), 0, Qt::AlignTop);
  layout->addWidget(RightPanel(), 0, Qt::AlignTop);

  // A first start speaks the system's language; a settings file then keeps the player's choice.
  record_.Language = SystemLanguage();
  // The boxes hold their design lists now, which is what the built-in settings keep.
  settings_ = std::make_unique<TSettings>(settingsFile, record_, colorBoxes_);
  settings_->ShowError = [this](const QString& message) { Message(QMessageBox::Critical, message); };
  settings_->Load();
  // The built-in client path is a guess: shown only when a client is really there.
  if (settings_->DefaultsInUse() && !QFileInfo(record_.WotPath).isFile()) record_.WotPath.clear();
  ShowSettings();
  BindTexts();
  connect(&language_, &TInterfaceLanguage::LanguageApplied, this, [this](int lang) {
    qtTranslation_.Apply(lang);
    pBuildNotice->Show(pBuildNotice->Status(), lang);
  });
  // What was built before: a record of its own beside the settings. A damaged record is kept
  // aside and a new one begun; it holds no choice of the player's.
  builds_ = std::make_unique<TBuildRecord>(TBuildRecord::FileBeside(settingsFile));
  builds_->Load();
  UpdatePackageWord();
  language_.ApplyLanguage(record_.Language);

  eWOTFileName->setText(record_.WotPath);
  // Both programs are installed together, so the engine is looked for beside the front end; a
  // portable folder (its settings beside the program) runs its own engine, not one a copied
  // settings file names elsewhere.
  const QString programFolder = QCoreApplication::applicationDirPath();
  const QString localEngine = QDir(programFolder).filePath(QString::fromLatin1(EngineFileName));
  const bool portable = QFileInfo(settingsFile).absolutePath() == QFileInfo(programFolder).absoluteFilePath();
  if (record_.ExeFile.isEmpty() || !QFileInfo(record_.ExeFile).isFile() ||
      (portable && QFileInfo(localEngine).isFile() &&
       QFileInfo(record_.ExeFile).canonicalFilePath() != QFileInfo(localEngine).canonicalFilePath()))
    record_.ExeFile = localEngine;
  runner_ = std::make_unique<TConsoleExe>(mExeVersion, mArgs, record_);
  runner_->SetExeFile(record_.ExeFile);
  runner_->BuildArguments();
  UpdateRunCaption();
  RefreshBuildNotice();
  UpdateActions();

  SearchClients = [](std::uint8_t sources, bool testClients) {
    SArray folders;
    FindWOTClients(folders, sources, testClients);
    QStringList found;
    for (const std::string& folder : folders) found << QFile::decodeName(QByteArray::fromStdString(folder));
    return found;
  };
  tmLoadingGUI = new QTimer(this);
  tmLoadingGUI->setObjectName(QStringLiteral("tmLoadingGUI"));
  tmLoadingGUI->setSingleShot(true);
  tmLoadingGUI->setInterval(500);
  connect(tmLoadingGUI, &QTimer::timeout, this, &TFMain::LoadingTimer);
  tmLoadingGUI->start();
  // Files come and go behind the window's back (a client uninstalled, an engine copied in), so
  // the enabled rules are applied again now and then, not only after the user's changes.
  idleRules_ = new QTimer(this);
  idleRules_->setInterval(1000);
  connect(idleRules_, &QTimer::timeout, this, &TFMain::UpdateActions);
  idleRules_->start();
}

TFMain::~TFMain() = default;

QWidget* TFMain::LeftPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("pLeft"));
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(ClientRows());

  gMods = new QGroupBox(panel);
  gMods->setObjectName(QStringLiteral("gMods"));
  auto* grid = new QGridLayout(gMods);
  grid->setColumnStretch(0, 1);
  cbModDPT = SettingCheckBox(&RGuiSettings::DPTEnable, "cbModDPT");
  cbColorInsideTank = SettingCheckBox(&RGuiSettings::DPTInside, "cbColorInsideTank");
  cbRemoveShadow = SettingCheckBox(&RGuiSettings::DPTRemoveShadow, "cbRemoveShadow");
  cbModCCT = SettingCheckBox(&RGuiSettings::CCTEnable, "cbModCCT");
  cbModMEM = SettingCheckBox(&RGuiSettings::MEMEnable, "cbModMEM");
  cbModCTM = SettingCheckBox(&RGuiSettings::CTMEnable, "cbModCTM");
  cbSpaceBinPatch = SettingCheckBox(&RGuiSettings::SpaceBinPatch, "cbSpaceBinPatch");
  cbModCAMO = SettingCheckBox(&RGuiSettings::CamoEnable, "cbModCAMO");
  // Switching a mod changes the planned size on the run button.
  for (QCheckBox* mod : {cbModDPT, cbModCCT, cbModMEM, cbModCTM, cbSpaceBinPatch, cbModCAMO})
    connect(mod, &QCheckBox::toggled, this, &TFMain::ModSwitched);
  constexpr int indent = 24;  // options of a mod stand under it
  ColorRow(grid, 0, cbModDPT, SlotDPT, QStringLiteral("PNG_DPTMODE"), 0);
  ColorRow(grid, 1, cbColorInsideTank, SlotDPTInside, QStringLiteral("PNG_DPTMODE_INSIDE"), indent);
  HintRow(grid, 2, cbRemoveShadow, QStringLiteral("PNG_DPTMODE_REMOVESHADOW"), indent);
  ColorRow(grid, 3, cbModCCT, SlotCCT, QStringLiteral("PNG_CCTMODE"), 0);
  ColorRow(grid, 4, cbModMEM, SlotMEM, QStringLiteral("PNG_MEMMODE"), 0);
  ColorRow(grid, 5, cbModCTM, SlotCTM, QStringLiteral("PNG_CTMMODE"), 0);
  HintRow(grid, 6, cbSpaceBinPatch, QStringLiteral("PNG_SPACEBIN"), indent);
  HintRow(grid, 7, cbModCAMO, QStringLiteral("PNG_CAMO"), 0);
  grid->addLayout(CamoRows(), 8, 0, 1, 4);
  column->addWidget(gMods);

  pBuildNotice = new TBuildNotice(panel);
  connect(pBuildNotice->bRebuild, &QPushButton::clicked, this, &TFMain::Rebuild);
  connect(pBuildNotice->bHide, &QPushButton::clicked, this, &TFMain::HideBuildNotice);
  column->addWidget(pBuildNotice);

  bRun = new QPushButton(panel);
  bRun->setObjectName(QStringLiteral("bRun"));
  QFont bold = bRun->font();
  bold.setBold(true);
  bRun->setFont(bold);
  bRun->setMinimumHeight(bRun->sizeHint().height() * 3 / 2);
  connect(bRun, &QPushButton::clicked, this, &TFMain::Run);
  column->addWidget(bRun);
  lRunReason = new QLabel(panel);
  lRunReason->setObjectName(QStringLiteral("lRunReason"));
  lRunReason->setWordWrap(true);
  lRunReason->setAlignment(Qt::AlignCenter);
  QPalette reason = lRunReason->palette();
  reason.setColor(QPalette::WindowText, QColor(160, 0, 0));
  lRunReason->setPalette(reason);
  column->addWidget(lRunReason);
  return panel;
}

QToolButton* TFMain::SpeedButton(const char* name, const QString& glyph) {
  auto* button = new QToolButton(this);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(glyph);
  button->setAutoRaise(true);
  button->setMinimumWidth(button->sizeHint().height());
  return button;
}

QLayout* TFMain::ClientRows() {
  eWOTFileName = new QLineEdit(this);
  eWOTFileName->setObjectName(QStringLiteral("eWOTFileName"));
  eWOTFileName->setReadOnly(true);
  eWOTFileName->setMinimumWidth(eWOTFileName->fontMetrics().averageCharWidth() * 44);
  bWOTPath = SpeedButton("bWOTPath", QStringLiteral("..."));
  bWOTPath->setAutoRaise(false);

  pmWOTSelection = new QMenu(this);
  PMSelectWOTPath = pmWOTSelection->addAction(QString(), this, &TFMain::SelectClient);
  PMSetWOTPath = pmWOTSelection->addAction(QString(), this, &TFMain::ChooseClientFile);
  pmWOTSelection->addSeparator();
  PMWotSearch = pmWOTSelection->addMenu(QString());
  MenuSwitch(PMWotSearch, &RGuiSettings::SearchCurrentFolder, 3, false);
  MenuSwitch(PMWotSearch, &RGuiSettings::SearchGameCenter, 4, false);
  MenuSwitch(PMWotSearch, &RGuiSettings::SearchSystemRegistry, 5, false);
  PMWotSearch->addSeparator();
  MenuSwitch(PMWotSearch, &RGuiSettings::SearchCommonTest, 6, false);
  connect(bWOTPath, &QToolButton::clicked, this, [this] { pmWOTSelection->popup(QCursor::pos()); });

  pmSettings = new QMenu(this);
  MenuSwitch(pmSettings, &RGuiSettings::ViewClientsPathsStartup, 35, false);
  pmSettings->addSeparator();
  MenuSwitch(pmSettings, &RGuiSettings::LogFile, 36, true);
  MenuSwitch(pmSettings, &RGuiSettings::RewriteLogFile, 37, true);
  pmSettings->addSeparator();
  MenuSwitch(pmSettings, &RGuiSettings::AutoCheckUpdate, 38, false);
  pmSettings->addSeparator();
  QAction* PMAbout = pmSettings->addAction(QString(), this, [this] { TFAbout(language_, this).exec(); });
  PMAbout->setObjectName(QStringLiteral("PMAbout"));
  language_.Bind(PMAbout, [PMAbout](int lang) { PMAbout->setText(InterfaceText(79, lang)); });
  // The check marks show the settings each time a menu opens.
  for (QMenu* menu : {pmSettings, pmWOTSelection}) {
    connect(menu, &QMenu::aboutToShow, this, [this] {
      for (auto& [item, field] : menuSwitches_) item->setChecked(record_.*field);
    });
  }

  cbModsPath = SettingCheckBox(&RGuiSettings::ModsPathEnable, "cbModsPath");
  eModsPath = new QLineEdit(this);
  eModsPath->setObjectName(QStringLiteral("eModsPath"));
  eModsPath->setReadOnly(true);
  bModsPath = SpeedButton("bModsPath", QStringLiteral("..."));
  bModsPath->setAutoRaise(false);
  connect(bModsPath, &QToolButton::clicked, this,
          [this] { ChooseFolder(TGuideText::ChooseDestinationTitle, &RGuiSettings::ModsPath, eModsPath); });

  sbOptions = SpeedButton("sbOptions", QString::fromUtf8("\u2261"));
  connect(sbOptions, &QToolButton::clicked, this, [this] { pmSettings->popup(QCursor::pos()); });
  // The language button shows the language in use; pressing it switches to the other one.
  sbLangRUS = SpeedButton("sbLangRUS", QStringLiteral("RUS"));
  sbLangENG = SpeedButton("sbLangENG", QStringLiteral("ENG"));
  connect(sbLangRUS, &QToolButton::clicked, this, [this] {
    record_.Language = LanguageEnglish;
    language_.ApplyLanguage(record_.Language);
    UpdateActions();
  });
  connect(sbLangENG, &QToolButton::clicked, this, [this] {
    record_.Language = LanguageRussian;
    language_.ApplyLanguage(record_.Language);
    UpdateActions();
  });
  sbShowOptions = SpeedButton("sbShowOptions", QString::fromUtf8("\u00bb"));
  sbHideOptions = SpeedButton("sbHideOptions", QString::fromUtf8("\u00ab"));
  connect(sbShowOptions, &QToolButton::clicked, this, [this] { SetShowOptions(true); });
  connect(sbHideOptions, &QToolButton::clicked, this, [this] { SetShowOptions(false); });

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("WOT:"), this), 0, 0);
  grid->addWidget(eWOTFileName, 0, 1);
  grid->addWidget(bWOTPath, 0, 2);
  grid->addWidget(cbModsPath, 1, 0);
  grid->addWidget(eModsPath, 1, 1);
  grid->addWidget(bModsPath, 1, 2);
  grid->setColumnStretch(1, 1);
  auto* speed = new QGridLayout;
  speed->setSpacing(0);
  speed->addWidget(sbOptions, 0, 0);
  speed->addWidget(sbLangRUS, 0, 1);
  speed->addWidget(sbLangENG, 0, 1);
  speed->addWidget(sbShowOptions, 1, 1, Qt::AlignRight);
  speed->addWidget(sbHideOptions, 1, 1, Qt::AlignRight);
  grid->addLayout(speed, 0, 3, 2, 1);
  return grid;
}

QLayout* TFMain::CamoRows() {
  // The sample: "CAMO" written in the grey the camouflage keeps at this visibility.
  pCamoVisibility = new QFrame(this);
  pCamoVisibility->setObjectName(QStringLiteral("pCamoVisibility"));
  static_cast<QFrame*>(pCamoVisibility)->setFrameShape(QFrame::Box);
  pCamoVisibility->setAutoFillBackground(true);
  QPalette sample = pCamoVisibility->palette();
  sample.setColor(QPalette::Window, QColor(0x6B, 0x7A, 0x4F));
  pCamoVisibility->setPalette(sample);
  lCamoVisible = new QLabel(QStringLiteral("CAMO"), pCamoVisibility);
  lCamoVisible->setObjectName(QStringLiteral("lCamoVisible"));
  QFont bold = lCamoVisible->font();
  bold.setBold(true);
  lCamoVisible->setFont(bold);
  auto* sampleLayout = new QHBoxLayout(pCamoVisibility);
  sampleLayout->setContentsMargins(8, 2, 8, 2);
  sampleLayout->addWidget(lCamoVisible);

  tbCamoVisibility = new QSlider(Qt::Horizontal, this);
  tbCamoVisibility->setObjectName(QStringLiteral("tbCamoVisibility"));
  tbCamoVisibility->setRange(0, 100);
  tbCamoVisibility->setSingleStep(5);
  tbCamoVisibility->setPageStep(5);
  tbCamoVisibility->setTickInterval(10);
  tbCamoVisibility->setTickPosition(QSlider::TicksBelow);
  connect(tbCamoVisibility, &QSlider::valueChanged, this, &TFMain::SetCamoVisibility);
  eCamoVisibility = new QLineEdit(this);
  eCamoVisibility->setObjectName(QStringLiteral("eCamoVisibility"));
  eCamoVisibility->setMaxLength(3);
  eCamoVisibility->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  eCamoVisibility->setFixedWidth(eCamoVisibility->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  connect(eCamoVisibility, &QLineEdit::textEdited, this, &TFMain::CamoVisibilityEdited);

  cbResizeCamo = SettingCheckBox(&RGuiSettings::CamoDownsizing, "cbResizeCamo");
  connect(cbResizeCamo, &QCheckBox::toggled, this, &TFMain::ApplyLanguageAgain);
  cbCamoSizeRatio = new QComboBox(this);
  cbCamoSizeRatio->setObjectName(QStringLiteral("cbCamoSizeRatio"));
  cbCamoSizeRatio->addItems({QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")});
  connect(cbCamoSizeRatio, &QComboBox::activated, this, [this](int item) {
    record_.CamoDownsizingRatio = item == 1 ? 4 : item == 2 ? 8 : 2;
    Changed();
    ApplyLanguageAgain();
  });

  auto* visibility = new QHBoxLayout;
  visibility->addWidget(pCamoVisibility);
  visibility->addWidget(tbCamoVisibility, 1);
  visibility->addWidget(eCamoVisibility);
  visibility->addWidget(new QLabel(QStringLiteral("%"), this));
  visibility->addWidget(previews_->Tile(PreviewCAMO));
  auto* resize = new QHBoxLayout;
  resize->addWidget(cbResizeCamo);
  resize->addWidget(cbCamoSizeRatio);
  resize->addStretch(1);
  auto* rows = new QVBoxLayout;
  rows->setContentsMargins(24, 0, 0, 0);
  rows->addLayout(visibility);
  rows->addLayout(resize);
  return rows;
}

QWidget* TFMain::RightPanel() {
  pRight = new QWidget(this);
  pRight->setObjectName(QStringLiteral("pRight"));
  auto* column = new QVBoxLayout(pRight);
  column->setContentsMargins(0, 0, 0, 0);

  gOptions = new QGroupBox(pRight);
  gOptions->setObjectName(QStringLiteral("gOptions"));
  auto* options = new QVBoxLayout(gOptions);
  cbMultiStartConsole = SettingCheckBox(&RGuiSettings::MultiStart, "cbMultiStartConsole", false);
  options->addWidget(cbMultiStartConsole);
  options->addWidget(SettingCheckBox(&RGuiSettings::AutoClose, "cbAutoCloseConsole"));
  options->addWidget(SettingCheckBox(&RGuiSettings::NoUpdateConfigs, "cbNoUpdateConfigs"));
  cbConfigsPath = SettingCheckBox(&RGuiSettings::UseConfigsFolder, "cbConfigsPath");
  options->addWidget(cbConfigsPath);
  eConfigsPath = new QLineEdit(this);
  eConfigsPath->setObjectName(QStringLiteral("eConfigsPath"));
  eConfigsPath->setReadOnly(true);
  bConfigsPath = SpeedButton("bConfigsPath", QStringLiteral("..."));
  bConfigsPath->setAutoRaise(false);
  connect(bConfigsPath, &QToolButton::clicked, this,
          [this] { ChooseFolder(TGuideText::ChooseConfigsTitle, &RGuiSettings::ConfigsFolder, eConfigsPath); });
  auto* configs = new QHBoxLayout;
  configs->setContentsMargins(20, 0, 0, 0);
  configs->addWidget(eConfigsPath, 1);
  configs->addWidget(bConfigsPath);
  options->addLayout(configs);
  options->addWidget(SettingCheckBox(&RGuiSettings::NoWotmod, "cbWithoutWotmod"));
  cbAllInOneWotmod = SettingCheckBox(&RGuiSettings::AllInOneWotmod, "cbAllInOneWotmod");
  cbSubFolderWotmod = SettingCheckBox(&RGuiSettings::SubfolderWotmod, "cbSubFolderWotmod");
  cbRemoveWotmod = SettingCheckBox(&RGuiSettings::RemoveOldWotmod, "cbRemoveWotmod");
  options->addWidget(cbAllInOneWotmod);
  options->addWidget(cbSubFolderWotmod);
  options->addWidget(cbRemoveWotmod);
  options->addWidget(SettingCheckBox(&RGuiSettings::NoHD, "cbWithoutHD"));
  cbCPUCount = SettingCheckBox(&RGuiSettings::UseCPUCount, "cbCPUCount");
  options->addWidget(cbCPUCount);
  tbCPUCount = new QSlider(Qt::Horizontal, this);
  tbCPUCount->setObjectName(QStringLiteral("tbCPUCount"));
  tbCPUCount->setRange(1, 16);
  tbCPUCount->setPageStep(1);
  tbCPUCount->setTickPosition(QSlider::TicksBelow);
  eCPUCount = new QLineEdit(this);
  eCPUCount->setObjectName(QStringLiteral("eCPUCount"));
  eCPUCount->setReadOnly(true);
  eCPUCount->setFixedWidth(eCPUCount->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  connect(tbCPUCount, &QSlider::valueChanged, this, [this](int position) {
    record_.CPUCount = position;
    eCPUCount->setText(QString::number(position));
    Changed();
  });
  auto* cpu = new QHBoxLayout;
  cpu->setContentsMargins(20, 0, 0, 0);
  cpu->addWidget(tbCPUCount, 1);
  cpu->addWidget(eCPUCount);
  options->addLayout(cpu);
  column->addWidget(gOptions);

  bDeleteWotmod = new QPushButton(pRight);
  bDeleteWotmod->setObjectName(QStringLiteral("bDeleteWotmod"));
  connect(bDeleteWotmod, &QPushButton::clicked, this, &TFMain::RemoveWotmods);
  bCheckUpdates = new QPushButton(pRight);
  bCheckUpdates->setObjectName(QStringLiteral("bCheckUpdates"));
  connect(bCheckUpdates, &QPushButton::clicked, this, [this] { CheckUpdates(true); });
  bGotoSite = new QPushButton(pRight);
  bGotoSite->setObjectName(QStringLiteral("bGotoSite"));
  connect(bGotoSite, &QPushButton::clicked, this, [] { OpenDocument(SiteUrl()); });
  column->addWidget(bDeleteWotmod);
  column->addWidget(bCheckUpdates);
  column->addWidget(bGotoSite);
  column->addLayout(ArgsPanel());
  return pRight;
}

QLayout* TFMain::ArgsPanel() {
  mExeVersion = new QLineEdit(this);
  mExeVersion->setObjectName(QStringLiteral("mExeVersion"));
  mExeVersion->setReadOnly(true);
  mExeVersion->setMinimumWidth(mExeVersion->fontMetrics().horizontalAdvance(QStringLiteral("AshtintCreator2 Version 2.22.22 Build 2222")) + 12);
  bConsolePatch = SpeedButton("bConsolePatch", QStringLiteral("..."));
  connect(bConsolePatch, &QToolButton::clicked, this, &TFMain::ChooseEngineFile);
  sbCopyArgs = SpeedButton("sbCopyArgs", QString());
  sbCopyArgs->setIcon(CopyGlyph(sbCopyArgs->fontMetrics().height(), palette().color(QPalette::ButtonText)));
  connect(sbCopyArgs, &QToolButton::clicked, this, &TFMain::CopyArguments);
  mArgs = new QPlainTextEdit(this);
  mArgs->setObjectName(QStringLiteral("mArgs"));
  mArgs->setReadOnly(true);
  mArgs->setStyleSheet(QStringLiteral("QPlainTextEdit { background: black; color: white; }"));
  mArgs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The long command line fills the box: it breaks at any character, not only at spaces.
  mArgs->setWordWrapMode(QTextOption::WrapAnywhere);
  mArgs->setFixedHeight(mArgs->fontMetrics().lineSpacing() * 7 + 12);
  auto* versionRow = new QHBoxLayout;
  versionRow->addWidget(mExeVersion, 1);
  versionRow->addWidget(bConsolePatch);
  versionRow->addWidget(sbCopyArgs);
  auto* rows = new QVBoxLayout;
  rows->addLayout(versionRow);
  rows->addWidget(mArgs);
  return rows;
}

QCheckBox* TFMain::SettingCheckBox(bool RGuiSettings::*field, const char* name, bool buildArguments) {
  auto* check = new QCheckBox(this);
  check->setObjectName(QString::fromLatin1(name));
  connect(check, &QCheckBox::toggled, this, [this, field, buildArguments](bool on) {
    record_.*field = on;
    if (buildArguments)
      Changed();
    else
      UpdateActions();
  });
  checks_.emplace_back(check, field);
  return check;
}

QAction* TFMain::MenuSwitch(QMenu* menu, bool RGuiSettings::*field, int textRow, bool buildArguments) {
  QAction* item = menu->addAction(QString());
  item->setCheckable(true);
  // Only the user's click stores: the marks set when the menu opens must not.
  connect(item, &QAction::triggered, this, [this, field, buildArguments](bool on) {
    record_.*field = on;
    if (buildArguments) Changed();
  });
  language_.Bind(item, [item, textRow](int lang) { item->setText(InterfaceText(textRow, lang)); });
  menuSwitches_.emplace_back(item, field);
  return item;
}

void TFMain::ColorRow(QGridLayout* grid, int row, QCheckBox* check, TColorSlot slot, const QString& picture,
                      int indent) {
  HintRow(grid, row, check, picture, indent);
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Box);
  panel->setFixedSize(24, 22);
  panel->setCursor(Qt::PointingHandCursor);
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
  grid->addWidget(previews_->Tile(slot), row, 4);
  colorRows_[slot] = {panel, box, pick};
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
  const RGuiSettings& s = record_;
  const QChar separator = QChar::fromLatin1(LocaleDecimalSeparator());
  l.Bind(PMSelectWOTPath, [this](int lang) { PMSelectWOTPath->setText(InterfaceText(0, lang)); });
  l.Bind(PMSetWOTPath, [this](int lang) { PMSetWOTPath->setText(InterfaceText(1, lang)); });
  l.Bind(PMWotSearch, [this](int lang) { PMWotSearch->setTitle(InterfaceText(2, lang)); });
  l.BindText(cbModsPath, 7);
  l.BindTitle(gMods, 9);
  l.Bind(cbModDPT, [this](int lang) { cbModDPT->setText(SizeCaption(10, lang, DPTPackageMB)); });
  l.BindText(cbColorInsideTank, 11);
  l.BindText(cbRemoveShadow, 12);
  l.Bind(cbModCCT, [this](int lang) { cbModCCT->setText(SizeCaption(13, lang, CCTPackageMB)); });
  l.Bind(cbModMEM, [this](int lang) { cbModMEM->setText(SizeCaption(14, lang, MEMPackageMB)); });
  l.Bind(cbModCTM, [this](int lang) { cbModCTM->setText(SizeCaption(15, lang, CTMPackageMB)); });
  l.Bind(cbSpaceBinPatch,
         [this, separator](int lang) { cbSpaceBinPatch->setText(SpaceBinCaption(lang, separator)); });
  l.Bind(cbModCAMO, [this, &s](int lang) {
    cbModCAMO->setText(SizeCaption(17, lang, CamoPackageMB(s.CamoDownsizing, s.CamoDownsizingRatio)));
  });
  l.BindText(cbResizeCamo, 18);
  l.BindTitle(gOptions, 19);
  const std::pair<const char*, int> options[] = {
      {"cbMultiStartConsole", 20}, {"cbAutoCloseConsole", 21}, {"cbNoUpdateConfigs", 22},
      {"cbConfigsPath", 23},       {"cbWithoutWotmod", 25},    {"cbAllInOneWotmod", 26},
      {"cbSubFolderWotmod", 27},   {"cbRemoveWotmod", 28},     {"cbWithoutHD", 29},
      {"cbCPUCount", 30}};
  // Each option's hint row follows its caption's in the table's hint part.
  const int hints[] = {56, 57, 59, 60, 61, 62, 63, 64, 65, 67};
  for (std::size_t i = 0; i < std::size(options); ++i) {
    auto* check = findChild<QCheckBox*>(QString::fromLatin1(options[i].first));
    l.BindText(check, options[i].second);
    l.BindHint(check, hints[i]);
  }
  l.Bind(bRun, [this](int) { UpdateRunCaption(); });
  l.BindText(bDeleteWotmod, 32);
  l.BindText(bCheckUpdates, 33);
  l.BindText(bGotoSite, 34);
  l.BindHint(sbOptions, 51);
  l.BindHint(sbShowOptions, 52);
  l.BindHint(sbHideOptions, 53);
  l.BindHint(sbLangRUS, 54);
  l.BindHint(sbLangENG, 54);
  l.BindHint(cbModsPath, 55);
  l.BindHint(bConsolePatch, 68);
  l.BindHint(sbCopyArgs, 69);
  l.BindHint(cbModDPT, 70);
  l.BindHint(cbColorInsideTank, 71);
  l.BindHint(cbRemoveShadow, 72);
  l.BindHint(cbModCCT, 73);
  l.BindHint(cbModMEM, 74);
  l.BindHint(cbModCTM, 75);
  l.BindHint(cbSpaceBinPatch, 76);
  l.BindHint(cbModCAMO, 77);
  l.BindHint(cbResizeCamo, 78);
  // The fields that stand for an unused folder say so in the language.
  l.Bind(eModsPath, [this](int) { UpdateActions(); });
  l.Bind(eWOTFileName, [this](int lang) { eWOTFileName->setPlaceholderText(GuideText(TGuideText::ReasonNoClient, lang)); });
}

void TFMain::ShowSettings() {
  for (auto& [check, field] : checks_) check->setChecked(record_.*field);
  const QSignalBlocker quiet(tbCamoVisibility);
  tbCamoVisibility->setValue(record_.CamoVisibility);
  SetCamoVisibility(tbCamoVisibility->value());
  cbCamoSizeRatio->setCurrentIndex(record_.CamoDownsizingRatio == 4 ? 1 : record_.CamoDownsizingRatio == 8 ? 2 : 0);
  tbCPUCount->setValue(record_.CPUCount);
  eCPUCount->setText(QString::number(tbCPUCount->value()));
  eModsPath->setText(record_.ModsPath);
  eConfigsPath->setText(record_.ConfigsFolder);
}

}  // namespace ashtint
