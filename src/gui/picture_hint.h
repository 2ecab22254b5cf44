// The " ? " marks beside the mods: while the mouse is over one, a picture of what the mod does
// appears instead of a text hint.
#pragma once

#include <QImage>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace ashtint {

// The picture of a resource name such as "PNG_DPTMODE", decoded from the program's resources;
// a null image when there is no such picture.
QImage LoadHintPicture(const QString& name);

// A window without frame that shows one picture at its top-left corner. It never takes the
// focus and lets the mouse through, so it cannot steal the hover from its mark.
class TGraphicHintWindow : public QWidget {
 public:
  TGraphicHintWindow(const QString& pictureName, QWidget* parent);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

// Where a picture hint opens for a mark whose centre is p: its top-left corner at p, moved up
// and left so that it ends 20 pixels inside the desktop, and never beyond the desktop's left or
// top edge.
QRect PlaceHintWindow(QPoint p, QSize picture, const QRect& desktop);

class TStaticText : public QLabel {
 public:
  explicit TStaticText(const QString& text, QWidget* parent = nullptr);

  // Gives the mark its picture; the hint window belongs to the mark.
  void SetPicture(const QString& name);
  TGraphicHintWindow* GraphicHint() const { return fGraphicHint; }

  void ShowGraphicHint();
  void HideGraphicHint();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool PointerOnMark() const;

  TGraphicHintWindow* fGraphicHint = nullptr;
  // The hint opens with its corner at the mark's centre, often under the pointer. Window
  // systems then report that the pointer left the mark although it never moved, and report
  // nothing when it really leaves; so while the hint shows, the pointer's place decides.
  QTimer pointerWatch_;
};

}  // namespace ashtint
