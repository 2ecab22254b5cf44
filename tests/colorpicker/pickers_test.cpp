// The picker controls: what a click picks is what is drawn there, values set by the program
// raise no change event, and the user's own actions raise exactly one.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>

#include "colorpicker/color_bars.h"
#include "colorpicker/color_models.h"
#include "colorpicker/color_preview.h"
#include "colorpicker/hexa_color_picker.h"
#include "colorpicker/hs_color_picker.h"
#include "test_support/qt_print.h"

namespace ashtint {
namespace {

// Within a few steps per channel: the cached pictures are drawn with fractional hues.
void ExpectNear(const QColor& drawn, const QColor& picked, int tolerance = 3) {
  EXPECT_LE(std::abs(drawn.red() - picked.red()), tolerance) << HexOf(drawn).toStdString() << " " << HexOf(picked).toStdString();
  EXPECT_LE(std::abs(drawn.green() - picked.green()), tolerance) << HexOf(drawn).toStdString() << " " << HexOf(picked).toStdString();
  EXPECT_LE(std::abs(drawn.blue() - picked.blue()), tolerance) << HexOf(drawn).toStdString() << " " << HexOf(picked).toStdString();
}

void Press(QWidget& widget, QPointF point) {
  QMouseEvent press(QEvent::MouseButtonPress, point, widget.mapToGlobal(point), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
}

TEST(ColorPreview, ReportsOnlyRealChanges) {
  TColorPreview preview;
  QSignalSpy spy(&preview, &TColorPreview::ColorChanged);
  preview.SetColor(Qt::white);  // already white
  EXPECT_EQ(spy.count(), 0);
  preview.SetColor(QColor(1, 2, 3));
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).value<QColor>(), QColor(1, 2, 3));
  EXPECT_EQ(preview.Color(), QColor(1, 2, 3));
}

TEST(HSColorPicker, PicksWhatItDrawsAtTheSetLuminance) {
  THSColorPicker picker;
  picker.resize(181, 129);
  const QImage drawn = picker.grab().toImage();
  QSignalSpy spy(&picker, &THSColorPicker::ColorChanged);
  picker.SetLuminance(64);
  picker.SetSelectedColor(QColor(10, 200, 30));
  EXPECT_EQ(spy.count(), 0);

  for (const QPoint point : {QPoint(90, 20), QPoint(30, 100), QPoint(170, 60)}) {
    spy.clear();
    QTest::mouseClick(&picker, Qt::LeftButton, {}, point);
    ASSERT_EQ(spy.count(), 1);
    // The square is drawn at half lightness; the picker's colour is at its own lightness.
    ExpectNear(drawn.pixelColor(point), FromHsl(picker.Hue(), picker.Saturation(), 128));
    EXPECT_EQ(spy.at(0).at(0).value<QColor>(), FromHsl(picker.Hue(), picker.Saturation(), picker.Luminance()));
  }
  // Corners: top-left is hue 0 at full saturation, the bottom row has none. (QTest takes the
  // point (0, 0) for the widget's centre, so the press is sent by hand.)
  Press(picker, QPointF(0, 0));
  EXPECT_EQ(picker.Hue(), 0);
  EXPECT_EQ(picker.Saturation(), 255);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(180, 128));
  EXPECT_EQ(picker.Hue(), 359);
  EXPECT_EQ(picker.Saturation(), 0);
}

TEST(HSColorPicker, ProgramValuesAndGreysKeepTheHue) {
  THSColorPicker picker;
  picker.resize(100, 100);
  QSignalSpy spy(&picker, &THSColorPicker::ColorChanged);
  picker.SetSelectedColor(QColor(255, 128, 0));
  EXPECT_EQ(picker.Hue(), 30);
  EXPECT_EQ(picker.Saturation(), 255);
  EXPECT_EQ(picker.Luminance(), 128);
  EXPECT_EQ(picker.Color(), FromHsl(30, 255, 128));
  // A grey has no hue: the marker stays above its hue at the bottom.
  picker.SetSelectedColor(QColor(40, 40, 40));
  EXPECT_EQ(picker.Hue(), 30);
  EXPECT_EQ(picker.Saturation(), 0);
  picker.SetLuminance(300);
  EXPECT_EQ(picker.Luminance(), 255);
  EXPECT_EQ(spy.count(), 0);

  // Keys step the hue around the circle and the saturation within its range.
  picker.SetHueSaturation(0, 255);
  picker.setFocus();
  QTest::keyClick(&picker, Qt::Key_Left);
  EXPECT_EQ(picker.Hue(), 359);
  QTest::keyClick(&picker, Qt::Key_Up);
  EXPECT_EQ(picker.Saturation(), 255);
  EXPECT_EQ(spy.count(), 1);  // the hue moved; the saturation could not
}

TEST(HSVColorPicker, HueGoesAroundAndSaturationOutwards) {
  THSVColorPicker picker;
  picker.resize(214, 214);  // radius 100 around (106.5, 106.5)
  const QImage drawn = picker.grab().toImage();
  QSignalSpy spy(&picker, &THSVColorPicker::ColorChanged);
  picker.SetValue(200);

  QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(206, 106));  // right rim: red
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(picker.Hue(), 0);
  EXPECT_GE(picker.Saturation(), 253);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(106, 40));  // above the centre: 90 degrees
  EXPECT_EQ(picker.Hue(), 90);
  EXPECT_EQ(spy.last().at(0).value<QColor>(), FromHsb(90, picker.Saturation(), 200));
  for (const QPoint point : {QPoint(150, 80), QPoint(60, 160), QPoint(120, 110)}) {
    QTest::mouseClick(&picker, Qt::LeftButton, {}, point);
    ExpectNear(drawn.pixelColor(point), FromHsb(picker.Hue(), picker.Saturation(), 255));
  }
  // Beyond the rim the saturation stays full.
  QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(2, 106));
  EXPECT_EQ(picker.Hue(), 180);
  EXPECT_EQ(picker.Saturation(), 255);

  spy.clear();
  picker.SetSelectedColor(QColor(0, 0, 128));
  EXPECT_EQ(picker.Hue(), 240);
  EXPECT_EQ(picker.Value(), 128);
  EXPECT_EQ(spy.count(), 0);
}

TEST(ColorBars, LevelFollowsMouseWheelAndKeys) {
  TLColorPicker lightness;
  lightness.resize(24, 266);  // 255 rows between the arrows
  lightness.SetHueSaturation(120, 255);
  QSignalSpy spy(&lightness, &TColorBar::ColorChanged);
  lightness.SetLuminance(10);
  EXPECT_EQ(spy.count(), 0);
  EXPECT_EQ(lightness.Color(), FromHsl(120, 255, 10));

  QTest::mouseClick(&lightness, Qt::LeftButton, {}, QPoint(12, 0));
  EXPECT_EQ(lightness.Luminance(), 255);
  EXPECT_EQ(spy.last().at(0).value<QColor>(), QColor(255, 255, 255));
  QTest::mouseClick(&lightness, Qt::LeftButton, {}, QPoint(12, 265));
  EXPECT_EQ(lightness.Luminance(), 0);
  QTest::mouseClick(&lightness, Qt::LeftButton, {}, QPoint(12, 5 + 127));
  EXPECT_EQ(lightness.Luminance(), 128);
  EXPECT_EQ(lightness.Color(), QColor(1, 255, 1));
  // What is drawn on the row is the colour picked there.
  const QImage drawn = lightness.grab().toImage();
  EXPECT_EQ(drawn.pixelColor(12, 5 + 64), lightness.ColorAt(191));
  EXPECT_EQ(spy.count(), 3);

  lightness.setFocus();
  QTest::keyClick(&lightness, Qt::Key_Up);
  EXPECT_EQ(lightness.Luminance(), 129);
  QTest::keyClick(&lightness, Qt::Key_End);
  EXPECT_EQ(lightness.Luminance(), 0);
  QTest::keyClick(&lightness, Qt::Key_Down);  // already at the bottom: no change, no event
  EXPECT_EQ(spy.count(), 5);
  QWheelEvent wheel(QPointF(12, 100), lightness.mapToGlobal(QPointF(12, 100)), {}, QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&lightness, &wheel);
  EXPECT_EQ(lightness.Luminance(), 2);

  TVColorPicker brightness;
  brightness.SetHueSaturation(0, 255);
  EXPECT_EQ(brightness.Value(), 255);
  EXPECT_EQ(brightness.Color(), QColor(255, 0, 0));
  brightness.SetValue(128);
  EXPECT_EQ(brightness.Color(), QColor(128, 0, 0));
}

TEST(HexaColorPicker, CellsRunFromWhiteToFullHues) {
  EXPECT_EQ(THexaColorPicker::CellColor({0, 0}, 100), QColor(255, 255, 255));
  EXPECT_EQ(THexaColorPicker::CellColor({0, 0}, 50), QColor(128, 128, 128));
  EXPECT_EQ(THexaColorPicker::CellColor({THexaColorPicker::Rings, 0}, 100), QColor(255, 0, 0));
  EXPECT_EQ(THexaColorPicker::CellColor({-THexaColorPicker::Rings, 0}, 100), QColor(0, 255, 255));
  EXPECT_FALSE(THexaColorPicker::CellExists({THexaColorPicker::Rings, 1}));
  EXPECT_TRUE(THexaColorPicker::CellExists({THexaColorPicker::Rings, -THexaColorPicker::Rings}));

  THexaColorPicker picker;
  picker.resize(240, 236);
  // Every cell's centre lies in that cell, and a point beyond the outer rim in none.
  int cells = 0;
  for (int r = -THexaColorPicker::Rings; r <= THexaColorPicker::Rings; ++r) {
    for (int q = -THexaColorPicker::Rings; q <= THexaColorPicker::Rings; ++q) {
      if (!THexaColorPicker::CellExists({q, r})) continue;
      ++cells;
      ASSERT_EQ(picker.CellAt(picker.CellCentre({q, r})), QPoint(q, r));
    }
  }
  EXPECT_EQ(cells, 1 + 3 * THexaColorPicker::Rings * (THexaColorPicker::Rings + 1));
  EXPECT_FALSE(picker.CellAt(QPointF(1, 1)).has_value());

  const QImage drawn = picker.grab().toImage();
  EXPECT_EQ(drawn.pixelColor(picker.CellCentre({3, -5}).toPoint()), THexaColorPicker::CellColor({3, -5}, 100));
}

TEST(HexaColorPicker, ClicksIntensityAndProgramValues) {
  THexaColorPicker picker;
  picker.resize(240, 236);
  QSignalSpy spy(&picker, &THexaColorPicker::ColorChanged);

  // A colour set by the program: the intensity follows its brightness, the nearest cell is marked.
  picker.SetSelectedColor(QColor(255, 0, 0));
  EXPECT_EQ(picker.Intensity(), 100);
  EXPECT_EQ(picker.MarkedCell(), QPoint(THexaColorPicker::Rings, 0));
  picker.SetSelectedColor(QColor(64, 64, 64));
  EXPECT_EQ(picker.Intensity(), 25);
  EXPECT_EQ(picker.MarkedCell(), QPoint(0, 0));
  EXPECT_EQ(picker.SelectedColor(), QColor(64, 64, 64));
  picker.SetIntensity(100);  // the reset button's job: full intensity, marked cell selected
  EXPECT_EQ(picker.SelectedColor(), QColor(255, 255, 255));
  EXPECT_EQ(spy.count(), 0);

  const QPoint cell(-2, 5);
  QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.CellCentre(cell).toPoint());
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(picker.MarkedCell(), cell);
  EXPECT_EQ(spy.at(0).at(0).value<QColor>(), THexaColorPicker::CellColor(cell, 100));
  QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.CellCentre(cell).toPoint());
  EXPECT_EQ(spy.count(), 1);  // the same cell again changes nothing

  // The bar under the honeycomb: its left end is intensity 0.
  QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(0, picker.height() - 10));
  EXPECT_EQ(picker.Intensity(), 0);
  EXPECT_EQ(spy.last().at(0).value<QColor>(), QColor(0, 0, 0));
  picker.setFocus();
  QTest::keyClick(&picker, Qt::Key_PageUp);
  EXPECT_EQ(picker.Intensity(), 5);
  EXPECT_EQ(picker.SelectedColor(), THexaColorPicker::CellColor(cell, 5));
  QTest::keyClick(&picker, Qt::Key_Right);
  EXPECT_EQ(picker.MarkedCell(), QPoint(-1, 5));
  EXPECT_EQ(spy.count(), 4);

  EXPECT_EQ(picker.HintFor(QColor(255, 16, 0)), QStringLiteral("RGB(255, 16, 0)\nHex: FF1000"));
}

}  // namespace
}  // namespace ashtint
