// Drawing pieces the picker controls share.
#pragma once

#include <QColor>
#include <QPointF>

class QPainter;

namespace ashtint {

// A ring around a point that stays visible on light and dark colours alike.
void DrawMarker(QPainter& painter, QPointF centre, const QColor& under, double radius = 5.0);

// Black on light colours, white on dark ones.
QColor ContrastColor(const QColor& color);

}  // namespace ashtint
