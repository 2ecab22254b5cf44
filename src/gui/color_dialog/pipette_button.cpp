#include "gui/color_dialog/pipette_button.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace ashtint {

std::optional<QColor> ScreenPixel(QPoint global) {
  QScreen* screen = QGuiApplication::screenAt(global);
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return std::nullopt;
  const QRect area = screen->geometry();
  const QPixmap pixel = screen->grabWindow(0, global.x() - area.x(), global.y() - area.y(), 1, 1);
  if (pixel.isNull()) return std::nullopt;
  const QImage image = pixel.toImage();
  if (image.isNull() || image.width() < 1 || image.height() < 1) return std::nullopt;
  const QColor color = image.pixelColor(0, 0);
  return QColor(color.red(), color.green(), color.blue());
}

TPipetteButton::TPipetteButton(QWidget* parent) : QToolButton(parent) {}

void TPipetteButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QToolButton::mousePressEvent(event);
  if (!ScreenPixel(event->globalPosition().toPoint())) {
    emit Refused();
    return;
  }
  setDown(true);
  active_ = true;
  emit PickStarted();
}

// The press grabs the pointer, so moves arrive here wherever the pointer goes on the screen.
void TPipetteButton::mouseMoveEvent(QMouseEvent* event) {
  if (!active_) return QToolButton::mouseMoveEvent(event);
  if (const auto color = ScreenPixel(event->globalPosition().toPoint())) emit Picked(*color);
}

void TPipetteButton::mouseReleaseEvent(QMouseEvent* event) {
  if (!active_ || event->button() != Qt::LeftButton) return QToolButton::mouseReleaseEvent(event);
  active_ = false;
  setDown(false);
  emit PickEnded();
}

}  // namespace ashtint
