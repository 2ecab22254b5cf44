// The pipette: pressed, the button follows the pointer over the whole screen and reports the
// colour of the pixel under it until the button is released.
#pragma once

#include <QColor>
#include <QPoint>
#include <QToolButton>

#include <optional>

namespace ashtint {

// The colour of one screen pixel at a global position, through Qt's screen grab; none where the
// window system gives programs no screen pixels (as Wayland does).
std::optional<QColor> ScreenPixel(QPoint global);

class TPipetteButton : public QToolButton {
  Q_OBJECT

 public:
  explicit TPipetteButton(QWidget* parent = nullptr);

  bool Active() const { return active_; }

 signals:
  void PickStarted();
  void Picked(const QColor& color);
  void PickEnded();
  // The press found no screen pixels to read; nothing was started.
  void Refused();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool active_ = false;
};

}  // namespace ashtint
