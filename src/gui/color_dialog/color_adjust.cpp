#include "gui/color_dialog/color_adjust.h"

#include <algorithm>
#include <cmath>

#include "colorpicker/color_models.h"

namespace ashtint {

namespace {

template <typename F>
QColor EachChannel(const QColor& color, F f) {
  return QColor(f(color.red()), f(color.green()), f(color.blue()));
}

int HexPair(QStringView pair) {
  bool ok = false;
  const int value = pair.toInt(&ok, 16);
  return ok && pair.size() == 2 ? value : 0;
}

// A decimal number of an R,G,B text; anything else counts 0, more than 255 counts 255.
int Component(QStringView text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? std::clamp(value, 0, 255) : 0;
}

}  // namespace

QColor WebSafe(const QColor& color) {
  return EachChannel(color, [](int v) { return v / 48 * 51; });
}

QColor Lighter(const QColor& color) {
  return EachChannel(color, [](int v) { return v + static_cast<int>(std::round((255 - v) * 5 / 100.0)); });
}

QColor Darker(const QColor& color) {
  return EachChannel(color, [](int v) { return v - static_cast<int>(std::round(v * 5 / 100.0)); });
}

QColor Inverted(const QColor& color) {
  return EachChannel(color, [](int v) { return 255 - v; });
}

QColor Grayscale(const QColor& color) {
  const int y = (77 * color.red() + 150 * color.green() + 29 * color.blue()) / 256;
  return QColor(y, y, y);
}

int FormatIndex(TStrFormat format) {
  switch (format) {
    case sfRGB: return 0;
    case sfDec: return 1;
    case sfC: return 3;
    case sfPascal: return 4;
    default: return 2;
  }
}

TStrFormat FormatOfIndex(int index) {
  switch (index) {
    case 0: return sfRGB;
    case 1: return sfDec;
    case 3: return sfC;
    case 4: return sfPascal;
    default: return sfHex;
  }
}

QString ColorResultText(const QColor& color, TStrFormat format) {
  switch (format) {
    case sfRGB: return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
    case sfDec: return QString::number(ColorValue(color));
    case sfC: return QStringLiteral("0x") + HexOf(color);
    case sfPascal: return QStringLiteral("$") + HexOf(QColor(color.blue(), color.green(), color.red()));
    case sfUnpHex: return HexOf(color);
    default: return QStringLiteral("#") + HexOf(color);
  }
}

RColorText ReadColorTextOf(const QString& text) {
  RColorText result;
  QString t;
  for (const QChar c : text) {
    const QChar u = c.toUpper();
    if (u == u'#' || u == u'$' || u == u',' || u == u'X' || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F'))
      t += u;
  }
  if (t.size() < 6) return result;
  if (t.startsWith(u'#')) {
    result.Format = sfHex;
  } else if (t.startsWith(u'$')) {
    result.Format = sfPascal;
  } else if (t.startsWith(QStringLiteral("0X"))) {
    result.Format = sfC;
  }
  if (t.contains(u',')) {
    if (result.Format != sfNone) return result;  // a prefix and commas: no colour
    result.Format = sfRGB;
  }
  if (result.Format == sfNone) result.Format = sfUnpHex;

  if (result.Format == sfRGB) {
    const qsizetype first = t.indexOf(u',');
    const QStringView rest = QStringView(t).mid(first + 1);
    const qsizetype second = rest.indexOf(u',');
    const int red = Component(QStringView(t).left(first));
    const int green = Component(second < 0 ? rest : rest.left(second));
    const int blue = second < 0 ? 0 : Component(rest.mid(second + 1));
    result.Color = QColor(red, green, blue);
    return result;
  }
  const QStringView last = QStringView(t).right(6);
  const int first = HexPair(last.mid(0, 2)), middle = HexPair(last.mid(2, 2)), end = HexPair(last.mid(4, 2));
  result.Color = result.Format == sfPascal ? QColor(end, middle, first) : QColor(first, middle, end);
  return result;
}

}  // namespace ashtint
