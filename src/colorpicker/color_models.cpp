#include "colorpicker/color_models.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace ashtint {

namespace {

int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

int HueInRange(int hue) { return Clamp(hue, 0, 360) % 360; }

// QColor keeps a hue of -1 for greys; the dialog shows them with hue 0.
int HueDegrees(float hueF) { return hueF < 0 ? 0 : RoundHalfEven(hueF * 360.0); }

int Byte(float part) { return RoundHalfEven(part * 255.0); }

int Percent(float part) { return RoundHalfEven(part * 100.0); }


// sRGB primaries to XYZ; the D65 white is the image of white, so white has a = b = 0 exactly.
constexpr std::array<std::array<double, 3>, 3> RgbToXyz = {{
    {0.4124564, 0.3575761, 0.1804375},
    {0.2126729, 0.7151522, 0.0721750},
    {0.0193339, 0.1191920, 0.9503041},
}};
constexpr std::array<std::array<double, 3>, 3> XyzToRgb = {{
    {3.2404542, -1.5371385, -0.4985314},
    {-0.9692660, 1.8760108, 0.0415560},
    {0.0556434, -0.2040259, 1.0572252},
}};
constexpr double WhiteX = 0.4124564 + 0.3575761 + 0.1804375;
constexpr double WhiteY = 1.0;
constexpr double WhiteZ = 0.0193339 + 0.1191920 + 0.9503041;
// The CIE's exact constants for the linear part near black.
constexpr double Epsilon = 216.0 / 24389.0;
constexpr double Kappa = 24389.0 / 27.0;

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int Companded(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
  return Clamp(RoundHalfEven(c * 255.0), 0, 255);
}

double LabF(double t) { return t > Epsilon ? std::cbrt(t) : (Kappa * t + 16.0) / 116.0; }

double LabFInverse(double f) {
  const double cube = f * f * f;
  return cube > Epsilon ? cube : (116.0 * f - 16.0) / Kappa;
}

}  // namespace

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

QColor EightBit(const QColor& color) {
  const QColor rgb = color.toRgb();
  return QColor(rgb.red(), rgb.green(), rgb.blue());
}

int ColorValue(const QColor& color) { return color.red() + 256 * color.green() + 65536 * color.blue(); }

QColor ColorOfValue(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

QString HexOf(const QColor& color) {
  return QStringLiteral("%1%2%3")
      .arg(color.red(), 2, 16, QLatin1Char('0'))
      .arg(color.green(), 2, 16, QLatin1Char('0'))
      .arg(color.blue(), 2, 16, QLatin1Char('0'))
      .toUpper();
}

RHsl HslOf(const QColor& color) {
  float h = 0, s = 0, l = 0;
  color.toHsl().getHslF(&h, &s, &l);
  return {HueDegrees(h), Byte(s), Byte(l)};
}

QColor FromHsl(int hue, int saturation, int lightness) {
  return EightBit(QColor::fromHslF(HueInRange(hue) / 360.0f, Clamp(saturation, 0, 255) / 255.0f,
                          Clamp(lightness, 0, 255) / 255.0f));
}

RHsb HsbOf(const QColor& color) {
  float h = 0, s = 0, v = 0;
  color.toHsv().getHsvF(&h, &s, &v);
  return {HueDegrees(h), Byte(s), Byte(v)};
}

QColor FromHsb(int hue, int saturation, int brightness) {
  return EightBit(QColor::fromHsvF(HueInRange(hue) / 360.0f, Clamp(saturation, 0, 255) / 255.0f,
                          Clamp(brightness, 0, 255) / 255.0f));
}

RLab LabOf(const QColor& color) {
  const std::array<double, 3> rgb = {Linear(color.red()), Linear(color.green()), Linear(color.blue())};
  std::array<double, 3> xyz{};
  for (int i = 0; i < 3; ++i) {
    xyz[i] = RgbToXyz[i][0] * rgb[0] + RgbToXyz[i][1] * rgb[1] + RgbToXyz[i][2] * rgb[2];
  }
  const double fx = LabF(xyz[0] / WhiteX);
  const double fy = LabF(xyz[1] / WhiteY);
  const double fz = LabF(xyz[2] / WhiteZ);
  return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

QColor FromLab(const RLab& lab) {
  const double fy = (lab.L + 16.0) / 116.0;
  const double fx = fy + lab.A / 500.0;
  const double fz = fy - lab.B / 200.0;
  // Y straight from L keeps the dark end exact, where the cube of fy would be off the curve.
  const double y = lab.L > Kappa * Epsilon ? fy * fy * fy : lab.L / Kappa;
  const std::array<double, 3> xyz = {LabFInverse(fx) * WhiteX, y * WhiteY, LabFInverse(fz) * WhiteZ};
  std::array<int, 3> rgb{};
  for (int i = 0; i < 3; ++i) {
    rgb[i] = Companded(XyzToRgb[i][0] * xyz[0] + XyzToRgb[i][1] * xyz[1] + XyzToRgb[i][2] * xyz[2]);
  }
  return QColor(rgb[0], rgb[1], rgb[2]);
}

RLch LchOf(const RLab& lab) {
  double hue = std::atan2(lab.B, lab.A) * 180.0 / std::numbers::pi;
  if (hue < 0) hue += 360.0;
  return {lab.L, std::hypot(lab.A, lab.B), hue};
}

RLab LabOf(const RLch& lch) {
  const double radians = lch.H * std::numbers::pi / 180.0;
  return {lch.L, lch.C * std::cos(radians), lch.C * std::sin(radians)};
}

RCmyk CmykOf(const QColor& color) {
  float c = 0, m = 0, y = 0, k = 0;
  color.toCmyk().getCmykF(&c, &m, &y, &k);
  return {Percent(c), Percent(m), Percent(y), Percent(k)};
}

QColor FromCmyk(int cyan, int magenta, int yellow, int black) {
  return EightBit(QColor::fromCmykF(Clamp(cyan, 0, 100) / 100.0f, Clamp(magenta, 0, 100) / 100.0f,
                           Clamp(yellow, 0, 100) / 100.0f, Clamp(black, 0, 100) / 100.0f));
}

}  // namespace ashtint
