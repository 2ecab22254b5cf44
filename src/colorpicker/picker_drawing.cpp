#include "colorpicker/picker_drawing.h"

#include <QPainter>
#include <QPen>

namespace ashtint {

QColor ContrastColor(const QColor& color) {
  const int luma = (77 * color.red() + 150 * color.green() + 29 * color.blue()) / 256;
  return luma >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

void DrawMarker(QPainter& painter, QPointF centre, const QColor& under, double radius) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ContrastColor(under), 1.5));
  painter.drawEllipse(centre, radius, radius);
  painter.setPen(QPen(under.lightness() >= 128 ? QColor(Qt::white) : QColor(Qt::black), 1.0));
  painter.drawEllipse(centre, radius + 1.5, radius + 1.5);
  painter.restore();
}

}  // namespace ashtint
