// The main window as a user meets it: what each switch enables, what the run button says, what
// a dropped file does, the free-space refusal, and a first start on a client in a Wine prefix
// that builds the mods with the real engine and removes them again.
#include "gui/main_window/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <filesystem>
#include <fstream>

#include "gui/engine_runner/console_exe.h"
#include "gui/engine_runner/engine_output_window.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "test_support/mod_check.h"
#include "test_support/qt_print.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

template <typename T>
T* Control(const QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

// A client folder the examination accepts as far as the window needs: its program is there.
fs::path MinimalClient(const fs::path& folder) {
  Write(folder / "WorldOfTanks.exe", "MZ");
  Write(folder / "win64" / "WorldOfTanks.exe", "MZ");
  return folder / "WorldOfTanks.exe";
}

// Answers the message boxes the window opens, in order, and keeps their texts.
class MessageAnswers {
 public:
  explicit MessageAnswers(std::deque<QMessageBox::StandardButton> answers) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      texts << box->text();
      const QMessageBox::StandardButton answer = answers_.empty() ? QMessageBox::Ok : answers_.front();
      if (!answers_.empty()) answers_.pop_front();
      box->button(answer)->click();
    });
    timer_.start(20);
  }
  QStringList texts;

 private:
  std::deque<QMessageBox::StandardButton> answers_;
  QTimer timer_;
};

class MainWindowUse : public ::testing::Test {
 protected:
  void SetUp() override {
    // Nothing reaches the real network: the online addresses point at a closed port here.
    for (const char* name : {"ASHTINT_CONFIGS_BASE_URL", "ASHTINT_SITE_URL", "ASHTINT_UPDATE_BASE_URL"})
      qputenv(name, "http://127.0.0.1:1/");
  }
  QString SettingsFile() const { return Q(dir_.path() / "AshtintGui.json"); }
  test_support::TempDir dir_;
  TInterfaceLanguage language_;
  RGuiSettings record_;
};

TEST_F(MainWindowUse, KeepsTheCommandLineCurrentAndFindsTheEngineBesideItself) {
  TFMain window(language_, record_, SettingsFile());
  const auto* args = Control<QPlainTextEdit>(window, "mArgs");
  EXPECT_EQ(args->toPlainText(), window.Runner().Arguments());
  EXPECT_TRUE(args->toPlainText().contains("--DPT-mod=FFFFFF"));
  // The build puts the engine beside this program, as an installation puts it beside the front end.
  EXPECT_TRUE(Control<QLineEdit>(window, "mExeVersion")->text().startsWith("AshtintCreator2 Version "));

  Control<QCheckBox>(window, "cbModDPT")->setChecked(false);
  EXPECT_FALSE(record_.DPTEnable);
  EXPECT_FALSE(args->toPlainText().contains("--DPT-mod"));
  Control<QSlider>(window, "tbCamoVisibility")->setValue(45);
  Control<QCheckBox>(window, "cbModCAMO")->setChecked(true);
  EXPECT_TRUE(args->toPlainText().contains("--CAMO-mod=45")) << args->toPlainText().toStdString();

  // A Lesta client of today: its folder leads to Tanki.exe, not to WorldOfTanks.exe.
  const fs::path client = dir_.path() / "Tanki client";
  Write(client / "Tanki.exe", "MZ");
  Write(client / "win64" / "Tanki.exe", "MZ");
  window.SetClient(Q(client) + "/");
  EXPECT_EQ(record_.WotPath, Q(client / "Tanki.exe"));
  EXPECT_TRUE(args->toPlainText().startsWith("--wot-path=\"" + Q(client) + "/\""));
}

TEST_F(MainWindowUse, SwitchesEnableWhatDependsOnThem) {
  TFMain window(language_, record_, SettingsFile());
  window.SetClient(Q(MinimalClient(dir_.path() / "client")));
  auto* spaceBin = Control<QCheckBox>(window, "cbSpaceBinPatch");
  auto* ratio = Control<QComboBox>(window, "cbCamoSizeRatio");
  auto* visibility = Control<QLineEdit>(window, "eCamoVisibility");
  auto* allInOne = Control<QCheckBox>(window, "cbAllInOneWotmod");
  auto* inside = Control<QCheckBox>(window, "cbColorInsideTank");

  // The space.bin patch needs the map models of MEM or CTM.
  EXPECT_TRUE(spaceBin->isEnabled());
  Control<QCheckBox>(window, "cbModMEM")->setChecked(false);
  EXPECT_TRUE(spaceBin->isEnabled());
  Control<QCheckBox>(window, "cbModCTM")->setChecked(false);
  EXPECT_FALSE(spaceBin->isEnabled());
  // Options of DPT follow it.
  Control<QCheckBox>(window, "cbModDPT")->setChecked(false);
  EXPECT_FALSE(inside->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>(window, "cbRemoveShadow")->isEnabled());
  // Camouflage: the visibility with the mod, the ratio with the reduction as well.
  EXPECT_FALSE(visibility->isEnabled());
  Control<QCheckBox>(window, "cbModCAMO")->setChecked(true);
  EXPECT_TRUE(visibility->isEnabled());
  EXPECT_TRUE(ratio->isEnabled());
  Control<QCheckBox>(window, "cbResizeCamo")->setChecked(false);
  EXPECT_FALSE(ratio->isEnabled());
  // No packages: nothing to pack into one, put in a subfolder or remove.
  Control<QCheckBox>(window, "cbWithoutWotmod")->setChecked(true);
  EXPECT_FALSE(allInOne->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>(window, "cbRemoveWotmod")->isEnabled());
  // Folders: the field says what is used while the switch is off.
  EXPECT_FALSE(Control<QLineEdit>(window, "eModsPath")->isEnabled());
  EXPECT_EQ(Control<QLineEdit>(window, "eModsPath")->text(), InterfaceText(8, record_.Language));
  EXPECT_EQ(Control<QLineEdit>(window, "eConfigsPath")->text(), InterfaceText(24, record_.Language));
  Control<QCheckBox>(window, "cbCPUCount")->setChecked(true);
  EXPECT_TRUE(Control<QSlider>(window, "tbCPUCount")->isEnabled());
  Control<QSlider>(window, "tbCPUCount")->setValue(5);
  EXPECT_EQ(Control<QLineEdit>(window, "eCPUCount")->text(), "5");
  EXPECT_EQ(record_.CPUCount, 5);

  // The visibility field takes only what the slider can show.
  QTest::keyClicks(visibility, "150");
  EXPECT_EQ(visibility->text(), "100");
  EXPECT_EQ(Control<QSlider>(window, "tbCamoVisibility")->value(), 100);
  // A camouflage fully visible is drawn black, an invisible one white.
  EXPECT_EQ(Control<QLabel>(window, "lCamoVisible")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
  visibility->selectAll();
  QTest::keyClick(visibility, Qt::Key_Backspace);
  EXPECT_EQ(visibility->text(), "0");
  EXPECT_EQ(record_.CamoVisibility, 0);
  EXPECT_EQ(Control<QLabel>(window, "lCamoVisible")->palette().color(QPalette::WindowText),
            QColor(255, 255, 255));
  QTest::keyClicks(visibility, "x");
  EXPECT_EQ(visibility->text(), "0");

  // Options panel: hidden until asked for, and the choice goes into the settings.
  window.show();
  EXPECT_FALSE(Control<QWidget>(window, "pRight")->isVisible());
  Control<QToolButton>(window, "sbShowOptions")->click();
  EXPECT_TRUE(Control<QWidget>(window, "pRight")->isVisible());
  EXPECT_TRUE(record_.ShowOptions);
  EXPECT_FALSE(Control<QToolButton>(window, "sbShowOptions")->isVisible());
}

TEST_F(MainWindowUse, RunButtonNamesThePlannedSizeAndNeedsAModAClientAndAnEngine) {
  TFMain window(language_, record_, SettingsFile());
  auto* run = Control<QPushButton>(window, "bRun");
  const std::map<const char*, bool RGuiSettings::*> mods{{"cbModDPT", &RGuiSettings::DPTEnable},
                                                          {"cbModCCT", &RGuiSettings::CCTEnable},
                                                          {"cbModMEM", &RGuiSettings::MEMEnable},
                                                          {"cbModCTM", &RGuiSettings::CTMEnable},
                                                          {"cbModCAMO", &RGuiSettings::CamoEnable}};
  record_.Language = LanguageEnglish;
  language_.ApplyLanguage(LanguageEnglish);
  EXPECT_EQ(run->text(), "Create mods (3.6 GB)");  // 50 + 16 + 12 + 13 + 3584 MB
  EXPECT_FALSE(run->isEnabled()) << "the default client is not on this machine";
  window.SetClient(Q(MinimalClient(dir_.path() / "client")));
  EXPECT_TRUE(run->isEnabled());

  for (const auto& [name, field] : mods) Control<QCheckBox>(window, name)->setChecked(field == &RGuiSettings::CCTEnable);
  EXPECT_EQ(run->text(), "Create mods (16 MB)");
  Control<QToolButton>(window, "sbLangENG")->click();
  EXPECT_EQ(run->text(), QString::fromUtf8("Создать моды (16 МБ)"));
  EXPECT_TRUE(Control<QCheckBox>(window, "cbSpaceBinPatch")->isChecked()) << "kept, but not counted";

  Control<QCheckBox>(window, "cbModCCT")->setChecked(false);
  EXPECT_EQ(run->text(), QString::fromUtf8("Создать моды"));
  EXPECT_FALSE(run->isEnabled());
  Control<QCheckBox>(window, "cbModCAMO")->setChecked(true);
  EXPECT_EQ(run->text(), QString::fromUtf8("Создать моды (50 МБ)"));
  Control<QComboBox>(window, "cbCamoSizeRatio")->setCurrentIndex(2);
  emit Control<QComboBox>(window, "cbCamoSizeRatio")->activated(2);
  EXPECT_EQ(record_.CamoDownsizingRatio, 8);
  EXPECT_EQ(run->text(), QString::fromUtf8("Создать моды (12 МБ)"));
  EXPECT_TRUE(Control<QCheckBox>(window, "cbModCAMO")->text().contains(QString::fromUtf8("(пакет 12 МБ)")));
  EXPECT_TRUE(run->isEnabled());

  // An engine file that is not one keeps the run and the removal off.
  Write(dir_.path() / "AshtintCreator2", "#!/bin/sh\n");
  window.DropPath(Q(dir_.path() / "AshtintCreator2"));
  EXPECT_FALSE(run->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(window, "bDeleteWotmod")->isEnabled());
  EXPECT_EQ(Control<QLineEdit>(window, "mExeVersion")->text(), "AshtintCreator2 not valid!");
}

TEST_F(MainWindowUse, DroppedFilesReplaceTheEngineOrTheClient) {
  TFMain window(language_, record_, SettingsFile());
  const QString engine = record_.ExeFile;
  const fs::path clientExe = MinimalClient(dir_.path() / "dropped client");
  // Any file inside a client stands for the client.
  Write(dir_.path() / "dropped client" / "res" / "packages" / "gui-part1.pkg", "PK");
  window.DropPath(Q(dir_.path() / "dropped client" / "res" / "packages" / "gui-part1.pkg"));
  EXPECT_EQ(record_.WotPath, Q(clientExe));
  EXPECT_EQ(Control<QLineEdit>(window, "eWOTFileName")->text(), Q(clientExe));

  // Only the engine's exact name replaces the engine; another spelling is taken as a client path.
  Write(dir_.path() / "elsewhere" / "ashtintcreator2", "#!/bin/sh\n");
  window.DropPath(Q(dir_.path() / "elsewhere" / "ashtintcreator2"));
  EXPECT_EQ(record_.ExeFile, engine);
  EXPECT_EQ(record_.WotPath, "");
  EXPECT_FALSE(Control<QPushButton>(window, "bRun")->isEnabled());
}

TEST(MissingSpace, DestinationFirstThenTheTemporaryFolderTwiceOnTheSameVolume) {
  RGuiSettings s;
  s.WotPath = "/games/wot/WorldOfTanks.exe";
  const std::uint64_t need = static_cast<std::uint64_t>(100 * 1.1 * 1048576.0);
  std::map<std::string, std::uint64_t> free{{"/games/wot/WorldOfTanks.exe", need}, {"/tmp/", 2 * need - 1}};
  bool same = true;
  RVolumes volumes{[&free](const std::string& p) -> std::optional<std::uint64_t> {
                     if (!free.count(p)) return std::nullopt;
                     return free[p];
                   },
                   [&same](const std::string&, const std::string&) { return same; }, "/tmp/"};
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), 48) << "one volume holds both: twice the room";
  same = false;
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), -1);
  free["/games/wot/WorldOfTanks.exe"] = need - 1;
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), 50);
  s.ModsPathEnable = true;
  s.ModsPath = "/mods/";
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), -1) << "a volume that cannot be read passes";
  free["/mods/"] = 0;
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), 49);
  free["/mods/"] = need;
  same = true;
  s.NoWotmod = true;  // loose files are never gathered in the temporary folder
  free["/tmp/"] = 0;
  EXPECT_EQ(MissingSpaceText(s, 100, volumes), -1);
}

TEST_F(MainWindowUse, RunWithoutRoomSaysWhereAndStartsNothing) {
  TFMain window(language_, record_, SettingsFile());
  window.SetClient(Q(MinimalClient(dir_.path() / "client")));
  window.Volumes.FreeBytes = [](const std::string&) { return std::optional<std::uint64_t>(1 << 20); };
  MessageAnswers answers({QMessageBox::Ok});
  Control<QPushButton>(window, "bRun")->click();
  ASSERT_EQ(answers.texts.size(), 1);
  EXPECT_EQ(answers.texts[0], DisplayText(InterfaceText(50, record_.Language)));
  EXPECT_EQ(window.Runner().LastRun().State, RRunError::NotStarted);
  EXPECT_TRUE(window.Runner().OutputWindows().isEmpty());
}

// A new user's first start: no settings file, the engine beside the program, a client installed
// in a Wine prefix through the launcher. The window finds the client by itself; run builds the
// mods with the real engine; the next start remembers everything and removes the packages.
TEST_F(MainWindowUse, FirstStartFindsTheClientBuildsTheModsAndTheNextStartRemovesThem) {
  const fs::path home = dir_.path() / "home";
  const auto made = test_support::RunProcess(
      "/usr/bin/python3", {std::string(ASHTINT_SOURCE_DIR) + "/tools/fake_wine_prefix.py", home.string(), "--profile",
                           "small"});
  ASSERT_EQ(made.status, 0) << made.err;
  const fs::path client = home / ".wine" / "drive_c" / "Games" / "World_of_Tanks_EU";
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(home.string()));
  const fs::path mods = client / "mods" / "1.24.0.1";
  QString outputs;
  {
    TFMain window(language_, record_, SettingsFile());
    window.Runner().Environment = QProcessEnvironment();  // no terminal: the output windows of our own
    window.show();
    auto* wot = Control<QLineEdit>(window, "eWOTFileName");
    EXPECT_TRUE(QTest::qWaitFor([&] { return wot->text() == Q(client / "WorldOfTanks.exe"); }, 10000)) << wot->text().toStdString();
    auto* run = Control<QPushButton>(window, "bRun");
    ASSERT_TRUE(run->isEnabled());
    MessageAnswers answers({QMessageBox::Yes});  // several copies at once: yes
    run->click();
    EXPECT_EQ(answers.texts, QStringList{DisplayText(InterfaceText(41, record_.Language))});
    EXPECT_FALSE(window.isVisible()) << "a started run closes the window";
    // The old packages' removal first, then the copies, each with its share of the mods.
    // Each output window closes itself when its engine ends well (the console is to close).
    QList<QPointer<TEngineOutputWindow>> engines;
    for (TEngineOutputWindow* engine : window.Runner().OutputWindows()) {
      engines << engine;
      QObject::connect(engine, &TEngineOutputWindow::Finished, [&outputs, engine] { outputs += engine->Output(); });
    }
    EXPECT_GE(engines.size(), 2);
    for (const QPointer<TEngineOutputWindow>& engine : engines)
      EXPECT_TRUE(QTest::qWaitFor([&engine] { return engine.isNull(); }, 300000));
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Five packages with the colours of the settings, each read back and checked.
  std::size_t packages = 0;
  for (const auto& e : fs::recursive_directory_iterator(mods)) {
    if (e.path().extension() != ".wotmod") continue;
    ++packages;
    EXPECT_EQ(test_support::CheckPackage((home / ".wine" / "drive_c" / "Games" / "manifest.json").string(),
                                         client.string(), e.path().string(),
                                         (dir_.path() / "unpacked" / e.path().filename()).string(), "#FFE200",
                                         "#DD7744"),
              "");
  }
  EXPECT_EQ(packages, 5u) << outputs.toStdString();

  {
    RGuiSettings second;
    TFMain window(language_, second, SettingsFile());
    EXPECT_FALSE(window.Settings().DefaultsInUse());
    EXPECT_EQ(second.WotPath, Q(client / "WorldOfTanks.exe"));
    window.Runner().Environment = QProcessEnvironment();
    window.show();
    MessageAnswers answers({QMessageBox::Yes, QMessageBox::Ok});
    Control<QPushButton>(window, "bDeleteWotmod")->click();
    EXPECT_EQ(answers.texts, (QStringList{DisplayText(InterfaceText(45, second.Language)),
                                          DisplayText(InterfaceText(46, second.Language))}));
    EXPECT_TRUE(window.isVisible()) << "a removal keeps the window";
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::size_t left = 0;
  for (const auto& e : fs::recursive_directory_iterator(mods)) left += e.path().extension() == ".wotmod";
  EXPECT_EQ(left, 0u);
  qputenv("HOME", oldHome);
}

}  // namespace
