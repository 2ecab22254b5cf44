// The main window as a user meets it: what each switch enables, what the run button says, what
// a dropped file does, the free-space refusal, and a first start on a client in a Wine prefix
// that builds the mods with the real engine and removes them again.
#include "gui/main_window/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QTreeWidget>
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

#include "common/file_names.h"
#include "gui/client_selection/wot_selection.h"
#include "gui/engine_runner/console_exe.h"
#include "gui/engine_runner/engine_output_window.h"
#include "gui/engine_runner/run_result_window.h"
#include "gui/guide_texts.h"
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

// A client the engine can read: its programs, version.xml, paths.xml with one package (whose
// mask gives the package extension) and the package file.
fs::path ReadableClient(const fs::path& folder, const std::string& extension = "wotmod") {
  MinimalClient(folder);
  Write(folder / "version.xml", "<version.xml><version>v.1.24.0.1 #1234</version><meta><realm>EU</realm></meta></version.xml>");
  Write(folder / "game_info.xml", "<protocol name=\"game_info\" wgc_publisher_id=\"wargaming\"></protocol>");
  Write(folder / "paths.xml", "<root><Paths><Path>./res_mods/1.24.0.1</Path><Path mask=\"*." + extension +
                                  "\" mode=\"recursive\" root=\"res\">./mods/1.24.0.1</Path><Packages>"
                                  "<Package>./res/packages/vehicles_level_01.pkg</Package></Packages></Paths></root>");
  Write(folder / "res" / "packages" / "vehicles_level_01.pkg", "PK");
  return folder / "WorldOfTanks.exe";
}

// Tests of what follows the start-up keep the start-up's client search out of their way.
void SkipStartUp(const QWidget& window) { Control<QTimer>(window, "tmLoadingGUI")->stop(); }

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
  EXPECT_TRUE(Control<QLineEdit>(window, "mExeVersion")->text().startsWith(QString::fromLatin1(EngineFileName) + " Version "));

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
  EXPECT_TRUE(args->toPlainText().startsWith("--wot-path=\"" + QDir::toNativeSeparators(Q(client) + "/") + "\""))
      << args->toPlainText().toStdString();
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
  Write(dir_.path() / EngineFileName, "#!/bin/sh\n");
  window.DropPath(Q(dir_.path() / EngineFileName));
  EXPECT_FALSE(run->isEnabled());
  EXPECT_FALSE(Control<QPushButton>(window, "bDeleteWotmod")->isEnabled());
  EXPECT_EQ(Control<QLineEdit>(window, "mExeVersion")->text(), QString::fromLatin1(EngineFileName) + " not valid!");
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
  SkipStartUp(window);
  window.SetClient(Q(ReadableClient(dir_.path() / "client")));
  window.Volumes.FreeBytes = [](const std::string&) { return std::optional<std::uint64_t>(1 << 20); };
  MessageAnswers answers({QMessageBox::Ok});
  Control<QPushButton>(window, "bRun")->click();
  ASSERT_EQ(answers.texts.size(), 1);
  EXPECT_EQ(answers.texts[0], DisplayText(InterfaceText(50, record_.Language)));
  EXPECT_EQ(window.Runner().LastRun().State, RRunError::NotStarted);
  EXPECT_TRUE(window.Runner().OutputWindows().isEmpty());
}

// Every disabled action says why; a run the engine could not do never starts and names the cause.
TEST_F(MainWindowUse, DisabledActionsAndRefusedRunsNameTheirCause) {
  TFMain window(language_, record_, SettingsFile());
  SkipStartUp(window);
  const int lang = record_.Language;
  auto* run = Control<QPushButton>(window, "bRun");
  auto* remove = Control<QPushButton>(window, "bDeleteWotmod");
  auto* reason = Control<QLabel>(window, "lRunReason");
  record_.WotPath.clear();
  window.UpdateActions();
  EXPECT_FALSE(run->isEnabled());
  EXPECT_FALSE(remove->isEnabled());
  EXPECT_EQ(run->toolTip(), GuideText(TGuideText::ReasonNoClient, lang));
  EXPECT_EQ(reason->text(), run->toolTip());
  EXPECT_EQ(remove->toolTip(), GuideText(TGuideText::ReasonNoClient, lang));
  EXPECT_EQ(Control<QLineEdit>(window, "eWOTFileName")->placeholderText(), GuideText(TGuideText::ReasonNoClient, lang));

  record_.WotPath = Q(dir_.path() / "gone" / "WorldOfTanks.exe");
  for (const char* mod : {"cbModDPT", "cbModCCT", "cbModMEM", "cbModCTM"}) Control<QCheckBox>(window, mod)->setChecked(false);
  EXPECT_EQ(run->toolTip().split('\n'),
            (QStringList{FormatText(GuideText(TGuideText::ReasonClientMissing, lang), record_.WotPath),
                         GuideText(TGuideText::ReasonNoMod, lang)}));
  Control<QCheckBox>(window, "cbModCCT")->setChecked(true);

  // A folder with the program but nothing else of a client: the run is refused with the reason.
  window.SetClient(Q(MinimalClient(dir_.path() / "lone")));
  ASSERT_TRUE(run->isEnabled()) << run->toolTip().toStdString();
  EXPECT_TRUE(reason->isHidden());
  {
    MessageAnswers answers({QMessageBox::Ok});
    run->click();
    ASSERT_EQ(answers.texts.size(), 1);
    EXPECT_TRUE(answers.texts[0].startsWith(GuideText(TGuideText::RunRefused, lang)));
    EXPECT_TRUE(answers.texts[0].contains(FormatText(GuideText(TGuideText::ClientWithoutPackages, lang),
                                                     QDir::toNativeSeparators(Q(dir_.path() / "lone" / "res" / "packages") + "/"))))
        << answers.texts[0].toStdString();
  }
  // A destination nothing can be written into: disabled with the reason where the permission bits
  // tell, else refused when the run is asked for; never started.
  window.SetClient(Q(ReadableClient(dir_.path() / "client")));
  record_.ModsPathEnable = true;
  record_.ModsPath = QStringLiteral("/proc/ashtint-mods");
  window.UpdateActions();
  if (run->isEnabled()) {
    MessageAnswers answers({QMessageBox::Ok});
    run->click();
    ASSERT_EQ(answers.texts.size(), 1);
    EXPECT_TRUE(answers.texts[0].contains(FormatText(GuideText(TGuideText::DestinationNotWritable, lang), record_.ModsPath)))
        << answers.texts[0].toStdString();
  } else {
    EXPECT_EQ(run->toolTip(), FormatText(GuideText(TGuideText::ReasonDestinationReadOnly, lang), record_.ModsPath));
  }
  EXPECT_EQ(window.Runner().Results(), nullptr);
  EXPECT_TRUE(window.Runner().OutputWindows().isEmpty());
}

// The first start looks everywhere by itself: one client is taken, several are offered, none is
// said with the places looked at (and the file chooser offered).
TEST_F(MainWindowUse, FirstStartTakesOneOffersSeveralAndSaysWhereItLookedForNone) {
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString((dir_.path() / "empty home").string()));
  std::uint8_t asked = 0;
  {
    RGuiSettings record;
    TFMain window(language_, record, SettingsFile());
    window.SearchClients = [&asked](std::uint8_t sources, bool) {
      asked = sources;
      return QStringList();
    };
    MessageAnswers answers({QMessageBox::No});
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answers.texts.isEmpty(); }, 10000));
    EXPECT_EQ(asked, 31) << "every source, whatever the switches say";
    EXPECT_TRUE(answers.texts[0].startsWith(GuideText(TGuideText::NoClientFound, record.Language).left(20)));
    EXPECT_TRUE(answers.texts[0].contains(QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
#ifdef Q_OS_WIN
    EXPECT_TRUE(answers.texts[0].contains(GuideText(TGuideText::PlaceWindows, record.Language)));
#else
    EXPECT_TRUE(answers.texts[0].contains(
        FormatText(GuideText(TGuideText::PlaceNoPrefix, record.Language), Q(dir_.path() / "empty home"))));
#endif
    EXPECT_TRUE(record.WotPath.isEmpty());
  }
  {
    RGuiSettings record;
    TFMain window(language_, record, SettingsFile() + ".one");
    const fs::path client = dir_.path() / "one";
    ReadableClient(client);
    window.SearchClients = [&](std::uint8_t, bool) { return QStringList{Q(client) + "/"}; };
    MessageAnswers answers({});
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !record.WotPath.isEmpty(); }, 10000));
    EXPECT_EQ(record.WotPath, Q(client / "WorldOfTanks.exe"));
    EXPECT_TRUE(answers.texts.isEmpty());
  }
  qputenv("HOME", oldHome);
}

// Generated clients in Wine prefixes, where Linux players keep them; on Windows the Wine tests run
// the real program instead.
#ifndef Q_OS_WIN

// Clients where players have them: one recorded only in a prefix's system.reg (the machine's
// 32-bit view), a Lesta client in a Proton prefix of a second Steam library. Both are found by
// the first start without a menu and offered in the list; the one chosen is taken.
TEST_F(MainWindowUse, FirstStartFindsClientsOnlyTheMachineRecordsAndInASecondSteamLibrary) {
  const fs::path home = dir_.path() / "home";
  for (const char* install : {"machine", "proton"}) {
    const std::vector<std::string> extra =
        std::string(install) == "proton" ? std::vector<std::string>{"--lesta", "--tanki", "--client-name", "Lesta"}
                                         : std::vector<std::string>{"--client-name", "WoT"};
    std::vector<std::string> args{std::string(ASHTINT_SOURCE_DIR) + "/tools/fake_wine_prefix.py", home.string(),
                                  "--install", install, "--profile", "small", "--vehicles", "1", "--maps", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    const auto made = test_support::RunProcess("/usr/bin/python3", args);
    ASSERT_EQ(made.status, 0) << made.err;
  }
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(home.string()));
  RGuiSettings record;
  TFMain window(language_, record, SettingsFile());
  EXPECT_FALSE(record.SearchSystemRegistry) << "the switch is off, and the first start searches anyway";
  QStringList listed;
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TFWOTSelection*>(QApplication::activeModalWidget());
    if (dialog == nullptr || dialog->Searching() || dialog->FoundCount() == 0) return;
    for (int i = 0; i < dialog->lvClientsPaths->topLevelItemCount(); ++i)
      listed << dialog->lvClientsPaths->topLevelItem(i)->text(0);
    dialog->lvClientsPaths->setCurrentItem(dialog->lvClientsPaths->topLevelItem(1));
    dialog->bOK->click();
  });
  chooser.start(20);
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !record.WotPath.isEmpty(); }, 20000));
  const QString machine = Q(home / ".wine" / "drive_c" / "Games" / "WoT") + "/";
  const QString proton = Q(home / "SteamLibrary" / "steamapps" / "compatdata" / "1407200" / "pfx" / "drive_c" / "Games" / "Lesta") + "/";
  EXPECT_EQ(listed, (QStringList{machine, proton}));
  EXPECT_EQ(record.WotPath, proton + "Tanki.exe");
  // A Lesta client's packages are .mtmod, and the window says so.
  EXPECT_TRUE(Control<QPushButton>(window, "bDeleteWotmod")->text().contains("mtmod"));
  qputenv("HOME", oldHome);
}

// A new user's first start: no settings file, the engine beside the program, a client installed
// in a Wine prefix through the launcher. The window finds the client by itself; run builds the
// mods with the real engine. The game then updates: the next start says the mods no longer load
// and rebuilds them for the new version in one click; the start after that removes the packages
// of both versions.
TEST_F(MainWindowUse, FirstStartBuildsTheModsAnUpdateRebuildsThemAndTheRemovalTakesEveryVersion) {
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
    window.show();
    auto* wot = Control<QLineEdit>(window, "eWOTFileName");
    EXPECT_TRUE(QTest::qWaitFor([&] { return wot->text() == Q(client / "WorldOfTanks.exe"); }, 10000)) << wot->text().toStdString();
    auto* run = Control<QPushButton>(window, "bRun");
    ASSERT_TRUE(run->isEnabled());
    MessageAnswers answers({QMessageBox::Yes});  // several copies at once: yes
    run->click();
    EXPECT_EQ(answers.texts, QStringList{DisplayText(InterfaceText(41, record_.Language))});
    EXPECT_TRUE(window.isVisible()) << "the window stays to tell what was built";
    EXPECT_FALSE(run->isEnabled());
    EXPECT_EQ(run->toolTip(), GuideText(TGuideText::ReasonRunning, record_.Language));
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
    // Every run's end was collected, and the result window lists each mod with its package.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ResultWindow() != nullptr; }, 10000));
    const TRunResults& results = *window.Runner().Results();
    EXPECT_EQ(results.Runs().size(), 4u);  // the removal and three copies
    for (const REngineRun& r : results.Runs()) EXPECT_EQ(r.ExitCode, 0) << r.Output.toStdString();
    QStringList names;
    for (const RModResult& m : results.Mods()) {
      names << m.Mod;
      EXPECT_EQ(m.Outcome, TModOutcome::Built) << m.Mod.toStdString() << ": " << m.Reason.toStdString();
      ASSERT_EQ(m.Packages.size(), 1u) << m.Mod.toStdString();
      const QFileInfo file(m.Packages[0].Folder + m.Packages[0].Name);
      EXPECT_TRUE(file.isFile()) << file.filePath().toStdString();
      EXPECT_EQ(m.Packages[0].Size, file.size());
    }
    EXPECT_EQ(names, (QStringList{"DPT", "CCT", "MEM", "CTM", "SpaceBin"}));
    TRunResultWindow* shown = window.ResultWindow();
    EXPECT_EQ(shown->lvResults->topLevelItemCount(), 5);
    EXPECT_EQ(shown->lvResults->topLevelItem(0)->text(1), GuideText(TGuideText::OutcomeBuilt, record_.Language));
    EXPECT_EQ(shown->Folder(), Q(mods / "AshtintCreator") + "/");
    EXPECT_TRUE(shown->bOpenFolder->isEnabled());
    EXPECT_TRUE(run->isEnabled());
    // The window now says in one line what is built, and offers nothing to do about it.
    const QString summary = Control<QLabel>(window, "lBuildNotice")->text();
    const QString builtOn = QDate::currentDate().toString(Qt::ISODate);
    EXPECT_TRUE(summary.startsWith(
        GuideText(TGuideText::BuildCurrent, record_.Language).section(QStringLiteral("%3"), 0, 0).arg(builtOn, "1.24.0.1")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(GuideText(TGuideText::PackageMany, record_.Language).arg(5))) << summary.toStdString();
    EXPECT_FALSE(Control<QPushButton>(window, "bRebuild")->isVisible());
    shown->close();
    window.close();
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Five packages with the colours of the settings, each read back and checked.
  const auto checkPackages = [&](const fs::path& folder, const fs::path& unpackTo) {
    std::size_t packages = 0;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
      if (e.path().extension() != ".wotmod") continue;
      ++packages;
      EXPECT_EQ(test_support::CheckPackage((home / ".wine" / "drive_c" / "Games" / "manifest.json").string(),
                                           client.string(), e.path().string(), (unpackTo / e.path().filename()).string(),
                                           "#FFE200", "#DD7744"),
                "");
    }
    return packages;
  };
  EXPECT_EQ(checkPackages(mods, dir_.path() / "unpacked"), 5u) << outputs.toStdString();

  // The game updates: a new version, whose mods folder is empty. The next start says so and
  // rebuilds the recorded mods for it in one click.
  for (const fs::path& file : {client / "version.xml", client / "paths.xml"}) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    for (std::size_t at; (at = text.find("1.24.0.1")) != std::string::npos;) text.replace(at, 8, "1.25.0.0");
    Write(file, text);
  }
  const fs::path updated = client / "mods" / "1.25.0.0";
  fs::create_directories(updated);
  {
    RGuiSettings second;
    second.CCTEnable = false;  // today's choices differ; the rebuild runs the recorded ones
    TFMain window(language_, second, SettingsFile());
    window.show();
    auto* notice = Control<QLabel>(window, "lBuildNotice");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), GuideText(TGuideText::BuildUpdated, second.Language)
                                  .arg(QStringLiteral("World of Tanks"), QStringLiteral("1.25.0.0"), QStringLiteral("1.24.0.1")));
    auto* rebuild = Control<QPushButton>(window, "bRebuild");
    ASSERT_TRUE(rebuild->isVisible());
    ASSERT_TRUE(rebuild->isEnabled());
    rebuild->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ResultWindow() != nullptr; }, 300000));
    ASSERT_EQ(window.Runner().Results()->Runs().size(), 1u);
    EXPECT_EQ(window.Runner().Results()->Runs()[0].ExitCode, 0) << window.Runner().Results()->Runs()[0].Output.toStdString();
    EXPECT_FALSE(notice->text().contains(QStringLiteral("1.24.0.1"))) << notice->text().toStdString();
    window.ResultWindow()->close();
    window.close();
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(checkPackages(updated, dir_.path() / "rebuilt"), 5u);

  {
    RGuiSettings second;
    TFMain window(language_, second, SettingsFile());
    EXPECT_FALSE(window.Settings().DefaultsInUse());
    EXPECT_EQ(second.WotPath, Q(client / "WorldOfTanks.exe"));
    window.show();
    // A start after the rebuild: the summary of the new version's mods, no notice.
    const QString summary = Control<QLabel>(window, "lBuildNotice")->text();
    EXPECT_TRUE(summary.contains(QStringLiteral("1.25.0.0"))) << summary.toStdString();
    EXPECT_FALSE(Control<QPushButton>(window, "bRebuild")->isVisible());
    // The removal takes the current version's packages, then offers the old version's, listed.
    MessageAnswers answers({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    Control<QPushButton>(window, "bDeleteWotmod")->click();
    ASSERT_EQ(answers.texts.size(), 3) << answers.texts.join(u'|').toStdString();
    EXPECT_EQ(answers.texts[0], DisplayText(InterfaceText(45, second.Language)));
    EXPECT_EQ(answers.texts[1].count(QStringLiteral(".wotmod")), 5) << answers.texts[1].toStdString();
    EXPECT_TRUE(answers.texts[1].contains(QStringLiteral("1.24.0.1")));
    EXPECT_EQ(answers.texts[2], DisplayText(InterfaceText(46, second.Language)));
    EXPECT_TRUE(window.isVisible()) << "a removal keeps the window";
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  std::size_t left = 0;
  for (const auto& e : fs::recursive_directory_iterator(client / "mods")) left += e.path().extension() == ".wotmod";
  EXPECT_EQ(left, 0u);
  qputenv("HOME", oldHome);
}
#endif

}  // namespace
