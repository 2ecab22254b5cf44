#include "gui/picture_hint.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QScreen>

namespace ashtint {

QImage LoadHintPicture(const QString& name) {
  QImageReader reader(QStringLiteral(":/hints/%1.png").arg(name));
  return reader.read();
}

TGraphicHintWindow::TGraphicHintWindow(const QString& pictureName, QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput),
      picture_(LoadHintPicture(pictureName)) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  resize(picture_.size());
}

void TGraphicHintWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), picture_);
}

QRect PlaceHintWindow(QPoint p, QSize picture, const QRect& desktop) {
  constexpr int margin = 20;
  const int desktopRight = desktop.x() + desktop.width();
  const int desktopBottom = desktop.y() + desktop.height();
  int left = p.x();
  int top = p.y();
  if (top + picture.height() > desktopBottom - margin) top = desktopBottom - picture.height() - margin;
  if (left + picture.width() > desktopRight - margin) left = desktopRight - picture.width() - margin;
  if (left < desktop.x()) left = desktop.x();
  if (top < desktop.y()) top = desktop.y();  // a picture taller than the screen keeps its top in view
  return QRect(QPoint(left, top), picture);
}

TStaticText::TStaticText(const QString& text, QWidget* parent) : QLabel(text, parent) {
  pointerWatch_.setInterval(100);
  connect(&pointerWatch_, &QTimer::timeout, this, [this] {
    if (!PointerOnMark()) HideGraphicHint();
  });
}

bool TStaticText::PointerOnMark() const { return rect().contains(mapFromGlobal(QCursor::pos())); }

void TStaticText::SetPicture(const QString& name) {
  delete fGraphicHint;
  fGraphicHint = new TGraphicHintWindow(name, this);
}

void TStaticText::ShowGraphicHint() {
  if (fGraphicHint == nullptr || fGraphicHint->Picture().isNull()) return;
  const QPoint centre = mapToGlobal(rect().center());
  const QScreen* screen = QGuiApplication::screenAt(centre);
  if (screen == nullptr) screen = this->screen();
  fGraphicHint->setGeometry(PlaceHintWindow(centre, fGraphicHint->Picture().size(), screen->geometry()));
  fGraphicHint->show();
  fGraphicHint->raise();
  fGraphicHint->update();
  pointerWatch_.start();
}

void TStaticText::HideGraphicHint() {
  pointerWatch_.stop();
  if (fGraphicHint != nullptr) fGraphicHint->hide();
}

void TStaticText::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  ShowGraphicHint();
}

void TStaticText::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (!PointerOnMark()) HideGraphicHint();
}

void TStaticText::hideEvent(QHideEvent* event) {
  QLabel::hideEvent(event);
  HideGraphicHint();
}

}  // namespace ashtint
