#include "colorpicker/color_bars.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>

#include "colorpicker/color_models.h"

namespace ashtint {

namespace {

constexpr int ArrowSize = 5;  // the level arrows stand on both sides, the bar between them

}  // namespace

TColorBar::TColorBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::SizeVerCursor);
}

void TColorBar::SetHueSaturation(int hue, int saturation) {
  hue_ = std::clamp(hue, 0, 360) % 360;
  saturation_ = std::clamp(saturation, 0, 255);
  update();
}

void TColorBar::SetLevel(int level) {
  level_ = std::clamp(level, 0, 255);
  update();
}

int TColorBar::LevelAt(double y) const {
  const double span = std::max(1, height() - 2 * ArrowSize - 1);
  const double offset = std::clamp(y - ArrowSize, 0.0, span);
  return 255 - RoundHalfEven(offset * 255.0 / span);
}

double TColorBar::YOf(int level) const {
  const double span = std::max(1, height() - 2 * ArrowSize - 1);
  return ArrowSize + (255 - level) * span / 255.0;
}

void TColorBar::UserSets(int level) {
  level = std::clamp(level, 0, 255);
  if (level == level_) return;
  SetLevel(level);
  emit ColorChanged(Color());
}

void TColorBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect bar(ArrowSize + 1, ArrowSize, std::max(1, width() - 2 * ArrowSize - 2), height() - 2 * ArrowSize);
  // One line per pixel row, each in the bar's own colour for that level: exact for any model.
  for (int y = bar.top(); y <= bar.bottom(); ++y) {
    painter.setPen(ColorAt(LevelAt(y)));
    painter.drawLine(bar.left(), y, bar.right(), y);
  }
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette().color(hasFocus() ? QPalette::Highlight : QPalette::WindowText));
  const double y = YOf(level_);
  QPainterPath arrows;
  arrows.moveTo(0, y - ArrowSize);
  arrows.lineTo(ArrowSize, y);
  arrows.lineTo(0, y + ArrowSize);
  arrows.closeSubpath();
  arrows.moveTo(width(), y - ArrowSize);
  arrows.lineTo(width() - ArrowSize, y);
  arrows.lineTo(width(), y + ArrowSize);
  arrows.closeSubpath();
  painter.drawPath(arrows);
}

void TColorBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  UserSets(LevelAt(event->position().y()));
}

void TColorBar::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
  UserSets(LevelAt(event->position().y()));
}

void TColorBar::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return QWidget::wheelEvent(event);
  UserSets(level_ + steps);
}

void TColorBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up: return UserSets(level_ + 1);
    case Qt::Key_Down: return UserSets(level_ - 1);
    case Qt::Key_PageUp: return UserSets(level_ + 16);
    case Qt::Key_PageDown: return UserSets(level_ - 16);
    case Qt::Key_Home: return UserSets(255);
    case Qt::Key_End: return UserSets(0);
    default: QWidget::keyPressEvent(event);
  }
}

QColor TLColorPicker::ColorAt(int level) const { return FromHsl(Hue(), Saturation(), level); }

TVColorPicker::TVColorPicker(QWidget* parent) : TColorBar(parent) { SetLevel(255); }

QColor TVColorPicker::ColorAt(int level) const { return FromHsb(Hue(), Saturation(), level); }

}  // namespace ashtint
