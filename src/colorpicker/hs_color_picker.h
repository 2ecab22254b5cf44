// Two-dimensional pickers: the hue/saturation square (hue across, saturation up, drawn at half
// lightness) and the hue/saturation circle (hue around, saturation outwards, drawn at full
// brightness). Their colour is the chosen hue and saturation at a lightness or brightness set
// from outside, normally by the bar beside them.
//
// ColorChanged is raised only for what the user does (mouse or keys); what the program sets
// raises nothing, so a dialog can write every view without echoes.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

namespace ashtint {

// What the two pickers share: the hue and saturation, the cached picture and the input.
class THueSaturationArea : public QWidget {
  Q_OBJECT

 public:
  explicit THueSaturationArea(QWidget* parent = nullptr);

  int Hue() const { return hue_; }                // 0..359
  int Saturation() const { return saturation_; }  // 0..255
  // The colour the picker stands for: its hue and saturation at its lightness or brightness.
  virtual QColor Color() const = 0;

  // The hue and saturation of the colour, and its lightness or brightness. A grey has no hue, so
  // the hue stays where it was and only the saturation goes to 0.
  virtual void SetSelectedColor(const QColor& color) = 0;
  void SetHueSaturation(int hue, int saturation);

  QSize sizeHint() const override { return {220, 220}; }
  QSize minimumSizeHint() const override { return {64, 64}; }

 signals:
  void ColorChanged(const QColor& color);

 protected:
  // The picture of every hue and saturation; drawn once per size, not per paint.
  virtual QImage Render(QSize size) const = 0;
  virtual QPointF PointOf(int hue, int saturation, QSize size) const = 0;
  // The hue and saturation at a point (outside points are brought to the nearest edge).
  virtual void ValuesAt(QPointF point, QSize size, int* hue, int* saturation) const = 0;
  void SetValuesKeepingHueOfGrey(int hue, int saturation);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void UserSets(int hue, int saturation);

  int hue_ = 0;
  int saturation_ = 0;
  QImage cache_;
};

// The square: hue 0..359 from left to right, saturation 255 at the top to 0 at the bottom.
class THSColorPicker : public THueSaturationArea {
  Q_OBJECT

 public:
  explicit THSColorPicker(QWidget* parent = nullptr) : THueSaturationArea(parent) {}

  int Luminance() const { return luminance_; }  // 0..255
  void SetLuminance(int luminance);
  QColor Color() const override;
  void SetSelectedColor(const QColor& color) override;

 protected:
  QImage Render(QSize size) const override;
  QPointF PointOf(int hue, int saturation, QSize size) const override;
  void ValuesAt(QPointF point, QSize size, int* hue, int* saturation) const override;

 private:
  int luminance_ = 128;
};

// The circle: hue around it (0 to the right, growing counter-clockwise), saturation from 0 in
// the centre to 255 at the rim.
class THSVColorPicker : public THueSaturationArea {
  Q_OBJECT

 public:
  explicit THSVColorPicker(QWidget* parent = nullptr) : THueSaturationArea(parent) {}

  int Value() const { return value_; }  // brightness 0..255
  void SetValue(int value);
  QColor Color() const override;
  void SetSelectedColor(const QColor& color) override;

 protected:
  QImage Render(QSize size) const override;
  QPointF PointOf(int hue, int saturation, QSize size) const override;
  void ValuesAt(QPointF point, QSize size, int* hue, int* saturation) const override;

 private:
  int value_ = 255;
};

}  // namespace ashtint
