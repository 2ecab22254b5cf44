// The front end's window as far as it is built: the mods with their colour boxes and picture
// hints, the language button, and the settings read at start and written at close.
#pragma once

#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

#include "gui/settings.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QToolButton;

namespace ashtint {

class TColorPickDialog;
class TComboBox;
class TInterfaceLanguage;
class TStaticText;

class TFMain : public QWidget {
 public:
  TFMain(TInterfaceLanguage& language, RGuiSettings& settings, const QString& settingsFile,
         QWidget* parent = nullptr);
  ~TFMain() override;

  TSettings& Settings() { return *settings_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QCheckBox* ModCheckBox(bool RGuiSettings::*field);
  void ColorRow(QGridLayout* grid, int row, QCheckBox* check, TColorSlot slot, const QString& picture,
                int indent);
  void HintRow(QGridLayout* grid, int row, QCheckBox* check, const QString& picture, int indent);
  void BindTexts();
  void ShowSettings();
  void ShowLanguageButton();
  // The "..." button beside a colour box, and a click on its preview: the colour dialog opens
  // with the box's colour; on OK the chosen colour goes into the box as if typed and confirmed.
  void PickColor(TComboBox* box);

  TInterfaceLanguage& language_;
  RGuiSettings& record_;
  TColorBoxes colorBoxes_{};
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TColorPickDialog> colorDialog_;  // made at the first use, kept after
  std::vector<std::pair<QCheckBox*, bool RGuiSettings::*>> checks_;

  QToolButton* sbLangRUS = nullptr;
  QToolButton* sbLangENG = nullptr;
  QGroupBox* gMods = nullptr;
  QCheckBox* cbModDPT = nullptr;
  QCheckBox* cbColorInsideTank = nullptr;
  QCheckBox* cbRemoveShadow = nullptr;
  QCheckBox* cbModCCT = nullptr;
  QCheckBox* cbModMEM = nullptr;
  QCheckBox* cbModCTM = nullptr;
  QCheckBox* cbSpaceBinPatch = nullptr;
  QCheckBox* cbModCAMO = nullptr;
};

}  // namespace ashtint
