#include "gui/color_dialog/color_pick_form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

#include "colorpicker/color_bars.h"
#include "colorpicker/color_models.h"
#include "colorpicker/color_preview.h"
#include "colorpicker/hexa_color_picker.h"
#include "colorpicker/hs_color_picker.h"
#include "gui/color_dialog/color_adjust.h"
#include "gui/color_dialog/color_names.h"
#include "gui/color_dialog/color_pick_icons.h"
#include "gui/color_dialog/color_pick_texts.h"
#include "gui/color_dialog/pipette_button.h"

namespace ashtint {

namespace {

// The chroma shown as a percentage of the largest a and b give: 128 x the square root of 2.
constexpr double ChromaScale = 128.0 * std::numbers::sqrt2;

// Sets a flag for as long as it lives and puts the old value back after.
class TFlag {
 public:
  explicit TFlag(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~TFlag() { flag_ = was_; }
  TFlag(const TFlag&) = delete;
  TFlag& operator=(const TFlag&) = delete;

 private:
  bool& flag_;
  bool was_;
};

QToolButton* SpeedButton(QWidget* parent, TPickGlyph glyph) {
  auto* button = new QToolButton(parent);
  button->setIcon(PickGlyphIcon(glyph));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

int Percent(int byte) { return RoundHalfEven(byte * 100.0 / 255.0); }
int Byte(int percent) { return std::clamp(RoundHalfEven(percent * 255.0 / 100.0), 0, 255); }

}  // namespace

TColorPick::TColorPick(QWidget* parent) : QDialog(parent) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* top = new QHBoxLayout;
  top->addWidget(BuildPickers());
  top->addWidget(BuildPreviewsAndButtons());
  top->addWidget(BuildFields());
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(BuildBottom());
  // A fixed dialog border: the window has the size its controls need.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  EnableHistoryButtons();
  ApplyLanguage(Language);
  FillNamedColors(Language, false);
}

QWidget* TColorPick::BuildPickers() {
  pcScheme = new QTabWidget(this);
  HexaColorPicker = new THexaColorPicker;
  pcScheme->addTab(HexaColorPicker, QStringLiteral("Hexa Color"));

  auto* hsl = new QWidget;
  auto* hslLayout = new QHBoxLayout(hsl);
  HSColorPicker = new THSColorPicker;
  LColorPicker = new TLColorPicker;
  hslLayout->addWidget(HSColorPicker, 1);
  hslLayout->addWidget(LColorPicker);
  pcScheme->addTab(hsl, QStringLiteral("HSL Color"));

  auto* hsb = new QWidget;
  auto* hsbLayout = new QHBoxLayout(hsb);
  HSVColorPicker = new THSVColorPicker;
  VColorPicker = new TVColorPicker;
  hsbLayout->addWidget(HSVColorPicker, 1);
  hsbLayout->addWidget(VColorPicker);
  pcScheme->addTab(hsb, QStringLiteral("HSB Color"));

  connect(HexaColorPicker, &THexaColorPicker::ColorChanged, this, [this](const QColor& color) {
    if (!updating_[vHexa]) FromView(vHexa, color);
  });
  connect(HSColorPicker, &THSColorPicker::ColorChanged, this, [this](const QColor& color) {
    if (updating_[vHS]) return;
    LColorPicker->SetHueSaturation(HSColorPicker->Hue(), HSColorPicker->Saturation());
    FromView(vHS, color);
  });
  connect(LColorPicker, &TColorBar::ColorChanged, this, [this](const QColor& color) {
    if (updating_[vHS]) return;
    HSColorPicker->SetLuminance(LColorPicker->Luminance());
    FromView(vHS, color);
  });
  connect(HSVColorPicker, &THSVColorPicker::ColorChanged, this, [this](const QColor& color) {
    if (updating_[vHSV]) return;
    VColorPicker->SetHueSaturation(HSVColorPicker->Hue(), HSVColorPicker->Saturation());
    FromView(vHSV, color);
  });
  connect(VColorPicker, &TColorBar::ColorChanged, this, [this](const QColor& color) {
    if (updating_[vHSV]) return;
    HSVColorPicker->SetValue(VColorPicker->Value());
    FromView(vHSV, color);
  });
  return pcScheme;
}

QWidget* TColorPick::BuildPreviewsAndButtons() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  mbNewColorPreview = new TColorPreview(panel);
  mbCurrentColorPreview = new TColorPreview(panel);
  lNewColor = new QLabel(panel);
  lCurrentColor = new QLabel(panel);
  lNewColor->setAlignment(Qt::AlignCenter);
  lCurrentColor->setAlignment(Qt::AlignCenter);
  grid->addWidget(mbNewColorPreview, 0, 0);
  grid->addWidget(mbCurrentColorPreview, 0, 1);
  grid->addWidget(lNewColor, 1, 0);
  grid->addWidget(lCurrentColor, 1, 1);
  connect(mbNewColorPreview, &TColorPreview::ColorChanged, this, [this] { NewColorSet(); });
  connect(mbCurrentColorPreview, &TColorPreview::ColorChanged, this, [this] { CurrentColorSet(); });

  sbHexaReset = SpeedButton(panel, TPickGlyph::HexaReset);
  sbLighter = SpeedButton(panel, TPickGlyph::Lighter);
  sbDarker = SpeedButton(panel, TPickGlyph::Darker);
  sbInvers = SpeedButton(panel, TPickGlyph::Invert);
  sbGrayscale = SpeedButton(panel, TPickGlyph::Grayscale);
  sbPipetka = new TPipetteButton(panel);
  sbPipetka->setIcon(PickGlyphIcon(TPickGlyph::Pipette));
  sbPipetka->setAutoRaise(true);
  sbPipetka->setFocusPolicy(Qt::NoFocus);
  auto* tools = new QHBoxLayout;
  for (QToolButton* b : {sbHexaReset, sbLighter, sbDarker, sbInvers, sbGrayscale, static_cast<QToolButton*>(sbPipetka)})
    tools->addWidget(b);
  grid->addLayout(tools, 2, 0, 1, 2);

  sbUndoBegin = SpeedButton(panel, TPickGlyph::UndoBegin);
  sbUndo = SpeedButton(panel, TPickGlyph::Undo);
  sbRedo = SpeedButton(panel, TPickGlyph::Redo);
  sbRedoEnd = SpeedButton(panel, TPickGlyph::RedoEnd);
  auto* history = new QHBoxLayout;
  history->addStretch(1);
  for (QToolButton* b : {sbUndoBegin, sbUndo, sbRedo, sbRedoEnd}) history->addWidget(b);
  history->addStretch(1);
  grid->addLayout(history, 3, 0, 1, 2);

  bWebSafe = new QPushButton(QStringLiteral("Web-Safe"), panel);
  bWebSafe->setAutoDefault(false);
  grid->addWidget(bWebSafe, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);

  connect(sbHexaReset, &QToolButton::clicked, this, [this] {
    pcScheme->setCurrentIndex(0);
    HexaColorPicker->SetIntensity(100);
  });
  connect(sbLighter, &QToolButton::clicked, this, [this] { SetNewColor(Lighter(NewColor())); });
  connect(sbDarker, &QToolButton::clicked, this, [this] { SetNewColor(Darker(NewColor())); });
  connect(sbInvers, &QToolButton::clicked, this, [this] { SetNewColor(Inverted(NewColor())); });
  connect(sbGrayscale, &QToolButton::clicked, this, [this] { SetNewColor(Grayscale(NewColor())); });
  connect(bWebSafe, &QPushButton::clicked, this, [this] { SetNewColor(WebSafe(NewColor())); });
  connect(sbUndoBegin, &QToolButton::clicked, this, [this] { UndoBegin(); });
  connect(sbUndo, &QToolButton::clicked, this, [this] { Undo(); });
  connect(sbRedo, &QToolButton::clicked, this, [this] { Redo(); });
  connect(sbRedoEnd, &QToolButton::clicked, this, [this] { RedoEnd(); });
  connect(sbPipetka, &TPipetteButton::PickStarted, this, [this] { PipetteStarted(); });
  connect(sbPipetka, &TPipetteButton::Picked, this, [this](const QColor& color) {
    if (!pipetteActive_) return;
    pipettePicked_ = true;
    SetNewColor(color);
  });
  connect(sbPipetka, &TPipetteButton::PickEnded, this, [this] { PipetteEnded(); });
  connect(sbPipetka, &TPipetteButton::Refused, this, [this] {
    sbPipetka->setToolTip(ColorPickText(PipetteRefusedRow, Language));
    QToolTip::showText(sbPipetka->mapToGlobal(sbPipetka->rect().bottomLeft()), sbPipetka->toolTip(), sbPipetka);
  });
  return panel;
}

TColorField* TColorPick::Field(TFieldKind kind, const char* hint, TView view) {
  auto* field = new TColorField(kind, this);
  field->setToolTip(QString::fromLatin1(hint));  // the same in both languages
  connect(field, &TColorField::Edited, this, [this, view] {
    QColor color;
    switch (view) {
      case vHSL: color = FromHsl(elH->Number(), Byte(elS->Number()), Byte(elL->Number())); break;
      case vHSB: color = FromHsb(elH_->Number(), Byte(elS_->Number()), Byte(elB_->Number())); break;
      case vLab: color = FromLab({double(elCIEL->Number()), double(elCIEa->Number()), double(elCIEb->Number())}); break;
      case vLch: {
        const double chroma = RoundHalfEven(elLabC->Number() * ChromaScale / 100.0);
        color = FromLab(LabOf(RLch{double(elLabL->Number()), chroma, double(elLabH->Number())}));
        break;
      }
      case vCmyk: color = FromCmyk(elC->Number(), elM->Number(), elY->Number(), elK->Number()); break;
      case vRgbFields: color = QColor(eR->Number(), eG->Number(), eB->Number()); break;
      case vHex: color = ColorOfValue(elHex->Number()); break;
      default: return;
    }
    FromView(view, color);
  });
  return field;
}

QWidget* TColorPick::BuildFields() {
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(3);
  // One column of label and field per model, its name above.
  auto column = [&](int col, const QString& title, std::initializer_list<std::pair<const char*, TColorField*>> fields) {
    auto* name = new QLabel(title, panel);
    name->setAlignment(Qt::AlignCenter);
    grid->addWidget(name, 0, col, 1, 2);
    int row = 1;
    for (const auto& [label, field] : fields) {
      grid->addWidget(new QLabel(QString::fromLatin1(label), panel), row, col, Qt::AlignRight);
      grid->addWidget(field, row, col + 1);
      ++row;
    }
  };
  elH = Field(TFieldKind::Degree, "Hue, deg", vHSL);
  elS = Field(TFieldKind::Percent, "Saturation, %", vHSL);
  elL = Field(TFieldKind::Percent, "Lightness, %", vHSL);
  elH_ = Field(TFieldKind::Degree, "Hue, deg", vHSB);
  elS_ = Field(TFieldKind::Percent, "Saturation, %", vHSB);
  elB_ = Field(TFieldKind::Percent, "Brightness, %", vHSB);
  elCIEL = Field(TFieldKind::Percent, "CIE Lightness, %", vLab);
  elCIEa = Field(TFieldKind::Axis, "CIE a-axis, -128..127", vLab);
  elCIEb = Field(TFieldKind::Axis, "CIE b-axis, -128..127", vLab);
  elLabL = Field(TFieldKind::Percent, "CIE Lightness, %", vLch);
  elLabC = Field(TFieldKind::Percent, "Chroma, %", vLch);
  elLabH = Field(TFieldKind::Degree, "Hue, deg", vLch);
  elC = Field(TFieldKind::Percent, "Cyan, %", vCmyk);
  elM = Field(TFieldKind::Percent, "Magenta, %", vCmyk);
  elY = Field(TFieldKind::Percent, "Yellow, %", vCmyk);
  elK = Field(TFieldKind::Percent, "BlacK, %", vCmyk);
  column(0, QStringLiteral("HSL"), {{"H", elH}, {"S", elS}, {"L", elL}});
  column(2, QStringLiteral("HSB"), {{"H", elH_}, {"S", elS_}, {"B", elB_}});
  column(4, QStringLiteral("L*a*b*"), {{"L", elCIEL}, {"a", elCIEa}, {"b", elCIEb}});
  column(6, QStringLiteral("LCh"), {{"L", elLabL}, {"C", elLabC}, {"H", elLabH}});
  column(8, QStringLiteral("CMYK"), {{"C", elC}, {"M", elM}, {"Y", elY}, {"K", elK}});
  grid->setColumnMinimumWidth(1, 0);

  // RGB: a track bar and a field per channel, then the hex field.
  eR = Field(TFieldKind::Byte, "Red, 0..255", vRgbFields);
  eG = Field(TFieldKind::Byte, "Green, 0..255", vRgbFields);
  eB = Field(TFieldKind::Byte, "Blue, 0..255", vRgbFields);
  elHex = Field(TFieldKind::Hex, "Hex, 0..FFFFFF", vHex);
  auto* rgb = new QGridLayout;
  int row = 0;
  for (auto [label, bar, field] : {std::tuple{"R", &tbR, eR}, std::tuple{"G", &tbG, eG}, std::tuple{"B", &tbB, eB}}) {
    *bar = new QSlider(Qt::Horizontal, panel);
    (*bar)->setRange(0, 255);
    (*bar)->setToolTip(field->toolTip());
    rgb->addWidget(new QLabel(QString::fromLatin1(label), panel), row, 0);
    rgb->addWidget(*bar, row, 1);
    rgb->addWidget(field, row, 2);
    connect(*bar, &QSlider::valueChanged, this, [this] {
      if (!updating_[vRgbBars]) FromView(vRgbBars, QColor(tbR->value(), tbG->value(), tbB->value()));
    });
    ++row;
  }
  rgb->addWidget(new QLabel(QStringLiteral("Hex"), panel), row, 0);
  rgb->addWidget(elHex, row, 1, 1, 2, Qt::AlignLeft);
  grid->addLayout(rgb, 5, 0, 1, 10);
  grid->setRowMinimumHeight(4, 8);
  grid->setRowStretch(6, 1);
  return panel;
}

QWidget* TColorPick::BuildBottom() {
  auto* panel = new QWidget(this);
  auto* layout = new QGridLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  cbNamedColors = new QComboBox(panel);
  cbNamedColors->setMaxVisibleItems(12);
  cbNamedColors->setMinimumContentsLength(24);
  cbNamedColors->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  sbFindColorName = SpeedButton(panel, TPickGlyph::Find);
  sbNamedColorRUS = new QToolButton(panel);
  sbNamedColorRUS->setText(QStringLiteral("RUS"));
  sbNamedColorENG = new QToolButton(panel);
  sbNamedColorENG->setText(QStringLiteral("ENG"));
  lResultFormat = new QLabel(panel);
  cbColorResult = new QComboBox(panel);
  cbColorResult->addItems({QStringLiteral("RGB"), QStringLiteral("Dec"), QStringLiteral("Hex"), QStringLiteral("C++"),
                           QStringLiteral("Pascal")});
  cbColorResult->setCurrentIndex(2);
  eColorResult = new QLineEdit(panel);
  eColorResult->setReadOnly(true);
  eColorResult->setMinimumWidth(eColorResult->fontMetrics().horizontalAdvance(QStringLiteral("255,255,255")) + 16);
  sbCopy = SpeedButton(panel, TPickGlyph::Copy);
  bOK = new QPushButton(panel);
  bOK->setDefault(true);
  bCancel = new QPushButton(panel);
  bCancel->setAutoDefault(false);

  layout->addWidget(cbNamedColors, 0, 0);
  layout->addWidget(sbFindColorName, 0, 1);
  layout->addWidget(sbNamedColorRUS, 0, 2);
  layout->addWidget(sbNamedColorENG, 0, 2);
  layout->setColumnStretch(3, 1);
  layout->addWidget(lResultFormat, 0, 4);
  layout->addWidget(cbColorResult, 0, 5);
  layout->addWidget(eColorResult, 0, 6);
  layout->addWidget(sbCopy, 0, 7);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(bOK);
  buttons->addWidget(bCancel);
  layout->addLayout(buttons, 1, 0, 1, 8);

  connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cbNamedColors, &QComboBox::activated, this, [this](int index) { SelectNamedColor(index); });
  connect(sbNamedColorRUS, &QToolButton::clicked, this, [this] { SwitchNamedColors(); });
  connect(sbNamedColorENG, &QToolButton::clicked, this, [this] { SwitchNamedColors(); });
  connect(sbFindColorName, &QToolButton::clicked, this, [this] { FindColorName(); });
  connect(cbColorResult, &QComboBox::currentIndexChanged, this, [this] { ShowResult(); });
  connect(sbCopy, &QToolButton::clicked, this, [this] {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(eColorResult->text());
  });
  return panel;
}

void TColorPick::ApplyLanguage(int language) {
  Language = KnownLanguage(language);
  auto text = [this](int row) { return ColorPickText(row, Language); };
  setWindowTitle(text(0));
  bOK->setText(text(1));
  bCancel->setText(text(2));
  lNewColor->setText(text(3));
  lCurrentColor->setText(text(4));
  sbHexaReset->setToolTip(text(5));
  sbLighter->setToolTip(text(6));
  sbDarker->setToolTip(text(7));
  sbInvers->setToolTip(text(8));
  sbGrayscale->setToolTip(text(9));
  sbPipetka->setToolTip(text(10));
  sbUndoBegin->setToolTip(text(11));
  sbUndo->setToolTip(text(12));
  sbRedo->setToolTip(text(13));
  sbRedoEnd->setToolTip(text(14));
  sbFindColorName->setToolTip(text(15));
  sbCopy->setToolTip(text(16));
  lResultFormat->setText(text(17));
  for (int page = 0; page < pcScheme->count(); ++page) pcScheme->setTabText(page, text(PickerPagesRow + page));
  bWebSafe->setText(text(WebSafeRow));
  mbNewColorPreview->setToolTip(text(3) + QStringLiteral(": #") + HexOf(NewColor()));
  CurrentColorSet();
}

QColor TColorPick::NewColor() const { return mbNewColorPreview->Color(); }

void TColorPick::SetNewColor(const QColor& color) { mbNewColorPreview->SetColor(color); }

void TColorPick::Write(TView view, const std::function<void()>& write) {
  if (updating_[view]) return;
  TFlag guard(updating_[view]);
  write();
}

void TColorPick::FromView(TView view, const QColor& color) {
  TFlag guard(updating_[view]);
  SetNewColor(color);
}

void TColorPick::NewColorSet() {
  const QColor color = NewColor();
  Write(vHexa, [&] { HexaColorPicker->SetSelectedColor(color); });
  Write(vHS, [&] {
    HSColorPicker->SetSelectedColor(color);
    LColorPicker->SetHueSaturation(HSColorPicker->Hue(), HSColorPicker->Saturation());
    LColorPicker->SetLuminance(HSColorPicker->Luminance());
  });
  Write(vHSV, [&] {
    HSVColorPicker->SetSelectedColor(color);
    VColorPicker->SetHueSaturation(HSVColorPicker->Hue(), HSVColorPicker->Saturation());
    VColorPicker->SetValue(HSVColorPicker->Value());
  });
  Write(vHSL, [&] {
    const RHsl hsl = HslOf(color);
    elH->SetFieldText(QString::number(hsl.H));
    elS->SetFieldText(QString::number(Percent(hsl.S)));
    elL->SetFieldText(QString::number(Percent(hsl.L)));
  });
  Write(vHSB, [&] {
    const RHsb hsb = HsbOf(color);
    elH_->SetFieldText(QString::number(hsb.H));
    elS_->SetFieldText(QString::number(Percent(hsb.S)));
    elB_->SetFieldText(QString::number(Percent(hsb.B)));
  });
  const RLab lab = LabOf(color);
  Write(vLab, [&] {
    elCIEL->SetFieldText(QString::number(RoundHalfEven(lab.L)));
    elCIEa->SetFieldText(QString::number(RoundHalfEven(lab.A)));
    elCIEb->SetFieldText(QString::number(RoundHalfEven(lab.B)));
  });
  Write(vLch, [&] {
    const RLch lch = LchOf(lab);
    elLabL->SetFieldText(QString::number(RoundHalfEven(lch.L)));
    elLabC->SetFieldText(QString::number(RoundHalfEven(lch.C * 100.0 / ChromaScale)));
    elLabH->SetFieldText(QString::number(RoundHalfEven(lch.H)));
  });
  Write(vCmyk, [&] {
    const RCmyk cmyk = CmykOf(color);
    elC->SetFieldText(QString::number(cmyk.C));
    elM->SetFieldText(QString::number(cmyk.M));
    elY->SetFieldText(QString::number(cmyk.Y));
    elK->SetFieldText(QString::number(cmyk.K));
  });
  Write(vRgbFields, [&] {
    eR->SetFieldText(QString::number(color.red()));
    eG->SetFieldText(QString::number(color.green()));
    eB->SetFieldText(QString::number(color.blue()));
  });
  Write(vRgbBars, [&] {
    tbR->setValue(color.red());
    tbG->setValue(color.green());
    tbB->setValue(color.blue());
  });
  Write(vHex, [&] { elHex->SetFieldText(HexOf(color)); });
  ShowResult();
  if (!historySuppressed_) {
    ++HistoryPos;
    History.resize(HistoryPos);
    History.append(color);
    EnableHistoryButtons();
    sbRedo->setEnabled(false);
    sbRedoEnd->setEnabled(false);
  }
  mbNewColorPreview->setToolTip(ColorPickText(3, Language) + QStringLiteral(": #") + HexOf(color));
}

void TColorPick::CurrentColorSet() {
  mbCurrentColorPreview->setToolTip(ColorPickText(4, Language) + QStringLiteral(": #") +
                                    HexOf(mbCurrentColorPreview->Color()));
}

void TColorPick::ShowResult() { eColorResult->setText(ColorResultText(NewColor(), FormatOfIndex(cbColorResult->currentIndex()))); }

void TColorPick::EnableHistoryButtons() {
  const bool earlier = HistoryPos > 0;
  const bool later = HistoryPos >= 0 && HistoryPos < History.size() - 1;
  sbUndoBegin->setEnabled(earlier);
  sbUndo->setEnabled(earlier);
  sbRedo->setEnabled(later);
  sbRedoEnd->setEnabled(later);
}

void TColorPick::ShowHistoryEntry() {
  TFlag suppressed(historySuppressed_);
  SetNewColor(History[HistoryPos]);
  EnableHistoryButtons();
}

void TColorPick::UndoBegin() {
  if (History.isEmpty()) return;
  HistoryPos = 0;
  ShowHistoryEntry();
}

void TColorPick::Undo() {
  if (History.isEmpty()) return;
  HistoryPos = std::max(0, HistoryPos - 1);
  ShowHistoryEntry();
}

void TColorPick::Redo() {
  if (HistoryPos + 1 >= History.size()) return EnableHistoryButtons();
  ++HistoryPos;
  ShowHistoryEntry();
}

void TColorPick::RedoEnd() {
  if (HistoryPos + 1 >= History.size()) return EnableHistoryButtons();
  HistoryPos = static_cast<int>(History.size()) - 1;
  ShowHistoryEntry();
}

void TColorPick::done(int result) {
  if (pipetteActive_) PipetteEnded();
  History.clear();
  HistoryPos = -1;
  EnableHistoryButtons();
  QDialog::done(result);
}

void TColorPick::FillNamedColors(int language, bool keepSelection) {
  int cross = -1;
  if (keepSelection && cbNamedColors->currentIndex() >= 0)
    cross = NamedColors(namedLanguage_)[static_cast<std::size_t>(cbNamedColors->currentIndex())].Cross;
  namedLanguage_ = KnownLanguage(language);
  const std::span<const RNAMECOLOR> table = NamedColors(namedLanguage_);
  cbNamedColors->clear();
  for (const RNAMECOLOR& named : table) {
    const QColor color = ColorOfValue(named.Color);
    cbNamedColors->addItem(SwatchIcon(color), QString::fromUtf8(named.Name), color);
  }
  cbNamedColors->setCurrentIndex(cross >= 1 && cross <= cbNamedColors->count() ? cross - 1 : 0);
  cbNamedColors->setToolTip(cbNamedColors->currentText() + QStringLiteral("\n#") + HexOf(SelectedNamedColor()));
  sbNamedColorRUS->setVisible(namedLanguage_ == LanguageRussian);
  sbNamedColorENG->setVisible(namedLanguage_ == LanguageEnglish);
}

QColor TColorPick::SelectedNamedColor() const { return cbNamedColors->currentData().value<QColor>(); }

void TColorPick::SelectNamedColor(int index) {
  if (index < 0) return;
  cbNamedColors->setCurrentIndex(index);
  cbNamedColors->setToolTip(cbNamedColors->currentText() + QStringLiteral("\n#") + HexOf(SelectedNamedColor()));
  SetNewColor(SelectedNamedColor());
}

void TColorPick::SwitchNamedColors() {
  const QColor before = SelectedNamedColor();
  FillNamedColors(namedLanguage_ == LanguageRussian ? LanguageEnglish : LanguageRussian, true);
  if (SelectedNamedColor() != before) SetNewColor(SelectedNamedColor());
}

void TColorPick::FindColorName() {
  if (SelectedNamedColor() == NewColor()) return;
  SelectNamedColor(NearestNamedColor(NamedColors(namedLanguage_), NewColor()));
}

void TColorPick::PipetteStarted() {
  updating_[vHexa] = updating_[vHS] = updating_[vHSV] = true;
  historySuppressed_ = true;
  pipetteActive_ = true;
  pipettePicked_ = false;
  QApplication::setOverrideCursor(Qt::PointingHandCursor);
}

void TColorPick::PipetteEnded() {
  QApplication::restoreOverrideCursor();
  updating_[vHexa] = updating_[vHS] = updating_[vHSV] = false;
  historySuppressed_ = false;
  pipetteActive_ = false;
  // A press without a pick leaves the colour, and so the history, as it was.
  if (pipettePicked_) NewColorSet();
}

}  // namespace ashtint
