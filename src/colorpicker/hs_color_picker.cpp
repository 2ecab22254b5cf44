#include "colorpicker/hs_color_picker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "colorpicker/color_models.h"
#include "colorpicker/picker_drawing.h"

namespace ashtint {

namespace {

constexpr int CircleMargin = 7;  // room for the marker at the rim

double CircleRadius(QSize size) { return std::max(1.0, std::min(size.width(), size.height()) / 2.0 - CircleMargin); }

QPointF CircleCentre(QSize size) { return {(size.width() - 1) / 2.0, (size.height() - 1) / 2.0}; }

// The span of pixel positions along one side, at least 1 so tiny sizes cannot divide by zero.
double Span(int pixels) { return std::max(1, pixels - 1); }

}  // namespace

THueSaturationArea::THueSaturationArea(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::CrossCursor);
}

void THueSaturationArea::SetHueSaturation(int hue, int saturation) {
  hue_ = std::clamp(hue, 0, 360) % 360;
  saturation_ = std::clamp(saturation, 0, 255);
  update();
}

void THueSaturationArea::SetValuesKeepingHueOfGrey(int hue, int saturation) {
  SetHueSaturation(saturation == 0 ? hue_ : hue, saturation);
}

void THueSaturationArea::UserSets(int hue, int saturation) {
  if (hue == hue_ && saturation == saturation_) return;
  SetHueSaturation(hue, saturation);
  emit ColorChanged(Color());
}

void THueSaturationArea::paintEvent(QPaintEvent*) {
  if (cache_.size() != size()) cache_ = Render(size());
  QPainter painter(this);
  painter.drawImage(0, 0, cache_);
  const QColor shown = FromHsb(hue_, saturation_, 255);
  DrawMarker(painter, PointOf(hue_, saturation_, size()), shown);
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void THueSaturationArea::resizeEvent(QResizeEvent* event) {
  cache_ = QImage();
  QWidget::resizeEvent(event);
}

void THueSaturationArea::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  int hue = 0, saturation = 0;
  ValuesAt(event->position(), size(), &hue, &saturation);
  UserSets(hue, saturation);
}

void THueSaturationArea::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
  int hue = 0, saturation = 0;
  ValuesAt(event->position(), size(), &hue, &saturation);
  UserSets(hue, saturation);
}

void THueSaturationArea::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: return UserSets((hue_ + 359) % 360, saturation_);
    case Qt::Key_Right: return UserSets((hue_ + 1) % 360, saturation_);
    case Qt::Key_Up: return UserSets(hue_, std::min(255, saturation_ + 1));
    case Qt::Key_Down: return UserSets(hue_, std::max(0, saturation_ - 1));
    default: QWidget::keyPressEvent(event);
  }
}

// ---- the square ----

void THSColorPicker::SetLuminance(int luminance) {
  luminance_ = std::clamp(luminance, 0, 255);
  update();
}

QColor THSColorPicker::Color() const { return FromHsl(Hue(), Saturation(), luminance_); }

void THSColorPicker::SetSelectedColor(const QColor& color) {
  const RHsl hsl = HslOf(color);
  SetValuesKeepingHueOfGrey(hsl.H, hsl.S);
  SetLuminance(hsl.L);
}

QImage THSColorPicker::Render(QSize size) const {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const float saturation = static_cast<float>(1.0 - y / Span(size.height()));
    for (int x = 0; x < size.width(); ++x) {
      const float hue = static_cast<float>(x / Span(size.width()) * 359.0 / 360.0);
      line[x] = QColor::fromHslF(hue, saturation, 0.5f).rgb();
    }
  }
  return image;
}

QPointF THSColorPicker::PointOf(int hue, int saturation, QSize size) const {
  return {hue * Span(size.width()) / 359.0, (255 - saturation) * Span(size.height()) / 255.0};
}

void THSColorPicker::ValuesAt(QPointF point, QSize size, int* hue, int* saturation) const {
  const double x = std::clamp(point.x(), 0.0, Span(size.width()));
  const double y = std::clamp(point.y(), 0.0, Span(size.height()));
  *hue = RoundHalfEven(x * 359.0 / Span(size.width()));
  *saturation = 255 - RoundHalfEven(y * 255.0 / Span(size.height()));
}

// ---- the circle ----

void THSVColorPicker::SetValue(int value) {
  value_ = std::clamp(value, 0, 255);
  update();
}

QColor THSVColorPicker::Color() const { return FromHsb(Hue(), Saturation(), value_); }

void THSVColorPicker::SetSelectedColor(const QColor& color) {
  const RHsb hsb = HsbOf(color);
  SetValuesKeepingHueOfGrey(hsb.H, hsb.S);
  SetValue(hsb.B);
}

QImage THSVColorPicker::Render(QSize size) const {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const QPointF centre = CircleCentre(size);
  const double radius = CircleRadius(size);
  for (int y = 0; y < size.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      const double dx = x - centre.x();
      const double dy = centre.y() - y;
      const double distance = std::hypot(dx, dy);
      if (distance > radius + 0.5) continue;
      double angle = std::atan2(dy, dx) / (2 * std::numbers::pi);
      if (angle < 0) angle += 1.0;
      if (angle >= 1.0) angle = 0.0;
      const float saturation = static_cast<float>(std::min(1.0, distance / radius));
      line[x] = QColor::fromHsvF(static_cast<float>(angle), saturation, 1.0f).rgb();
    }
  }
  return image;
}

QPointF THSVColorPicker::PointOf(int hue, int saturation, QSize size) const {
  const double angle = hue * std::numbers::pi / 180.0;
  const double distance = saturation / 255.0 * CircleRadius(size);
  const QPointF centre = CircleCentre(size);
  return {centre.x() + distance * std::cos(angle), centre.y() - distance * std::sin(angle)};
}

void THSVColorPicker::ValuesAt(QPointF point, QSize size, int* hue, int* saturation) const {
  const QPointF centre = CircleCentre(size);
  const double dx = point.x() - centre.x();
  const double dy = centre.y() - point.y();
  int degrees = RoundHalfEven(std::atan2(dy, dx) * 180.0 / std::numbers::pi);
  if (degrees < 0) degrees += 360;
  *hue = degrees % 360;
  *saturation = std::min(255, RoundHalfEven(std::hypot(dx, dy) / CircleRadius(size) * 255.0));
}

}  // namespace ashtint
