// The front end's window as far as it is built: the mods with their colour boxes and picture
// hints, the language button, the client with its selection dialog, the engine file with the
// command line it will get, the run and removal buttons, and the settings read at start and
// written at close.
#pragma once

#include <QMessageBox>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

#include "gui/settings.h"

class QAction;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace ashtint {

class TColorPickDialog;
class TComboBox;
class TConsoleExe;
class TInterfaceLanguage;
class TStaticText;

class TFMain : public QWidget {
 public:
  TFMain(TInterfaceLanguage& language, RGuiSettings& settings, const QString& settingsFile,
         QWidget* parent = nullptr);
  ~TFMain() override;

  TSettings& Settings() { return *settings_; }
  TConsoleExe& Runner() { return *runner_; }

  // The client chosen in the selection dialog (or any file in its folder) becomes the client.
  void SetClient(const QString& path);

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
  QLayout* ClientRow();
  QLayout* EngineRows();
  void SelectClient();
  void ChooseEngineFile();
  void Run();
  void RemoveWotmods();
  void UpdateActions();
  void Changed();
  void Message(QMessageBox::Icon icon, const QString& text);

  TInterfaceLanguage& language_;
  RGuiSettings& record_;
  TColorBoxes colorBoxes_{};
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TColorPickDialog> colorDialog_;  // made at the first use, kept after
  std::unique_ptr<TConsoleExe> runner_;
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
  QLineEdit* eWOTFileName = nullptr;
  QToolButton* bWOTPath = nullptr;
  QMenu* pmWOTSelection = nullptr;
  QAction* PMSelectWOTPath = nullptr;
  QMenu* PMWotSearch = nullptr;
  QLineEdit* mExeVersion = nullptr;
  QToolButton* bConsolePatch = nullptr;
  QPlainTextEdit* mArgs = nullptr;
  QPushButton* bRun = nullptr;
  QPushButton* bDeleteWotmod = nullptr;
};

}  // namespace ashtint
