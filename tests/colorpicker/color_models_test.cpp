#include "colorpicker/color_models.h"
#include "test_support/qt_print.h"

#include <gtest/gtest.h>

namespace ashtint {
namespace {

struct RLabReference {
  QColor Rgb;
  double L, A, B;
};

// sRGB to CIE L*a*b* (D65, sRGB companding) as published in Bruce Lindbloom's colour
// calculator tables, to four decimals.
TEST(ColorModels, LabMatchesPublishedReferenceValues) {
  const RLabReference references[] = {
      {QColor(255, 0, 0), 53.2408, 80.0925, 67.2032},    {QColor(0, 255, 0), 87.7347, -86.1827, 83.1793},
      {QColor(0, 0, 255), 32.2970, 79.1875, -107.8602}, {QColor(255, 255, 0), 97.1393, -21.5537, 94.4780},
      {QColor(0, 255, 255), 91.1132, -48.0875, -14.1312}, {QColor(255, 0, 255), 60.3242, 98.2343, -60.8249},
      {QColor(128, 128, 128), 53.5850, 0, 0},           {QColor(255, 255, 255), 100, 0, 0},
      {QColor(0, 0, 0), 0, 0, 0},
  };
  for (const RLabReference& ref : references) {
    SCOPED_TRACE(HexOf(ref.Rgb).toStdString());
    const RLab lab = LabOf(ref.Rgb);
    EXPECT_NEAR(lab.L, ref.L, 1e-4);
    EXPECT_NEAR(lab.A, ref.A, 1e-4);
    EXPECT_NEAR(lab.B, ref.B, 1e-4);
    EXPECT_EQ(FromLab({ref.L, ref.A, ref.B}), ref.Rgb);
  }
}

// Through L*a*b* and LCh and back gives the same 8-bit colour, over a grid of the whole cube
// including both ends of every channel and the linear segment near black.
TEST(ColorModels, LabAndLchRoundTripEveryGridColour) {
  for (int r = 0; r <= 255; r += 15) {
    for (int g = 0; g <= 255; g += 15) {
      for (int b = 0; b <= 255; b += 5) {
        const QColor color(r, g, b);
        ASSERT_EQ(FromLab(LabOf(color)), color) << r << "," << g << "," << b;
        ASSERT_EQ(FromLab(LabOf(LchOf(LabOf(color)))), color) << r << "," << g << "," << b;
      }
    }
  }
  // Far outside sRGB the channels are clipped, never wrapped.
  EXPECT_EQ(FromLab({100, -128, -128}), QColor(0, 255, 255));
  const QColor dark = FromLab({0, 127, 127});
  EXPECT_GT(dark.red(), 0);
  EXPECT_EQ(dark.green(), 0);
  EXPECT_EQ(dark.blue(), 0);
}

TEST(ColorModels, LchIsThePolarFormOfLab) {
  const RLch up = LchOf(RLab{50, 0, 40});
  EXPECT_DOUBLE_EQ(up.L, 50);
  EXPECT_NEAR(up.C, 40, 1e-12);
  EXPECT_NEAR(up.H, 90, 1e-12);
  EXPECT_NEAR(LchOf(RLab{50, -30, 0}).H, 180, 1e-12);
  EXPECT_NEAR(LchOf(RLab{50, 0, -10}).H, 270, 1e-12);  // never negative
  EXPECT_NEAR(LchOf(RLab{50, 3, 4}).C, 5, 1e-12);
  const RLab back = LabOf(RLch{60, 5, 53.13010235415598});
  EXPECT_NEAR(back.A, 3, 1e-9);
  EXPECT_NEAR(back.B, 4, 1e-9);
}

TEST(ColorModels, HslAndHsbTakeQColorsValuesWithWholeDegrees) {
  const RHsl orange = HslOf(QColor(255, 128, 0));
  EXPECT_EQ(orange.H, 30);
  EXPECT_EQ(orange.S, 255);
  EXPECT_EQ(orange.L, 128);
  const RHsb navy = HsbOf(QColor(0, 0, 128));
  EXPECT_EQ(navy.H, 240);
  EXPECT_EQ(navy.S, 255);
  EXPECT_EQ(navy.B, 128);
  // Greys have no hue; they show 0 rather than QColor's -1.
  EXPECT_EQ(HslOf(QColor(90, 90, 90)).H, 0);
  EXPECT_EQ(HsbOf(QColor(90, 90, 90)).H, 0);

  // Lightness 128 of 255 is a little above one half, which leaves 1 in the weakest channel.
  EXPECT_EQ(FromHsl(30, 255, 128), QColor(255, 128, 1));
  EXPECT_EQ(FromHsl(30, 255, 255), QColor(255, 255, 255));
  EXPECT_EQ(FromHsb(240, 255, 128), QColor(0, 0, 128));
  // 360 degrees is the same hue as 0, and parts beyond their ranges are brought into them.
  EXPECT_EQ(FromHsl(360, 255, 128), QColor(255, 1, 1));
  EXPECT_EQ(FromHsb(360, 255, 255), QColor(255, 0, 0));
  EXPECT_EQ(FromHsl(400, 300, -5), QColor(0, 0, 0));
  EXPECT_EQ(FromHsb(-10, 0, 999), QColor(255, 255, 255));
  // Whole-degree HSB of an 8-bit colour comes back to the same colour for saturated colours.
  for (int hue = 0; hue < 360; ++hue) {
    const QColor color = FromHsb(hue, 255, 255);
    EXPECT_EQ(FromHsb(HsbOf(color).H, HsbOf(color).S, HsbOf(color).B), color) << hue;
  }
}

TEST(ColorModels, CmykKeepsEachInkInItsOwnPart) {
  const RCmyk orange = CmykOf(QColor(255, 128, 0));
  EXPECT_EQ(orange.C, 0);
  EXPECT_EQ(orange.M, 50);
  EXPECT_EQ(orange.Y, 100);
  EXPECT_EQ(orange.K, 0);
  const RCmyk teal = CmykOf(QColor(0, 102, 153));
  EXPECT_EQ(teal.C, 100);
  EXPECT_EQ(teal.M, 33);
  EXPECT_EQ(teal.Y, 0);
  EXPECT_EQ(teal.K, 40);
  EXPECT_EQ(CmykOf(QColor(0, 0, 0)).K, 100);
  EXPECT_EQ(FromCmyk(0, 40, 100, 0), QColor(255, 153, 0));
  EXPECT_EQ(FromCmyk(100, 33, 0, 40), QColor(0, 103, 153));
  EXPECT_EQ(FromCmyk(0, 0, 0, 100), QColor(0, 0, 0));
  EXPECT_EQ(FromCmyk(-1, 0, 0, 200), QColor(0, 0, 0));
}

TEST(ColorModels, RoundingValuesAndHexText) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.51), 3);

  EXPECT_EQ(ColorValue(QColor(0x12, 0x34, 0x56)), 0x563412);
  EXPECT_EQ(ColorOfValue(0x563412), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(ColorOfValue(0x7F563412), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(HexOf(QColor(0x0A, 0xBC, 0xDE)), QStringLiteral("0ABCDE"));
}

}  // namespace
}  // namespace ashtint
