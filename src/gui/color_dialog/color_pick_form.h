// The colour dialog's window: three picker pages, seven colour models' fields, the buttons that
// change the colour, the history of the colours tried, the named colours and the result text.
// Every control is public, as the controls of a designed form are, so that tests can work it.
#pragma once

#include <QColor>
#include <QDialog>
#include <QVector>

#include <array>
#include <functional>

#include "gui/color_field.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace ashtint {

class TColorPreview;
class TColorBar;
class THexaColorPicker;
class THSColorPicker;
class THSVColorPicker;
class TLColorPicker;
class TPipetteButton;
class TVColorPicker;

class TColorPick : public QDialog {
  Q_OBJECT

 public:
  explicit TColorPick(QWidget* parent = nullptr);

  // 0 Russian, 1 English; English until the dialog first runs.
  int Language = 1;
  QVector<QColor> History;
  int HistoryPos = -1;  // the entry shown; -1 while the history is empty

  // Captions and hints of a language.
  void ApplyLanguage(int language);
  // The named colour list in a language; with keepSelection the item of the same colour name
  // stays selected, else the first item is.
  void FillNamedColors(int language, bool keepSelection);
  int NamedColorsLanguage() const { return namedLanguage_; }
  // What a change of the new preview's colour does: every view not being edited shows the
  // colour, the result text follows, and the history grows unless it is suppressed.
  void NewColorSet();
  // The current preview's hint.
  void CurrentColorSet();
  // The colour being edited; the new preview raises NewColorSet when it changes.
  QColor NewColor() const;
  void SetNewColor(const QColor& color);

  // The history buttons.
  void UndoBegin();
  void Undo();
  void Redo();
  void RedoEnd();

  void done(int result) override;

  // Pages and pickers.
  QTabWidget* pcScheme = nullptr;
  THexaColorPicker* HexaColorPicker = nullptr;
  THSColorPicker* HSColorPicker = nullptr;
  TLColorPicker* LColorPicker = nullptr;
  THSVColorPicker* HSVColorPicker = nullptr;
  TVColorPicker* VColorPicker = nullptr;
  // Previews and buttons.
  TColorPreview* mbNewColorPreview = nullptr;
  TColorPreview* mbCurrentColorPreview = nullptr;
  QLabel* lNewColor = nullptr;
  QLabel* lCurrentColor = nullptr;
  QPushButton* bOK = nullptr;
  QPushButton* bCancel = nullptr;
  QPushButton* bWebSafe = nullptr;
  QToolButton* sbHexaReset = nullptr;
  QToolButton* sbLighter = nullptr;
  QToolButton* sbDarker = nullptr;
  QToolButton* sbInvers = nullptr;
  QToolButton* sbGrayscale = nullptr;
  TPipetteButton* sbPipetka = nullptr;
  QToolButton* sbUndoBegin = nullptr;
  QToolButton* sbUndo = nullptr;
  QToolButton* sbRedo = nullptr;
  QToolButton* sbRedoEnd = nullptr;
  // Fields of the seven models.
  TColorField* elH = nullptr;
  TColorField* elS = nullptr;
  TColorField* elL = nullptr;
  TColorField* elH_ = nullptr;
  TColorField* elS_ = nullptr;
  TColorField* elB_ = nullptr;
  TColorField* elCIEL = nullptr;
  TColorField* elCIEa = nullptr;
  TColorField* elCIEb = nullptr;
  TColorField* elLabL = nullptr;
  TColorField* elLabC = nullptr;
  TColorField* elLabH = nullptr;
  TColorField* elC = nullptr;
  TColorField* elM = nullptr;
  TColorField* elY = nullptr;
  TColorField* elK = nullptr;
  QSlider* tbR = nullptr;
  QSlider* tbG = nullptr;
  QSlider* tbB = nullptr;
  TColorField* eR = nullptr;
  TColorField* eG = nullptr;
  TColorField* eB = nullptr;
  TColorField* elHex = nullptr;
  // Bottom panel.
  QComboBox* cbNamedColors = nullptr;
  QToolButton* sbFindColorName = nullptr;
  QToolButton* sbNamedColorRUS = nullptr;
  QToolButton* sbNamedColorENG = nullptr;
  QLabel* lResultFormat = nullptr;
  QComboBox* cbColorResult = nullptr;
  QLineEdit* eColorResult = nullptr;
  QToolButton* sbCopy = nullptr;

 private:
  // The views a colour change writes into; each has a guard while it is being written or edited.
  enum TView { vHexa, vHS, vHSV, vHSL, vHSB, vLab, vLch, vCmyk, vRgbFields, vRgbBars, vHex, ViewCount };

  QWidget* BuildPickers();
  QWidget* BuildPreviewsAndButtons();
  QWidget* BuildFields();
  QWidget* BuildBottom();
  TColorField* Field(TFieldKind kind, const char* hint, TView view);
  void Write(TView view, const std::function<void()>& write);
  void FromView(TView view, const QColor& color);
  void ShowHistoryEntry();
  void EnableHistoryButtons();
  void ShowResult();
  void SelectNamedColor(int index);
  QColor SelectedNamedColor() const;
  void SwitchNamedColors();
  void FindColorName();
  void PipetteStarted();
  void PipetteEnded();

  std::array<bool, ViewCount> updating_{};
  bool historySuppressed_ = false;
  bool pipetteActive_ = false;
  bool pipettePicked_ = false;
  int namedLanguage_ = 1;
};

}  // namespace ashtint
