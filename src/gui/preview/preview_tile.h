// The small before/after picture beside a mod row, and the larger view a click opens.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QPointer>

#include <functional>

#include "gui/preview/preview_render.h"

class QCheckBox;
class QLabel;

namespace ashtint {

class TPreviewView;

class TPreviewTile : public QFrame {
 public:
  explicit TPreviewTile(QWidget* parent = nullptr);
  ~TPreviewTile() override;

  // Shows the recipe's result on the sample (null for a one-colour texture); renders again only
  // when something changed.
  void SetContent(RSamplePtr sample, const RPreviewRecipe& recipe);
  // Shows a word instead of pictures: no client, still reading, nothing found, unreadable.
  void SetWord(const QString& word);
  void SetLanguage(int language);

  const RSamplePtr& Sample() const { return sample_; }
  const RPreviewRecipe& Recipe() const { return recipe_; }
  bool HasPictures() const { return !after_.isNull(); }
  const QString& Word() const { return word_; }
  // What the tile draws, at the sample's size.
  const QImage& Before() const { return before_; }
  const QImage& After() const { return after_; }
  // The larger view, open or not (null until the first click).
  TPreviewView* View() const { return view_; }
  void OpenView();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  RSamplePtr sample_;
  RPreviewRecipe recipe_;
  bool rendered_ = false;
  QImage before_;
  QImage after_;
  QString word_;
  int language_ = 0;
  QPointer<TPreviewView> view_;
};

// Before and after side by side at up to the sample's size, with the compressed look on demand;
// it follows the tile while open.
class TPreviewView : public QDialog {
 public:
  TPreviewView(TPreviewTile* tile, int language);

  void Refresh();
  QCheckBox* Compressed() const { return compressed_; }
  // The picture shown on the right, for checks.
  const QImage& Shown() const { return shown_; }

 private:
  TPreviewTile* tile_;
  int language_;
  QLabel* name_ = nullptr;
  QLabel* before_ = nullptr;
  QLabel* after_ = nullptr;
  QCheckBox* compressed_ = nullptr;
  QImage shown_;
};

}  // namespace ashtint
