// What the colour dialog's buttons do to a colour, and the texts it reads and writes.
#pragma once

#include <QColor>
#include <QString>

namespace ashtint {

// Each channel v to (v div 48) x 51: 0, 51, 102, 153, 204 or 255.
QColor WebSafe(const QColor& color);
// Each channel 5 % of the way to white, or to black; the step rounded half away from zero.
QColor Lighter(const QColor& color);
QColor Darker(const QColor& color);
QColor Inverted(const QColor& color);
// Grey of the weighted sum (77 red + 150 green + 29 blue) div 256.
QColor Grayscale(const QColor& color);

// The formats of a colour text; the dialog's format box shows the first five in this order
// (sfRGB "RGB", sfDec "Dec", sfHex "Hex", sfC "C++", sfPascal "Pascal").
enum TStrFormat { sfRGB, sfDec, sfHex, sfC, sfPascal, sfUnpHex, sfNone };

// The format box's item for a format (Hex for those it does not list), and back.
int FormatIndex(TStrFormat format);
TStrFormat FormatOfIndex(int index);

// The colour as text in a format of the format box: "R,G,B", the colour value in decimal,
// "#RRGGBB", "0xRRGGBB", "$BBGGRR"; hex digits in upper case.
QString ColorResultText(const QColor& color, TStrFormat format);

// A colour and its format read from any colour text; sfNone and black for what is no colour.
struct RColorText {
  QColor Color{Qt::black};
  TStrFormat Format = sfNone;
};
RColorText ReadColorTextOf(const QString& text);

}  // namespace ashtint
