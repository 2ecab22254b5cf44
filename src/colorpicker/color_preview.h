// A box showing one colour; the colour dialog keeps the colour being edited in one of these.
#pragma once

#include <QColor>
#include <QWidget>

namespace ashtint {

class TColorPreview : public QWidget {
  Q_OBJECT

 public:
  explicit TColorPreview(QWidget* parent = nullptr);

  QColor Color() const { return color_; }
  // Raises ColorChanged only when the colour really changes.
  void SetColor(const QColor& color);

  QSize sizeHint() const override { return {64, 48}; }

 signals:
  void ColorChanged(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_{Qt::white};
};

}  // namespace ashtint
