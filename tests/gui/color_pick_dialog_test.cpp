// The colour dialog's window, worked as a user would: fields, buttons, history, named colours,
// the result text and the language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "colorpicker/color_bars.h"
#include "colorpicker/color_models.h"
#include "colorpicker/color_preview.h"
#include "colorpicker/hexa_color_picker.h"
#include "colorpicker/hs_color_picker.h"
#include "gui/color_dialog/color_names.h"
#include "gui/color_dialog/color_pick_dialog.h"
#include "gui/color_dialog/color_pick_form.h"
#include "gui/color_dialog/color_pick_texts.h"
#include "gui/interface_language.h"
#include "gui/color_dialog/pipette_button.h"
#include "test_support/qt_print.h"

namespace ashtint {
namespace {

// Types into a field as the keyboard would, each key pressed and released.
void Type(TColorField* field, const QString& keys) {
  field->setFocus();
  for (const QChar c : keys) QTest::keyClick(field, c.toLatin1());
}

// Types over the whole text, as after selecting it with the mouse.
void Retype(TColorField* field, const QString& keys) {
  field->setFocus();
  field->selectAll();
  Type(field, keys);
}

void Clear(TColorField* field) {
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Backspace);
}

class ColorPickDialog : public ::testing::Test {
 protected:
  TColorPick& Open(const QString& colorText, int language = LanguageEnglish) {
    dialog.ReadColorText(colorText);
    return dialog.Prepare(language);
  }
  TColorPickDialog dialog;
};

TEST_F(ColorPickDialog, OpensWithTheBoxColourAndShowsEveryFormat) {
  TColorPick& form = Open(QStringLiteral("B0B0B0"));
  EXPECT_EQ(form.NewColor(), QColor(0xB0, 0xB0, 0xB0));
  EXPECT_EQ(form.mbCurrentColorPreview->Color(), QColor(0xB0, 0xB0, 0xB0));
  EXPECT_EQ(form.cbColorResult->currentText(), QStringLiteral("Hex"));
  EXPECT_EQ(form.eColorResult->text(), QStringLiteral("#B0B0B0"));
  const std::pair<const char*, const char*> formats[] = {
      {"Pascal", "$B0B0B0"}, {"C++", "0xB0B0B0"}, {"RGB", "176,176,176"}, {"Dec", "11579568"}};
  for (const auto& [item, text] : formats) {
    form.cbColorResult->setCurrentText(QString::fromLatin1(item));
    EXPECT_EQ(form.eColorResult->text(), QString::fromLatin1(text)) << item;
  }
  // The format chosen last comes out with the colour on OK, and the copy button copies the text.
  form.sbCopy->click();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("11579568"));
  ASSERT_TRUE(dialog.Finish(QDialog::Accepted));
  EXPECT_EQ(dialog.OutFormat, sfDec);
  EXPECT_EQ(dialog.ColorHex(), QStringLiteral("B0B0B0"));

  // The next run keeps the form, starts from the new values and reads "0x" texts as C++.
  dialog.ReadColorText(QStringLiteral("0x102030"));
  TColorPick& again = dialog.Prepare(LanguageEnglish);
  EXPECT_EQ(&again, &form);
  EXPECT_EQ(again.cbColorResult->currentText(), QStringLiteral("C++"));
  EXPECT_EQ(again.eColorResult->text(), QStringLiteral("0x102030"));
  EXPECT_FALSE(dialog.Finish(QDialog::Rejected));
  EXPECT_EQ(dialog.ColorHex(), QStringLiteral("102030"));
}

TEST_F(ColorPickDialog, EveryModelShowsTheColour) {
  TColorPick& form = Open(QStringLiteral("#FF8000"));
  auto texts = [](std::initializer_list<TColorField*> fields) {
    QStringList out;
    for (TColorField* f : fields) out << f->text();
    return out.join(u' ');
  };
  EXPECT_EQ(texts({form.elH, form.elS, form.elL}), QStringLiteral("30 100 50"));
  EXPECT_EQ(texts({form.elH_, form.elS_, form.elB_}), QStringLiteral("30 100 100"));
  EXPECT_EQ(texts({form.elCIEL, form.elCIEa, form.elCIEb}), QStringLiteral("67 43 74"));
  EXPECT_EQ(texts({form.elLabL, form.elLabC, form.elLabH}), QStringLiteral("67 47 60"));
  EXPECT_EQ(texts({form.elC, form.elM, form.elY, form.elK}), QStringLiteral("0 50 100 0"));
  EXPECT_EQ(texts({form.eR, form.eG, form.eB, form.elHex}), QStringLiteral("255 128 0 FF8000"));
  EXPECT_EQ(form.tbG->value(), 128);
  // Orange is fully saturated: its cell lies on the outer ring, near its hue.
  const QPoint cell = form.HexaColorPicker->MarkedCell();
  EXPECT_EQ(std::max({std::abs(cell.x()), std::abs(cell.y()), std::abs(cell.x() + cell.y())}), THexaColorPicker::Rings);
  EXPECT_NEAR(HsbOf(THexaColorPicker::CellColor(cell, 100)).H, 30, 6);
  EXPECT_EQ(form.HexaColorPicker->Intensity(), 100);
  EXPECT_EQ(form.HSColorPicker->Hue(), 30);
  EXPECT_EQ(form.LColorPicker->Luminance(), 128);
  EXPECT_EQ(form.HSVColorPicker->Saturation(), 255);
  EXPECT_EQ(form.VColorPicker->Value(), 255);
  EXPECT_EQ(form.mbNewColorPreview->toolTip(), QStringLiteral("New: #FF8000"));
  EXPECT_EQ(form.mbCurrentColorPreview->toolTip(), QStringLiteral("Current: #FF8000"));
}

TEST_F(ColorPickDialog, FieldsClampTypeStepAndPaste) {
  TColorPick& form = Open(QStringLiteral("FF0000"));
  form.show();
  Retype(form.elH, QStringLiteral("400"));
  EXPECT_EQ(form.elH->text(), QStringLiteral("360"));
  // 360 degrees is red again; 50 % lightness is 128 of 255, a little above half.
  EXPECT_EQ(form.NewColor(), FromHsl(0, 255, 128));
  Clear(form.elS);
  EXPECT_EQ(form.elS->text(), QStringLiteral("0"));
  EXPECT_EQ(form.NewColor(), QColor(128, 128, 128));
  EXPECT_EQ(form.elH->text(), QStringLiteral("360"));  // the model being typed in is left alone
  EXPECT_EQ(form.elH_->text(), QStringLiteral("0"));   // the others follow
  Type(form.elS, QStringLiteral("x5"));                // letters are dropped
  EXPECT_EQ(form.elS->text(), QStringLiteral("05"));

  // The hex field: lower case becomes upper case, "F" alone is red 15.
  Retype(form.elHex, QStringLiteral("f"));
  EXPECT_EQ(form.elHex->text(), QStringLiteral("F"));
  EXPECT_EQ(form.NewColor(), QColor(15, 0, 0));
  Type(form.elHex, QStringLiteral("g0a"));
  EXPECT_EQ(form.elHex->text(), QStringLiteral("F0A"));
  EXPECT_EQ(form.NewColor(), QColor(0xF0, 0x0A, 0));

  // Arrows: one step within the range, the caret at the end; in hex red first.
  form.elHex->setCursorPosition(0);
  QTest::keyClick(form.elHex, Qt::Key_Up);
  EXPECT_EQ(form.elHex->text(), QStringLiteral("F10A00"));
  EXPECT_EQ(form.elHex->cursorPosition(), 6);
  EXPECT_EQ(form.NewColor(), QColor(0xF1, 0x0A, 0));
  form.eB->setFocus();
  QTest::keyClick(form.eB, Qt::Key_Down);
  EXPECT_EQ(form.eB->text(), QStringLiteral("0"));
  QTest::keyClick(form.eB, Qt::Key_Up);
  EXPECT_EQ(form.NewColor(), QColor(0xF1, 0x0A, 1));
  QWheelEvent wheel(QPointF(5, 5), form.eB->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.eB, &wheel);
  EXPECT_EQ(form.eB->text(), QStringLiteral("2"));

  // a and b take a minus only where it starts the number, and stop at -128.
  Retype(form.elCIEa, QStringLiteral("5-"));
  EXPECT_EQ(form.elCIEa->text(), QStringLiteral("5"));
  form.elCIEa->setCursorPosition(0);
  Type(form.elCIEa, QStringLiteral("-"));
  EXPECT_EQ(form.elCIEa->text(), QStringLiteral("-5"));
  Retype(form.elCIEa, QStringLiteral("-300"));
  EXPECT_EQ(form.elCIEa->text(), QStringLiteral("-128"));

  // Ctrl+V pastes by the field's rule, replacing the selection.
  // Only the first six characters count, the "#" among them.
  QApplication::clipboard()->setText(QStringLiteral("#00ff88"));
  form.elHex->selectAll();
  QTest::keyClick(form.elHex, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.elHex->text(), QStringLiteral("00FF8"));
  EXPECT_EQ(form.NewColor(), QColor(0, 0xFF, 0x08));
  QApplication::clipboard()->setText(QStringLiteral("abc"));
  form.elL->selectAll();
  QTest::keyClick(form.elL, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(form.elL->text(), QStringLiteral("0"));
  EXPECT_EQ(form.NewColor(), QColor(0, 0, 0));

  // Keys that only move the caret change no colour (rounding through a model would).
  SCOPED_TRACE("caret keys");
  form.SetNewColor(QColor(1, 2, 3));
  const qsizetype entries = form.History.size();
  form.elCIEL->setFocus();
  QTest::keyClick(form.elCIEL, Qt::Key_Left);
  QTest::keyClick(form.elCIEL, Qt::Key_End);
  EXPECT_EQ(form.NewColor(), QColor(1, 2, 3));
  EXPECT_EQ(form.History.size(), entries);
  form.hide();
}

TEST_F(ColorPickDialog, ModelFieldsSetTheColour) {
  TColorPick& form = Open(QStringLiteral("000000"));
  auto set = [](TColorField* field, const char* text) { Retype(field, QString::fromLatin1(text)); };
  set(form.elC, "100");
  set(form.elK, "40");
  EXPECT_EQ(form.NewColor(), QColor(0, 153, 153));
  set(form.elM, "100");
  EXPECT_EQ(form.NewColor(), QColor(0, 0, 153));
  set(form.elCIEL, "100");
  set(form.elCIEa, "0");
  set(form.elCIEb, "0");
  EXPECT_EQ(form.NewColor(), QColor(255, 255, 255));
  set(form.elCIEa, "-40");
  EXPECT_EQ(form.NewColor(), FromLab({100, -40, 0}));
  // The LCh fields of pure red are 53, 58 % and 40 degrees.
  form.SetNewColor(QColor(255, 0, 0));
  EXPECT_EQ(form.elLabC->text(), QStringLiteral("58"));
  set(form.elLabC, "57");
  set(form.elLabC, "58");  // chroma round(58 x 128 x sqrt 2 / 100) = 105
  EXPECT_EQ(form.NewColor(), FromLab(LabOf(RLch{53, 105, 40})));
  set(form.elH_, "120");
  set(form.elS_, "100");
  set(form.elB_, "50");
  EXPECT_EQ(form.NewColor(), QColor(0, 128, 0));
  set(form.eR, "300");
  EXPECT_EQ(form.eR->text(), QStringLiteral("255"));
  EXPECT_EQ(form.NewColor(), QColor(255, 128, 0));
  form.tbB->setValue(10);
  EXPECT_EQ(form.NewColor(), QColor(255, 128, 10));
  EXPECT_EQ(form.eB->text(), QStringLiteral("10"));
}

TEST_F(ColorPickDialog, ButtonsAndPickers) {
  TColorPick& form = Open(QStringLiteral("2F30FF"));
  form.bWebSafe->click();
  EXPECT_EQ(form.NewColor(), QColor(0, 51, 255));
  form.SetNewColor(QColor(255, 0, 0));
  form.sbGrayscale->click();
  EXPECT_EQ(form.elHex->text(), QStringLiteral("4C4C4C"));
  form.sbInvers->click();
  EXPECT_EQ(form.NewColor(), QColor(179, 179, 179));
  form.sbLighter->click();
  EXPECT_EQ(form.NewColor(), QColor(183, 183, 183));
  form.sbDarker->click();
  EXPECT_EQ(form.NewColor(), QColor(174, 174, 174));

  // A picker's own change does not move it: the lightness bar keeps the hue of the square even
  // through white, where the colour itself has none.
  form.SetNewColor(QColor(0, 0, 255));
  form.pcScheme->setCurrentIndex(1);
  form.resize(form.sizeHint());
  form.LColorPicker->resize(24, 266);
  QTest::mouseClick(form.LColorPicker, Qt::LeftButton, {}, QPoint(12, 1));
  EXPECT_EQ(form.NewColor(), QColor(255, 255, 255));
  EXPECT_EQ(form.HSColorPicker->Hue(), 240);
  EXPECT_EQ(form.elH->text(), QStringLiteral("0"));
  QTest::mouseClick(form.LColorPicker, Qt::LeftButton, {}, QPoint(12, 5 + 127));
  EXPECT_EQ(form.NewColor(), FromHsl(240, 255, 128));

  // Reset shows the first page and the hexagon at full intensity; the colour stays.
  form.SetNewColor(QColor(20, 20, 20));
  EXPECT_LT(form.HexaColorPicker->Intensity(), 10);
  form.sbHexaReset->click();
  EXPECT_EQ(form.pcScheme->currentIndex(), 0);
  EXPECT_EQ(form.HexaColorPicker->Intensity(), 100);
  EXPECT_EQ(form.NewColor(), QColor(20, 20, 20));
}

TEST_F(ColorPickDialog, HistoryMovesAndEndsWithTheDialog) {
  TColorPick& form = Open(QStringLiteral("101010"));
  EXPECT_EQ(form.History.size(), 1);
  EXPECT_EQ(form.HistoryPos, 0);
  EXPECT_FALSE(form.sbUndo->isEnabled());
  const QColor first(0x10, 0x10, 0x10), second(1, 1, 1), third(2, 2, 2), fourth(3, 3, 3);
  form.SetNewColor(second);
  form.SetNewColor(third);
  form.SetNewColor(fourth);
  EXPECT_TRUE(form.sbUndo->isEnabled());
  EXPECT_FALSE(form.sbRedo->isEnabled());

  form.sbUndo->click();
  EXPECT_EQ(form.NewColor(), third);
  EXPECT_TRUE(form.sbRedo->isEnabled());
  form.sbUndoBegin->click();
  EXPECT_EQ(form.NewColor(), first);
  EXPECT_FALSE(form.sbUndo->isEnabled());
  EXPECT_FALSE(form.sbUndoBegin->isEnabled());
  EXPECT_TRUE(form.sbRedoEnd->isEnabled());
  form.sbRedo->click();
  EXPECT_EQ(form.NewColor(), second);
  form.sbRedoEnd->click();
  EXPECT_EQ(form.NewColor(), fourth);
  EXPECT_FALSE(form.sbRedo->isEnabled());
  EXPECT_FALSE(form.sbRedoEnd->isEnabled());
  EXPECT_EQ(form.History.size(), 4);  // moving through the history adds nothing

  // A new colour after going back cuts the later entries.
  form.sbUndo->click();
  form.sbUndo->click();
  form.SetNewColor(QColor(9, 9, 9));
  EXPECT_EQ(form.History, (QVector<QColor>{first, second, QColor(9, 9, 9)}));
  EXPECT_FALSE(form.sbRedo->isEnabled());
  form.Redo();  // nothing later
  EXPECT_EQ(form.NewColor(), QColor(9, 9, 9));

  // Esc closes the dialog as cancel, and closing empties the history.
  form.show();
  QTest::keyClick(form.elHex, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_TRUE(form.History.isEmpty());
  EXPECT_EQ(form.HistoryPos, -1);
  EXPECT_FALSE(form.sbUndo->isEnabled());
  EXPECT_FALSE(form.sbRedoEnd->isEnabled());
}

int RowOf(std::span<const RNAMECOLOR> table, const char* name) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (QString::fromUtf8(table[i].Name) == QString::fromUtf8(name)) return static_cast<int>(i);
  return -1;
}

TEST_F(ColorPickDialog, NamedColoursSwitchLanguageAndFindTheNearest) {
  TColorPick& form = Open(QStringLiteral("000000"), LanguageRussian);
  EXPECT_EQ(form.NamedColorsLanguage(), LanguageRussian);
  EXPECT_EQ(form.cbNamedColors->count(), NamedColorCount);
  EXPECT_EQ(form.cbNamedColors->currentIndex(), 0);
  EXPECT_FALSE(form.sbNamedColorRUS->isHidden());
  EXPECT_TRUE(form.sbNamedColorENG->isHidden());

  const int tomato = RowOf(NamedColors(LanguageRussian), "Томатный");
  ASSERT_GE(tomato, 0);
  emit form.cbNamedColors->activated(tomato);
  EXPECT_EQ(form.NewColor(), QColor(255, 99, 71));
  EXPECT_EQ(form.cbNamedColors->toolTip(), QStringLiteral("Томатный\n#FF6347"));
  const qsizetype entries = form.History.size();

  form.sbNamedColorRUS->click();
  EXPECT_EQ(form.NamedColorsLanguage(), LanguageEnglish);
  EXPECT_EQ(form.cbNamedColors->currentText(), QStringLiteral("tomato"));
  EXPECT_EQ(form.History.size(), entries);  // the same colour: no change
  EXPECT_TRUE(form.sbNamedColorRUS->isHidden());
  form.sbNamedColorENG->click();
  EXPECT_EQ(form.cbNamedColors->currentIndex(), tomato);

  // Find: a listed colour selects its name, even the first of the list.
  const RNAMECOLOR& first = NamedColors(LanguageRussian)[0];
  form.SetNewColor(ColorOfValue(first.Color));
  form.sbFindColorName->click();
  EXPECT_EQ(form.cbNamedColors->currentIndex(), 0);
  // An unlisted colour moves to the nearest name's colour.
  form.SetNewColor(QColor(254, 1, 1));
  form.sbFindColorName->click();
  EXPECT_EQ(form.NewColor(), QColor(255, 0, 0));
  EXPECT_EQ(ColorOfValue(NamedColors(LanguageRussian)[static_cast<std::size_t>(form.cbNamedColors->currentIndex())].Color),
            QColor(255, 0, 0));

  // The next run fills the list of its language afresh.
  dialog.Prepare(LanguageEnglish);
  EXPECT_EQ(form.NamedColorsLanguage(), LanguageEnglish);
  EXPECT_EQ(form.cbNamedColors->currentIndex(), 0);
}

TEST_F(ColorPickDialog, TextsFollowTheLanguage) {
  TInterfaceLanguage language;
  TColorPickDialog bound(nullptr, &language);
  bound.ReadColorText(QStringLiteral("123456"));
  TColorPick& form = bound.Prepare(LanguageRussian);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Цвет"));
  EXPECT_EQ(form.bOK->text(), QStringLiteral("ОК"));
  EXPECT_EQ(form.lResultFormat->text(), QStringLiteral("Результат:"));
  EXPECT_EQ(form.sbFindColorName->toolTip(), QStringLiteral("Найти ближайший цвет к текущему"));
  EXPECT_EQ(form.mbNewColorPreview->toolTip(), QStringLiteral("Новый: #123456"));
  EXPECT_EQ(form.elK->toolTip(), QStringLiteral("BlacK, %"));  // field hints stay English
  language.ApplyLanguage(LanguageEnglish);
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Color"));
  EXPECT_EQ(form.bCancel->text(), QStringLiteral("Cancel"));
  EXPECT_EQ(form.sbInvers->toolTip(), QStringLiteral("Invers"));
  EXPECT_EQ(form.mbCurrentColorPreview->toolTip(), QStringLiteral("Current: #123456"));
  EXPECT_EQ(form.pcScheme->tabText(2), QStringLiteral("HSB Color"));
}

TEST_F(ColorPickDialog, PipettePicksWithoutTouchingPickersOrHistoryUntilReleased) {
  TColorPick& form = Open(QStringLiteral("000000"));
  form.show();
  const QPoint centre = form.sbPipetka->rect().center();
  if (!ScreenPixel(form.sbPipetka->mapToGlobal(centre))) {
    // Where the platform gives no screen pixels, the pipette says so instead of starting.
    QTest::mousePress(form.sbPipetka, Qt::LeftButton, {}, centre);
    EXPECT_FALSE(form.sbPipetka->Active());
    EXPECT_EQ(form.sbPipetka->toolTip(), ColorPickText(PipetteRefusedRow, LanguageEnglish));
    return;
  }
  const qsizetype entries = form.History.size();
  QTest::mousePress(form.sbPipetka, Qt::LeftButton, {}, centre);
  ASSERT_TRUE(form.sbPipetka->Active());
  emit form.sbPipetka->Picked(QColor(10, 200, 30));
  EXPECT_EQ(form.elHex->text(), QStringLiteral("0AC81E"));
  EXPECT_EQ(form.HSColorPicker->Saturation(), 0);  // still black's
  EXPECT_EQ(form.History.size(), entries);
  QTest::mouseRelease(form.sbPipetka, Qt::LeftButton, {}, centre);
  EXPECT_EQ(form.History.size(), entries + 1);
  EXPECT_EQ(form.HSColorPicker->Hue(), HslOf(QColor(10, 200, 30)).H);
  EXPECT_EQ(form.HSColorPicker->Saturation(), HslOf(QColor(10, 200, 30)).S);
  form.hide();
}

}  // namespace
}  // namespace ashtint
