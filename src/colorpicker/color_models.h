// Colour models the colour dialog shows: HSL, HSB, CIE L*a*b*, CIE LCh, CMYK, RGB and hex text.
// HSL, HSB and CMYK come from QColor; L*a*b* and LCh are computed here.
#pragma once

#include <QColor>
#include <QString>

namespace ashtint {

// Nearest integer, an exact half going to the even neighbour.
int RoundHalfEven(double value);

// The colour with 8 bits per channel and no alpha. QColor keeps 16 bits per channel and its
// model, so two colours that look equal in 8 bits compare equal only after this.
QColor EightBit(const QColor& color);

// The colour as one number: red + 256 x green + 65536 x blue.
int ColorValue(const QColor& color);
// The colour of such a number; bits above the 24 colour bits are ignored.
QColor ColorOfValue(int value);

// Six upper-case hex digits "RRGGBB".
QString HexOf(const QColor& color);

// Hue in degrees 0..359 (0 for greys, which have none), saturation and lightness 0..255.
struct RHsl {
  int H = 0;
  int S = 0;
  int L = 0;
};
RHsl HslOf(const QColor& color);
// Hue 360 is hue 0; every part is brought into its range first.
QColor FromHsl(int hue, int saturation, int lightness);

// Hue in degrees 0..359 (0 for greys), saturation and brightness 0..255.
struct RHsb {
  int H = 0;
  int S = 0;
  int B = 0;
};
RHsb HsbOf(const QColor& color);
QColor FromHsb(int hue, int saturation, int brightness);

// CIE L*a*b* for the D65 white, from sRGB with its companding curve: L 0..100, a and b about
// -128..127 (sRGB itself spans a -86..98 and b -108..94).
struct RLab {
  double L = 0;
  double A = 0;
  double B = 0;
};
RLab LabOf(const QColor& color);
// Colours outside sRGB are clipped channel by channel.
QColor FromLab(const RLab& lab);

// CIE LCh, the polar form of L*a*b*: the same L, chroma >= 0 and hue in degrees 0..360.
struct RLch {
  double L = 0;
  double C = 0;
  double H = 0;
};
RLch LchOf(const RLab& lab);
RLab LabOf(const RLch& lch);

// Cyan, magenta, yellow and black in percent, each 0..100.
struct RCmyk {
  int C = 0;
  int M = 0;
  int Y = 0;
  int K = 0;
};
RCmyk CmykOf(const QColor& color);
QColor FromCmyk(int cyan, int magenta, int yellow, int black);

}  // namespace ashtint
