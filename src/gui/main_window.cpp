#include "gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/build_config.h"
#include "gui/color_combo_box.h"
#include "gui/color_pick_dialog.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/mod_captions.h"
#include "gui/picture_hint.h"
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
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(gMods);
  layout->addStretch(1);

  // The boxes hold their design lists now, which is what the built-in settings keep.
  settings_ = std::make_unique<TSettings>(settingsFile, record_, colorBoxes_);
  settings_->ShowError = [this](const QString& message) {
    QMessageBox::critical(this, QStringLiteral("AshtintGui"), DisplayText(message));
  };
  settings_->Load();
  ShowSettings();
  BindTexts();
  language_.ApplyLanguage(record_.Language);
}

TFMain::~TFMain() = default;

QCheckBox* TFMain::ModCheckBox(bool RGuiSettings::*field) {
  auto* check = new QCheckBox(this);
  connect(check, &QCheckBox::toggled, this, [this, field](bool on) { record_.*field = on; });
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
  box->OnColorChange = [this, slot](QWidget*, TComboBox*, const QString& text) { record_.*ColorField(slot) = text; };
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

void TFMain::closeEvent(QCloseEvent* event) {
  settings_->Save();  // a settings file that cannot be written is no reason to keep the window open
  QWidget::closeEvent(event);
}

}  // namespace ashtint
