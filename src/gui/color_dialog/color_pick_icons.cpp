#include "gui/color_dialog/color_pick_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace ashtint {

namespace {

constexpr int Size = 16;

void Triangle(QPainter& p, double tipX, double baseX) {
  p.drawPolygon(QPolygonF({QPointF(tipX, 8), QPointF(baseX, 3.5), QPointF(baseX, 12.5)}));
}

}  // namespace

QIcon PickGlyphIcon(TPickGlyph glyph) {
  QPixmap pixmap(Size, Size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 40, 40);
  p.setPen(QPen(ink, 1.2));
  switch (glyph) {
    case TPickGlyph::HexaReset: {
      QPolygonF hexagon;
      for (int i = 0; i < 6; ++i) {
        const double a = (60.0 * i - 30.0) * std::numbers::pi / 180.0;
        hexagon << QPointF(8 + 6.5 * std::cos(a), 8 + 6.5 * std::sin(a));
      }
      QLinearGradient rainbow(2, 2, 14, 14);
      rainbow.setColorAt(0, Qt::red);
      rainbow.setColorAt(0.5, Qt::green);
      rainbow.setColorAt(1, Qt::blue);
      p.setBrush(rainbow);
      p.drawPolygon(hexagon);
      break;
    }
    case TPickGlyph::Lighter:
    case TPickGlyph::Darker: {
      const bool lighter = glyph == TPickGlyph::Lighter;
      p.setBrush(lighter ? QColor(250, 240, 160) : QColor(90, 80, 40));
      p.drawEllipse(QPointF(8, 8), 6, 6);
      p.setPen(QPen(lighter ? ink : QColor(Qt::white), 1.6));
      p.drawLine(QPointF(5, 8), QPointF(11, 8));
      if (lighter) p.drawLine(QPointF(8, 5), QPointF(8, 11));
      break;
    }
    case TPickGlyph::Invert: {
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(8, 8), 6, 6);
      QPainterPath half;
      half.moveTo(8, 2);
      half.arcTo(QRectF(2, 2, 12, 12), 90, 180);
      half.closeSubpath();
      p.setBrush(ink);
      p.drawPath(half);
      break;
    }
    case TPickGlyph::Grayscale: {
      QLinearGradient greys(2, 0, 14, 0);
      greys.setColorAt(0, Qt::black);
      greys.setColorAt(1, Qt::white);
      p.setBrush(greys);
      p.drawRect(QRectF(2, 3, 12, 10));
      break;
    }
    case TPickGlyph::Pipette: {
      p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3, 13), QPointF(10, 6));
      p.setBrush(ink);
      p.drawEllipse(QPointF(11.5, 4.5), 2.5, 2.5);
      break;
    }
    case TPickGlyph::UndoBegin:
    case TPickGlyph::Undo:
    case TPickGlyph::Redo:
    case TPickGlyph::RedoEnd: {
      p.setBrush(ink);
      const bool back = glyph == TPickGlyph::UndoBegin || glyph == TPickGlyph::Undo;
      const bool end = glyph == TPickGlyph::UndoBegin || glyph == TPickGlyph::RedoEnd;
      if (back) {
        Triangle(p, end ? 5 : 4, end ? 12 : 12);
        if (end) p.drawRect(QRectF(2.5, 3.5, 1.2, 9));
      } else {
        Triangle(p, end ? 11 : 12, end ? 4 : 4);
        if (end) p.drawRect(QRectF(12.3, 3.5, 1.2, 9));
      }
      break;
    }
    case TPickGlyph::Find: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(ink, 1.6));
      p.drawEllipse(QPointF(6.5, 6.5), 4, 4);
      p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
      break;
    }
    case TPickGlyph::Copy: {
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 2.5, 8, 9));
      p.drawRect(QRectF(5.5, 5.5, 8, 9));
      break;
    }
  }
  return QIcon(pixmap);
}

QIcon SwatchIcon(const QColor& color) {
  QPixmap pixmap(Size, Size - 4);
  pixmap.fill(color);
  QPainter p(&pixmap);
  p.setPen(QColor(100, 100, 100));
  p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return QIcon(pixmap);
}

}  // namespace ashtint
