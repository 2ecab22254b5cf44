// The hexagon picker: a honeycomb of colour cells, white in the centre, the hues around it and
// full saturation on the outer ring, all at one intensity that the bar under the honeycomb sets.
// It raises ColorChanged only for what the user does; colours and intensities set by the program
// raise nothing.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <optional>

namespace ashtint {

class THexaColorPicker : public QWidget {
  Q_OBJECT

 public:
  // Rings of cells around the centre cell: 1 + 3 x Rings x (Rings + 1) cells in all.
  static constexpr int Rings = 7;

  explicit THexaColorPicker(QWidget* parent = nullptr);

  // The colour set last, by the program or by a click. Setting one moves the intensity to the
  // colour's brightness and marks the cell nearest to it.
  QColor SelectedColor() const { return selected_; }
  void SetSelectedColor(const QColor& color);

  // 0..100, 100 = full. Setting it selects the marked cell at the new intensity.
  int Intensity() const { return intensity_; }
  void SetIntensity(int intensity);

  // The cell hint: "%r", "%g", "%b" and "%hex" stand for the cell's red, green, blue and
  // "RRGGBB"; a CR starts a new line.
  QString HintFormat = QStringLiteral("RGB(%r, %g, %b)\rHex: %hex");
  // The intensity bar's hint, followed by the percentage.
  QString IntensityText = QStringLiteral("Intensity");

  // A cell by its axial coordinates (q along a row, r down the rows), the centre at (0, 0).
  // Its colour at an intensity, and whether the cell exists.
  static bool CellExists(QPoint cell);
  static QColor CellColor(QPoint cell, int intensity);
  QPoint MarkedCell() const { return marked_; }
  // Where a cell's centre lies in the widget, and the cell at a point (none outside the
  // honeycomb); public so that tests can click exactly on a cell.
  QPointF CellCentre(QPoint cell) const;
  std::optional<QPoint> CellAt(QPointF point) const;
  // The text of the cell hint for a colour.
  QString HintFor(const QColor& color) const;

  QSize sizeHint() const override { return {240, 236}; }
  QSize minimumSizeHint() const override { return {120, 120}; }

 signals:
  void ColorChanged(const QColor& color);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  double CellRadius() const;
  QPointF GridCentre() const;
  QRect IntensityBar() const;
  int IntensityAt(double x) const;
  QImage Render() const;
  void UserPicksCell(QPoint cell);
  void UserSetsIntensity(int intensity);

  QColor selected_{Qt::white};
  QPoint marked_{0, 0};
  int intensity_ = 100;
  bool draggingBar_ = false;
  QImage cache_;  // the honeycomb at the current size and intensity
  QPoint cacheMarked_;  // the cell whose colours the cached intensity bar shows
};

}  // namespace ashtint
