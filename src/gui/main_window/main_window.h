// The front end's window: the client and the destination, the mods with their colours, the
// options, the engine with the command line it will get, and the run. Every change goes into the
// settings record at once and the command line follows it; the settings are written at close.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "client/wot_info.h"
#include "gui/engine_runner/build_record.h"
#include "gui/engine_runner/console_exe.h"
#include "gui/engine_runner/run_result_window.h"
#include "gui/guide_texts.h"
#include "gui/settings.h"
#include "gui/main_window/space_check.h"
#include "gui/system_language.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;

namespace ashtint {

class TColorPickDialog;
class TComboBox;
class TConsoleExe;
class TInterfaceLanguage;
class TWebUpdate;
class TFWOTSelection;
class TModPreviews;
class TBuildNotice;

class TFMain : public QWidget {
 public:
  TFMain(TInterfaceLanguage& language, RGuiSettings& settings, const QString& settingsFile,
         QWidget* parent = nullptr);
  ~TFMain() override;

  TSettings& Settings() { return *settings_; }
  TConsoleExe& Runner() { return *runner_; }

  // A client's folder, its executable or any file in it becomes the client; a path that leads to
  // no client leaves the field empty (and red).
  void SetClient(const QString& path);
  // What a file dropped onto the window does: the engine's own file replaces the engine, any
  // other path is taken as a client.
  void DropPath(const QString& path);
  // Sets the run button's caption from the chosen mods; returns their planned size in megabytes.
  int UpdateRunCaption();
  // Applies every enabled and visible rule of the window's controls to the settings as they are.
  void UpdateActions();

  // How the run's free-space check sees the disks; the system's unless a test replaces it.
  RVolumes Volumes = RVolumes::System();
  // Where the start-up search looks for clients; the machine's own sources unless replaced.
  std::function<QStringList(std::uint8_t sources, bool testClients)> SearchClients;
  // The window that tells what the latest runs built; none until they have all ended.
  TRunResultWindow* ResultWindow() const { return resultWindow_.data(); }
  // What was built for each client, kept beside the settings file.
  TBuildRecord& Builds() { return *builds_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Building the controls (main_window.cpp).
  QWidget* LeftPanel();
  QWidget* RightPanel();
  QLayout* ClientRows();
  QLayout* CamoRows();
  QLayout* ArgsPanel();
  QCheckBox* SettingCheckBox(bool RGuiSettings::*field, const char* name, bool buildArguments = true);
  void ColorRow(QGridLayout* grid, int row, QCheckBox* check, TColorSlot slot, const QString& picture,
                int indent);
  void HintRow(QGridLayout* grid, int row, QCheckBox* check, const QString& picture, int indent);
  QToolButton* SpeedButton(const char* name, const QString& glyph);
  QAction* MenuSwitch(QMenu* menu, bool RGuiSettings::*field, int textRow, bool buildArguments);
  void BindTexts();
  void ShowSettings();

  // Reacting to the user (main_window_actions.cpp).
  void Changed();
  void ModSwitched();
  void ApplyLanguageAgain();
  void SetShowOptions(bool show);
  void PickColor(TComboBox* box);
  void SetCamoVisibility(int position);
  void CamoVisibilityEdited(const QString& text);
  void ChooseFolder(TGuideText title, QString RGuiSettings::*field, QLineEdit* shown);
  void ChooseClientFile();
  void ChooseEngineFile();
  void SetEngineFile(const QString& path);
  void CopyArguments();
  void Run();
  void RemoveWotmods();
  void RemoveOldVersionPackages();
  // Starts the runs of a click (the settings' command, or a recorded one for a rebuild) after
  // the checks; the client's facts and the command go into the build record at their end.
  void StartRuns(const RGuiSettings& checked, int plannedMB, const TEngineCommand* recorded);
  void Rebuild();
  void HideBuildNotice();
  void RefreshBuildNotice();
  void ShowPathAtEnd(QLineEdit* field, const QString& path);
  QMessageBox::StandardButton Message(QMessageBox::Icon icon, const QString& text,
                                      QMessageBox::StandardButtons buttons = QMessageBox::Ok);

  // Start-up and the update check (main_window_start.cpp).
  void LoadingTimer();
  void FirstStartClient();
  QStringList SearchedPlaces() const;
  void UpdatePackageWord();
  void ShowResults();
  std::unique_ptr<TFWOTSelection> SelectionDialog(bool everySource = false);
  void SelectClient();
  void CheckUpdates(bool showResult);

  TInterfaceLanguage& language_;
  RGuiSettings& record_;
  TColorBoxes colorBoxes_{};
  std::unique_ptr<TSettings> settings_;
  std::unique_ptr<TColorPickDialog> colorDialog_;  // made at the first use, kept after
  std::unique_ptr<TConsoleExe> runner_;
  std::unique_ptr<TWebUpdate> update_;  // at most one check at a time
  std::vector<std::pair<QCheckBox*, bool RGuiSettings::*>> checks_;
  std::vector<std::pair<QAction*, bool RGuiSettings::*>> menuSwitches_;
  std::array<std::vector<QWidget*>, ColorSlotCount> colorRows_;  // preview, box and button of each colour
  QTimer* tmLoadingGUI = nullptr;
  QTimer* idleRules_ = nullptr;
  TModPreviews* previews_ = nullptr;  // the pictures beside the mod rows, following every change
  bool shownOnce_ = false;
  TQtTranslation qtTranslation_;
  QString packageWordOf_;  // the client path the package word was read from
  QPointer<TRunResultWindow> resultWindow_;
  std::unique_ptr<TBuildRecord> builds_;
  // The client and the whole command of the runs going on, for their build record.
  RWOTInfo runClient_;
  TEngineCommand runCommand_;

  // The left panel: client, destination, speed buttons, mods, run.
  QLineEdit* eWOTFileName = nullptr;
  QToolButton* bWOTPath = nullptr;
  QCheckBox* cbModsPath = nullptr;
  QLineEdit* eModsPath = nullptr;
  QToolButton* bModsPath = nullptr;
  QToolButton* sbOptions = nullptr;
  QToolButton* sbLangRUS = nullptr;
  QToolButton* sbLangENG = nullptr;
  QToolButton* sbShowOptions = nullptr;
  QToolButton* sbHideOptions = nullptr;
  QGroupBox* gMods = nullptr;
  QCheckBox* cbModDPT = nullptr;
  QCheckBox* cbColorInsideTank = nullptr;
  QCheckBox* cbRemoveShadow = nullptr;
  QCheckBox* cbModCCT = nullptr;
  QCheckBox* cbModMEM = nullptr;
  QCheckBox* cbModCTM = nullptr;
  QCheckBox* cbSpaceBinPatch = nullptr;
  QCheckBox* cbModCAMO = nullptr;
  QWidget* pCamoVisibility = nullptr;
  QLabel* lCamoVisible = nullptr;
  QSlider* tbCamoVisibility = nullptr;
  QLineEdit* eCamoVisibility = nullptr;
  QCheckBox* cbResizeCamo = nullptr;
  QComboBox* cbCamoSizeRatio = nullptr;
  QPushButton* bRun = nullptr;
  QLabel* lRunReason = nullptr;  // why the run button is disabled
  TBuildNotice* pBuildNotice = nullptr;  // the game was updated, or what was built last
  // The right panel: options, buttons, engine and command line.
  QWidget* pRight = nullptr;
  QGroupBox* gOptions = nullptr;
  QCheckBox* cbAllInOneWotmod = nullptr;
  QCheckBox* cbSubFolderWotmod = nullptr;
  QCheckBox* cbRemoveWotmod = nullptr;
  QCheckBox* cbMultiStartConsole = nullptr;
  QCheckBox* cbConfigsPath = nullptr;
  QLineEdit* eConfigsPath = nullptr;
  QToolButton* bConfigsPath = nullptr;
  QCheckBox* cbCPUCount = nullptr;
  QSlider* tbCPUCount = nullptr;
  QLineEdit* eCPUCount = nullptr;
  QPushButton* bDeleteWotmod = nullptr;
  QPushButton* bCheckUpdates = nullptr;
  QPushButton* bGotoSite = nullptr;
  QLineEdit* mExeVersion = nullptr;
  QPlainTextEdit* mArgs = nullptr;
  QToolButton* bConsolePatch = nullptr;
  QToolButton* sbCopyArgs = nullptr;
  // Menus.
  QMenu* pmSettings = nullptr;
  QMenu* pmWOTSelection = nullptr;
  QAction* PMSelectWOTPath = nullptr;
  QAction* PMSetWOTPath = nullptr;
  QMenu* PMWotSearch = nullptr;
};

}  // namespace ashtint
