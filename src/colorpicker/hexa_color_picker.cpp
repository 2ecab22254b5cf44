#include "colorpicker/hexa_color_picker.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "colorpicker/color_models.h"
#include "colorpicker/picker_drawing.h"

namespace ashtint {

namespace {

const double Sqrt3 = std::sqrt(3.0);
constexpr int BarHeight = 12;
constexpr int BarGap = 8;
constexpr int BarArrow = 5;  // the arrow under the bar that marks the intensity

int Ring(QPoint cell) { return std::max({std::abs(cell.x()), std::abs(cell.y()), std::abs(cell.x() + cell.y())}); }

QPolygonF Hexagon(QPointF centre, double radius) {
  QPolygonF polygon;
  for (int corner = 0; corner < 6; ++corner) {
    const double angle = (60.0 * corner - 30.0) * std::numbers::pi / 180.0;
    polygon << QPointF(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
  }
  return polygon;
}

int ColorDistance(const QColor& a, const QColor& b) {
  const int dr = a.red() - b.red(), dg = a.green() - b.green(), db = a.blue() - b.blue();
  return dr * dr + dg * dg + db * db;
}

}  // namespace

THexaColorPicker::THexaColorPicker(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);  // the cell hint follows the pointer
}

bool THexaColorPicker::CellExists(QPoint cell) { return Ring(cell) <= Rings; }

QColor THexaColorPicker::CellColor(QPoint cell, int intensity) {
  const double x = Sqrt3 * (cell.x() + cell.y() / 2.0);
  const double y = 1.5 * cell.y();
  double hue = std::atan2(-y, x) * 180.0 / std::numbers::pi;
  if (hue < 0) hue += 360.0;
  const int saturation = RoundHalfEven(255.0 * Ring(cell) / Rings);
  return FromHsb(RoundHalfEven(hue), saturation, (std::clamp(intensity, 0, 100) * 255 + 50) / 100);
}

double THexaColorPicker::CellRadius() const {
  const double areaHeight = std::max(1, height() - BarHeight - BarGap - BarArrow);
  return std::max(1.0, std::min((width() - 2) / (Sqrt3 * (2 * Rings + 1)), (areaHeight - 2) / (3.0 * Rings + 2)));
}

QPointF THexaColorPicker::GridCentre() const {
  const double areaHeight = std::max(1, height() - BarHeight - BarGap - BarArrow);
  return {width() / 2.0, areaHeight / 2.0};
}

QRect THexaColorPicker::IntensityBar() const {
  const int side = std::max(0, (width() - RoundHalfEven(CellRadius() * Sqrt3 * (2 * Rings + 1))) / 2);
  return {side, height() - BarHeight - BarArrow, std::max(1, width() - 2 * side), BarHeight};
}

QPointF THexaColorPicker::CellCentre(QPoint cell) const {
  const double radius = CellRadius();
  const QPointF centre = GridCentre();
  return {centre.x() + radius * Sqrt3 * (cell.x() + cell.y() / 2.0), centre.y() + radius * 1.5 * cell.y()};
}

std::optional<QPoint> THexaColorPicker::CellAt(QPointF point) const {
  const double radius = CellRadius();
  const QPointF centre = GridCentre();
  const double x = (point.x() - centre.x()) / radius;
  const double y = (point.y() - centre.y()) / radius;
  // Axial coordinates as fractions, rounded through the cube form so that the nearest centre wins.
  const double q = Sqrt3 / 3.0 * x - y / 3.0;
  const double r = 2.0 / 3.0 * y;
  const double s = -q - r;
  double rq = std::round(q), rr = std::round(r), rs = std::round(s);
  const double dq = std::abs(rq - q), dr = std::abs(rr - r), ds = std::abs(rs - s);
  if (dq > dr && dq > ds) {
    rq = -rr - rs;
  } else if (dr > ds) {
    rr = -rq - rs;
  }
  const QPoint cell(static_cast<int>(rq), static_cast<int>(rr));
  if (!CellExists(cell)) return std::nullopt;
  // Points beyond the outer ring's rim belong to no cell.
  const QPointF c = CellCentre(cell);
  if (std::hypot(point.x() - c.x(), point.y() - c.y()) > radius) return std::nullopt;
  return cell;
}

QString THexaColorPicker::HintFor(const QColor& color) const {
  QString text = HintFormat;
  text.replace(QStringLiteral("%hex"), HexOf(color))
      .replace(QStringLiteral("%r"), QString::number(color.red()))
      .replace(QStringLiteral("%g"), QString::number(color.green()))
      .replace(QStringLiteral("%b"), QString::number(color.blue()))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

void THexaColorPicker::SetSelectedColor(const QColor& color) {
  selected_ = EightBit(color);
  const int intensity = RoundHalfEven(HsbOf(selected_).B * 100.0 / 255.0);
  if (intensity != intensity_) cache_ = QImage();
  intensity_ = intensity;
  int best = std::numeric_limits<int>::max();
  for (int r = -Rings; r <= Rings; ++r) {
    for (int q = -Rings; q <= Rings; ++q) {
      const QPoint cell(q, r);
      if (!CellExists(cell)) continue;
      const int distance = ColorDistance(CellColor(cell, intensity_), selected_);
      if (distance < best) {
        best = distance;
        marked_ = cell;
      }
    }
  }
  update();
}

void THexaColorPicker::SetIntensity(int intensity) {
  intensity = std::clamp(intensity, 0, 100);
  if (intensity != intensity_) cache_ = QImage();
  intensity_ = intensity;
  selected_ = CellColor(marked_, intensity_);
  update();
}

void THexaColorPicker::UserPicksCell(QPoint cell) {
  if (cell == marked_ && CellColor(cell, intensity_) == selected_) return;
  marked_ = cell;
  selected_ = CellColor(cell, intensity_);
  update();
  emit ColorChanged(selected_);
}

void THexaColorPicker::UserSetsIntensity(int intensity) {
  if (intensity == intensity_ && CellColor(marked_, intensity_) == selected_) return;
  SetIntensity(intensity);
  emit ColorChanged(selected_);
}

int THexaColorPicker::IntensityAt(double x) const {
  const QRect bar = IntensityBar();
  const double span = std::max(1, bar.width() - 1);
  return RoundHalfEven(std::clamp(x - bar.left(), 0.0, span) * 100.0 / span);
}

QImage THexaColorPicker::Render() const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double radius = CellRadius();
  painter.setPen(QPen(palette().color(QPalette::Window), 1.0));
  for (int r = -Rings; r <= Rings; ++r) {
    for (int q = -Rings; q <= Rings; ++q) {
      const QPoint cell(q, r);
      if (!CellExists(cell)) continue;
      painter.setBrush(CellColor(cell, intensity_));
      painter.drawPolygon(Hexagon(CellCentre(cell), radius));
    }
  }
  // The bar runs from black to the marked cell's colour at full intensity.
  const QRect bar = IntensityBar();
  for (int x = bar.left(); x <= bar.right(); ++x) {
    painter.setPen(CellColor(marked_, IntensityAt(x)));
    painter.drawLine(x, bar.top(), x, bar.bottom());
  }
  return image;
}

void THexaColorPicker::paintEvent(QPaintEvent*) {
  // The bar's colours follow the marked cell, so the picture is redrawn when the mark moves.
  if (cache_.size() != size() || cacheMarked_ != marked_) {
    cache_ = Render();
    cacheMarked_ = marked_;
  }
  QPainter painter(this);
  painter.drawImage(0, 0, cache_);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor marked = CellColor(marked_, intensity_);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(ContrastColor(marked), 2.0));
  painter.drawPolygon(Hexagon(CellCentre(marked_), CellRadius() - 1.5));

  const QRect bar = IntensityBar();
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  const double x = bar.left() + intensity_ * std::max(1, bar.width() - 1) / 100.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(palette().color(hasFocus() ? QPalette::Highlight : QPalette::WindowText));
  painter.drawPolygon(QPolygonF({QPointF(x, bar.bottom() + 1.0), QPointF(x - BarArrow, bar.bottom() + 1.0 + BarArrow),
                                 QPointF(x + BarArrow, bar.bottom() + 1.0 + BarArrow)}));
}

void THexaColorPicker::resizeEvent(QResizeEvent* event) {
  cache_ = QImage();
  QWidget::resizeEvent(event);
}

bool THexaColorPicker::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QRect bar = IntensityBar().adjusted(0, 0, 0, BarArrow);
    if (bar.contains(help->pos())) {
      QToolTip::showText(help->globalPos(), IntensityText + QStringLiteral(": %1%").arg(intensity_), this);
    } else if (const auto cell = CellAt(help->pos())) {
      QToolTip::showText(help->globalPos(), HintFor(CellColor(*cell, intensity_)), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QWidget::event(event);
}

void THexaColorPicker::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  if (event->position().y() >= IntensityBar().top() - BarGap / 2) {
    draggingBar_ = true;
    UserSetsIntensity(IntensityAt(event->position().x()));
  } else if (const auto cell = CellAt(event->position())) {
    UserPicksCell(*cell);
  }
}

void THexaColorPicker::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return QWidget::mouseMoveEvent(event);
  if (draggingBar_) {
    UserSetsIntensity(IntensityAt(event->position().x()));
  } else if (const auto cell = CellAt(event->position())) {
    UserPicksCell(*cell);
  }
}

void THexaColorPicker::mouseReleaseEvent(QMouseEvent* event) {
  draggingBar_ = false;
  QWidget::mouseReleaseEvent(event);
}

void THexaColorPicker::keyPressEvent(QKeyEvent* event) {
  QPoint next = marked_;
  switch (event->key()) {
    case Qt::Key_Left: next.rx() -= 1; break;
    case Qt::Key_Right: next.rx() += 1; break;
    case Qt::Key_Up: next.ry() -= 1; break;
    case Qt::Key_Down: next.ry() += 1; break;
    case Qt::Key_PageUp: return UserSetsIntensity(std::min(100, intensity_ + 5));
    case Qt::Key_PageDown: return UserSetsIntensity(std::max(0, intensity_ - 5));
    default: return QWidget::keyPressEvent(event);
  }
  if (CellExists(next)) UserPicksCell(next);
}

}  // namespace ashtint
