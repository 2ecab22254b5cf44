// Vertical bars beside the two-dimensional pickers: the lightness bar (white at the top, the
// pure hue in the middle, black at the bottom) and the brightness bar (full brightness at the
// top, black at the bottom). Like the pickers, they raise ColorChanged only for the user's own
// mouse, wheel and key actions.
#pragma once

#include <QColor>
#include <QWidget>

namespace ashtint {

class TColorBar : public QWidget {
  Q_OBJECT

 public:
  explicit TColorBar(QWidget* parent = nullptr);

  int Hue() const { return hue_; }                // 0..359
  int Saturation() const { return saturation_; }  // 0..255
  void SetHueSaturation(int hue, int saturation);

  // The position on the bar, 0 at the bottom to 255 at the top.
  int Level() const { return level_; }
  void SetLevel(int level);

  // The bar's colour at a level, and at its own level.
  virtual QColor ColorAt(int level) const = 0;
  QColor Color() const { return ColorAt(level_); }

  QSize sizeHint() const override { return {24, 220}; }
  QSize minimumSizeHint() const override { return {16, 64}; }

 signals:
  void ColorChanged(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int LevelAt(double y) const;
  double YOf(int level) const;
  void UserSets(int level);

  int hue_ = 0;
  int saturation_ = 0;
  int level_ = 128;
};

// HSL lightness of the set hue and saturation.
class TLColorPicker : public TColorBar {
  Q_OBJECT

 public:
  explicit TLColorPicker(QWidget* parent = nullptr) : TColorBar(parent) {}
  int Luminance() const { return Level(); }
  void SetLuminance(int luminance) { SetLevel(luminance); }
  QColor ColorAt(int level) const override;
};

// HSB brightness of the set hue and saturation.
class TVColorPicker : public TColorBar {
  Q_OBJECT

 public:
  explicit TVColorPicker(QWidget* parent = nullptr);
  int Value() const { return Level(); }
  void SetValue(int value) { SetLevel(value); }
  QColor ColorAt(int level) const override;
};

}  // namespace ashtint
