#include "gui/preview/preview_tile.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "gui/preview/preview_texts.h"

namespace ashtint {

namespace {

constexpr int ViewSide = 384;

// Transparent parts over a checkerboard, so a mask reads as one.
void DrawChecked(QPainter& painter, const QRect& area, const QImage& image) {
  painter.save();
  painter.setClipRect(area);
  const int cell = std::max(3, area.height() / 8);
  for (int y = area.top(); y <= area.bottom(); y += cell)
    for (int x = area.left(); x <= area.right(); x += cell)
      painter.fillRect(x, y, cell, cell, ((x - area.left()) / cell + (y - area.top()) / cell) % 2 ? QColor(0x9A, 0x9A, 0x9A) : QColor(0x6A, 0x6A, 0x6A));
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(area, image);
  painter.restore();
}

QPixmap Checked(const QImage& image, int side) {
  if (image.isNull()) return {};
  const QSize size = image.size().scaled(side, side, Qt::KeepAspectRatio);
  QPixmap pixmap(size);
  QPainter painter(&pixmap);
  DrawChecked(painter, QRect(QPoint(0, 0), size), image);
  return pixmap;
}

}  // namespace

TPreviewTile::TPreviewTile(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setFixedSize(64, 22);
  setCursor(Qt::PointingHandCursor);
}

TPreviewTile::~TPreviewTile() { delete view_.data(); }

void TPreviewTile::SetContent(RSamplePtr sample, const RPreviewRecipe& recipe) {
  if (rendered_ && sample == sample_ && recipe == recipe_) return;
  sample_ = std::move(sample);
  recipe_ = recipe;
  rendered_ = true;
  word_.clear();
  before_ = sample_ ? ToQImage(sample_->Image) : QImage();
  after_ = ToQImage(RenderPreview(sample_.get(), recipe_, false));
  setToolTip(PreviewText(language_, ptTileHint));
  update();
  if (view_) view_->Refresh();
}

void TPreviewTile::SetWord(const QString& word) {
  if (!rendered_ && word == word_) return;
  rendered_ = false;
  sample_.reset();
  before_ = after_ = QImage();
  word_ = word;
  setToolTip(word);
  update();
  if (view_) view_->close();
}

void TPreviewTile::SetLanguage(int language) {
  language_ = language;
  if (HasPictures()) setToolTip(PreviewText(language_, ptTileHint));
}

void TPreviewTile::OpenView() {
  if (!HasPictures()) return;
  if (!view_) view_ = new TPreviewView(this, language_);
  view_->Refresh();
  view_->show();
  view_->raise();
}

void TPreviewTile::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect inside = contentsRect();
  if (!HasPictures()) {
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 2));
    painter.setFont(small);
    painter.drawText(inside, Qt::AlignCenter | Qt::TextWordWrap, word_);
    return;
  }
  if (before_.isNull()) {  // a one-colour texture: the colour alone
    DrawChecked(painter, inside, after_);
    return;
  }
  const int half = inside.width() / 2;
  DrawChecked(painter, QRect(inside.left(), inside.top(), half, inside.height()), before_);
  DrawChecked(painter, QRect(inside.left() + half + 1, inside.top(), inside.width() - half - 1, inside.height()), after_);
}

void TPreviewTile::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) OpenView();
  QFrame::mouseReleaseEvent(event);
}

TPreviewView::TPreviewView(TPreviewTile* tile, int language)
    : QDialog(tile->window()), tile_(tile), language_(language) {
  setWindowTitle(PreviewText(language, ptTitle));
  auto* grid = new QGridLayout(this);
  name_ = new QLabel(this);
  name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  grid->addWidget(name_, 0, 0, 1, 2);
  auto* beforeCaption = new QLabel(PreviewText(language, ptBefore), this);
  auto* afterCaption = new QLabel(PreviewText(language, ptAfter), this);
  grid->addWidget(beforeCaption, 1, 0);
  grid->addWidget(afterCaption, 1, 1);
  before_ = new QLabel(this);
  after_ = new QLabel(this);
  for (QLabel* picture : {before_, after_}) {
    picture->setMinimumSize(ViewSide, ViewSide);
    picture->setAlignment(Qt::AlignCenter);
  }
  grid->addWidget(before_, 2, 0);
  grid->addWidget(after_, 2, 1);
  compressed_ = new QCheckBox(PreviewText(language, ptCompressed), this);
  grid->addWidget(compressed_, 3, 0, 1, 2);
  connect(compressed_, &QCheckBox::toggled, this, &TPreviewView::Refresh);
}

void TPreviewView::Refresh() {
  const RSample* sample = tile_->Sample().get();
  if (sample != nullptr) {
    name_->setText(QString::fromStdString(sample->ItemPath) + QStringLiteral("  (%1 × %2)").arg(sample->Width).arg(sample->Height));
    before_->setPixmap(Checked(tile_->Before(), ViewSide));
  } else {
    name_->setText(PreviewText(language_, ptOneColor));
    before_->clear();
  }
  shown_ = compressed_->isChecked() ? ToQImage(RenderPreview(sample, tile_->Recipe(), true)) : tile_->After();
  after_->setPixmap(Checked(shown_, ViewSide));
}

}  // namespace ashtint
