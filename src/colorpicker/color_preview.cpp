#include "colorpicker/color_preview.h"

#include <QPainter>

#include "colorpicker/color_models.h"

namespace ashtint {

TColorPreview::TColorPreview(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void TColorPreview::SetColor(const QColor& color) {
  const QColor rgb = EightBit(color);
  if (rgb == color_) return;
  color_ = rgb;
  update();
  emit ColorChanged(color_);
}

void TColorPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), color_);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace ashtint
