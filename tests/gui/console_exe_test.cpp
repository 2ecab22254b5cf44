// The engine runner: the version tag, the command lines, and real starts of a fake engine (a
// shell script closed by a tag) in the front end's output window.
#include "gui/engine_runner/console_exe.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "common/exit_codes.h"
#include "common/file_names.h"
#include "gui/engine_runner/engine_output_window.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

#ifdef Q_OS_WIN
#include <QProcess>

#include <windows.h>
#endif

using namespace ashtint;

namespace {

namespace fs = std::filesystem;

std::string Reversed(std::string s) {
  std::reverse(s.begin(), s.end());
  return s;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

void WriteFile(const std::string& path, const std::string& bytes, bool executable = false) {
  std::ofstream(path, std::ios::binary) << bytes;
  if (executable)
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace);
}

[[maybe_unused]] std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each run of a fake engine as one line of its arguments, separated by the unit separator.
[[maybe_unused]] std::vector<QStringList> Runs(const std::string& log) {
  std::vector<QStringList> runs;
  for (const QString& line : Q(ReadAll(log)).split(u'\n', Qt::SkipEmptyParts))
    runs.push_back(line.split(QChar(0x1f), Qt::SkipEmptyParts));
  return runs;
}

// A fake engine: logs its arguments as one line (a single write, so copies running at once
// do not mix their lines), then runs body; the version tag closes the file as on the engine.
[[maybe_unused]] std::string FakeEngine(const test_support::TempDir& dir, const std::string& body, const std::string& build = "248") {
  const std::string path = dir / "AshtintCreator2";
  WriteFile(path,
            "#!/bin/sh\nsep=$(printf '\\037')\nline=''\nfor a in \"$@\"; do line=\"$line$a$sep\"; done\n"
            "printf '%s\\n' \"$line\" >> '" + dir / "runs.log" + "'\n" + body + "\nexit 0\n#" +
                Reversed("VER:2.2.1:" + build + ";"),
            true);
  return path;
}

// Settings for a client whose path a shell would misread in every way it can.
[[maybe_unused]] RGuiSettings HostileClient(const test_support::TempDir& dir) {
  RGuiSettings s;
  s.WotPath = Q(dir / "My \"WoT\"; rm -rf 'x' $HOME") + QStringLiteral("/WorldOfTanks.exe");
  return s;
}

[[maybe_unused]] void CloseEndedWindows(const TConsoleExe& runner) {
  // A window told to close its console on success goes by itself.
  QList<QPointer<TEngineOutputWindow>> windows;
  for (TEngineOutputWindow* w : runner.OutputWindows()) windows << w;
  for (const QPointer<TEngineOutputWindow>& w : windows) {
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.isNull() || w->Ended(); }, 10000));
    if (w) w->close();
  }
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

TEST(EngineRunner, AcceptsOnlyEngineFilesWithASupportedTag) {
  // The texts name the platform's engine file.
  const QString kEngine = QString::fromLatin1(EngineFileName);
  test_support::TempDir dir;
  QLineEdit memo;
  RGuiSettings settings;
  TConsoleExe runner(&memo, nullptr, settings);
  EXPECT_EQ(runner.EngineBuild(), -1);
  EXPECT_EQ(runner.LastRun().State, RRunError::NotStarted);
  EXPECT_EQ(runner.LastRun().Code, -1);

  struct RCase {
    std::string bytes;
    QString shown;
    int build;
  };
  const std::string block(5000, 'x');  // the tag's reading crosses a block boundary
  const RCase cases[] = {
      {"VER", kEngine + " not valid!", -1},  // not longer than 3 bytes
      {"MZ code without a tag", kEngine + " not valid!", -1},
      {"MZ" + Reversed("VER:2.2.1;"), kEngine + " not valid!", -1},  // only the version field
      {block + "REV", kEngine + " not valid!", -1},                 // runs past the start of the file
      {"MZ" + Reversed("VER:2.2.1:abc;"), kEngine + " not supported!", 0},
      {"MZ" + Reversed("VER:2.2.1:247;"), kEngine + " not supported!", 247},
      {"MZ" + Reversed("VER:2.2.1:248;"), kEngine + " Version 2.2.1 Build 248", 248},
      {"MZ" + Reversed("VER2.3:250;"), kEngine + " Version 2.3 Build 250", 250},  // no colon after VER
      {"MZ" + Reversed("VER:" + block + ":300:extra;"), kEngine + " Version " + Q(block) + " Build 300", 300},
  };
  const QColor normal = QApplication::palette(&memo).color(QPalette::Text);
  for (const RCase& c : cases) {
    const std::string path = dir / "engine file";
    WriteFile(path, c.bytes);
    runner.SetExeFile(Q(path));
    EXPECT_EQ(memo.text(), c.shown) << c.bytes.substr(0, 40);
    EXPECT_EQ(runner.EngineBuild(), c.build) << c.bytes.substr(0, 40);
    const bool accepted = c.build >= MinEngineBuild;
    EXPECT_EQ(runner.ExeFile(), accepted ? Q(path) : QString());
    EXPECT_EQ(memo.palette().color(QPalette::Text), accepted ? normal : QColor(Qt::red));
    // A refused engine is never started.
    if (!accepted) {
      EXPECT_FALSE(runner.Execute(TConsoleExe::ModeSingle));
    }
    EXPECT_EQ(runner.LastRun().State, RRunError::NotStarted);
  }

  runner.SetExeFile(Q(dir / "missing"));
  EXPECT_EQ(memo.text(), kEngine + " not found!");
  EXPECT_EQ(memo.palette().color(QPalette::Text), QColor(Qt::red));
  EXPECT_TRUE(runner.ExeFile().isEmpty());

  // The engine this build makes carries the tag the runner reads.
  EXPECT_EQ(ReadVersionTag(QStringLiteral(ASHTINT_ENGINE_FILE)), (QStringList{"VER", "2.2.1", "248"}));
  runner.SetExeFile(QStringLiteral(ASHTINT_ENGINE_FILE));
  EXPECT_EQ(memo.text(), kEngine + " Version 2.2.1 Build 248");
}

TEST(EngineRunner, BuildsTheCommandLines) {
  RGuiSettings s;
  s.WotPath = QStringLiteral("/games/World_of_Tanks/WorldOfTanks.exe");
  QPlainTextEdit memo;
  TConsoleExe runner(nullptr, &memo, s);
  runner.BuildArguments();
  const QString path = QStringLiteral("--wot-path=\"/games/World_of_Tanks/\"");
  EXPECT_EQ(runner.Arguments(),
            path + " --DPT-mod=FFFFFF --inside-color=B0B0B0 --remove-shadows --CCT-mod=367EFF --MEM-mod=FFE200"
                   " --CTM-mod=DD7744 --SpaceBin-mod=FFE200|DD7744 --auto-close-console --subfolder-wotmod"
                   " --remove-wotmod");
  EXPECT_EQ(memo.toPlainText(), runner.Arguments());
  const QString tail = " --auto-close-console --no-update-configs --subfolder-wotmod";
  EXPECT_EQ(runner.Copies(),
            (QStringList{path + " --DPT-mod=FFFFFF --inside-color=B0B0B0 --remove-shadows" + tail,
                         path + " --CCT-mod=367EFF" + tail,
                         path + " --MEM-mod=FFE200 --CTM-mod=DD7744 --SpaceBin-mod=FFE200|DD7744" + tail}));
  // The process gets each key as one argument, values without the quotes.
  EXPECT_EQ(runner.Command().Arguments().mid(0, 2),
            (QStringList{"--wot-path=/games/World_of_Tanks/", "--DPT-mod=FFFFFF"}));
  EXPECT_EQ(runner.CopyCommands()[1].Arguments(),
            (QStringList{"--wot-path=/games/World_of_Tanks/", "--CCT-mod=367EFF", "--auto-close-console",
                         "--no-update-configs", "--subfolder-wotmod"}));

  // No mod: only the path keys and the tail, no copies.
  s.DPTEnable = s.CCTEnable = s.MEMEnable = s.CTMEnable = false;
  runner.BuildArguments();
  EXPECT_EQ(runner.Arguments(), path + " --auto-close-console --subfolder-wotmod --remove-wotmod");
  EXPECT_TRUE(runner.Copies().isEmpty());
  EXPECT_FALSE(runner.HasSeveralCopies());

  // Only CAMO, reduced with a stored ratio the engine does not know; space.bin needs MEM or CTM.
  s.CamoEnable = true;
  s.CamoDownsizingRatio = 3;
  s.AutoClose = s.SubfolderWotmod = s.RemoveOldWotmod = false;
  runner.BuildArguments();
  EXPECT_EQ(runner.Arguments(), path + " --CAMO-mod=30 --downsizing-ratio=2");
  EXPECT_EQ(runner.Copies(), QStringList{path + " --CAMO-mod=30 --downsizing-ratio=2 --no-update-configs"});

  // Every option: folders quoted, colours not; single-run keys stay out of the copies.
  s.CTMEnable = true;
  s.CamoDownsizingRatio = 8;
  s.ModsPathEnable = s.UseConfigsFolder = true;
  s.ModsPath = QStringLiteral("/home/u/my mods/");
  s.ConfigsFolder = QStringLiteral("/home/u/cfg dir/");
  s.LogFile = s.RewriteLogFile = s.NoUpdateConfigs = s.NoWotmod = s.AllInOneWotmod = s.NoHD = true;
  s.UseCPUCount = true;
  s.CPUCount = 3;
  runner.BuildArguments();
  const QString base = path + " --mods-path=\"/home/u/my mods/\"";
  EXPECT_EQ(runner.Arguments(),
            base + " --CTM-mod=DD7744 --SpaceBin-mod=|DD7744 --CAMO-mod=30 --downsizing-ratio=8 --log --rewrite-log"
                   " --no-update-configs --configs-path=\"/home/u/cfg dir/\" --without-wotmod --allinone-wotmod"
                   " --without-hd --cpu-count=3");
  EXPECT_EQ(runner.Copies(),
            QStringList{base + " --CTM-mod=DD7744 --SpaceBin-mod=|DD7744 --CAMO-mod=30 --downsizing-ratio=8"
                               " --no-update-configs --configs-path=\"/home/u/cfg dir/\" --without-wotmod"
                               " --without-hd --cpu-count=3"});
  EXPECT_TRUE(runner.Command().Arguments().contains("--configs-path=/home/u/cfg dir/"));

  EXPECT_EQ(runner.BuildRemovalArguments(true).Text(),
            path + " --no-update-configs --remove-wotmod --auto-close-console --log --rewrite-log"
                   " --mods-path=\"/home/u/my mods/\"");
  s.LogFile = s.ModsPathEnable = false;
  EXPECT_EQ(runner.BuildRemovalArguments(false).Text(), path + " --remove-wotmod --auto-close-console");
}

#ifndef Q_OS_WIN

TEST(EngineRunner, WaitedRunReportsTheEngineExitAndKeepsTheWindowResponsive) {
  test_support::TempDir dir;
  RGuiSettings s = HostileClient(dir);
  TConsoleExe runner(nullptr, nullptr, s);
  runner.WorkingFolder = Q(dir.str());

  struct RCase {
    std::string body;
    int state, code;
    bool crashed;
    std::string message;
  };
  const RCase cases[] = {
      {"echo 'line one'\necho 'line two' >&2\nsleep 0.3\nexit 129", RRunError::ExitError, 16001, false,
       ExitCodeText(16001)},
      {"exit 7", RRunError::ExitError, 7, false, ""},
      {"kill -9 $$", RRunError::ExitError, 9, true, ""},
      {"pwd > '" + dir / "cwd" + "'", RRunError::Success, 0, false, ""},
  };
  for (const RCase& c : cases) {
    fs::remove(dir / "runs.log");
    runner.SetExeFile(Q(FakeEngine(dir, c.body)));
    bool timerRan = false;
    QTimer::singleShot(50, [&] { timerRan = true; });
    EXPECT_EQ(runner.Execute(TConsoleExe::ModeRemoval), c.state == RRunError::Success) << c.body;
    const RRunError& r = runner.LastRun();
    EXPECT_EQ(r.State, c.state) << c.body;
    EXPECT_EQ(r.Code, c.code) << c.body;
    EXPECT_EQ(r.Crashed, c.crashed) << c.body;
    EXPECT_EQ(r.Message, Q(c.message)) << c.body;
    // The window went on with its events while the slow engine ran.
    if (c.body.find("sleep") != std::string::npos) {
      EXPECT_TRUE(timerRan);
    }
    // The path reached the engine whole, as one argument.
    EXPECT_EQ(Runs(dir / "runs.log"), std::vector{runner.BuildRemovalArguments(true).Arguments()});
    ASSERT_EQ(runner.OutputWindows().size(), 1);
    TEngineOutputWindow* window = runner.OutputWindows().front();
    if (c.state == RRunError::ExitError && !c.crashed && c.code == 16001) {
      EXPECT_EQ(window->Output(), "line one\nline two\n");
      EXPECT_EQ(window->windowTitle(), "AshtintCreator2 (16001)");
    }
    CloseEndedWindows(runner);
    EXPECT_TRUE(runner.OutputWindows().isEmpty());
  }
  EXPECT_EQ(fs::path(ReadAll(dir / "cwd").substr(0, ReadAll(dir / "cwd").size() - 1)), dir.path());

  // An engine that cannot be executed is a failed start with the system's reason.
  fs::permissions(dir / "AshtintCreator2", fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  EXPECT_FALSE(runner.Execute(TConsoleExe::ModeRemoval));
  EXPECT_EQ(runner.LastRun().State, RRunError::StartFailed);
  EXPECT_FALSE(runner.LastRun().Message.isEmpty());
  EXPECT_TRUE(runner.OutputWindows().isEmpty());
}

TEST(EngineRunner, OutputWindowStaysOpenUntilTheEngineEnds) {
  test_support::TempDir dir;
  RGuiSettings s = HostileClient(dir);
  s.AutoClose = false;
  TConsoleExe runner(nullptr, nullptr, s);
  // Without auto-close the engine waits for Enter before it ends.
  runner.SetExeFile(Q(FakeEngine(dir, "printf 'Press enter to exit...'\nread answer\necho \"got [$answer]\"")));
  ASSERT_TRUE(runner.Execute(TConsoleExe::ModeSingle));
  EXPECT_EQ(runner.LastRun().State, RRunError::Success);
  EXPECT_EQ(runner.LastRun().Code, 0);
  ASSERT_EQ(runner.OutputWindows().size(), 1);
  QPointer<TEngineOutputWindow> window = runner.OutputWindows().front();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Output().contains("Press enter"); }, 10000));
  QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.data(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Ended(); }, 10000));
  EXPECT_EQ(window->Output(), "Press enter to exit...\ngot []\n");
  EXPECT_EQ(Runs(dir / "runs.log"), std::vector{runner.Command().Arguments()});
  ASSERT_TRUE(runner.Results()->AllEnded());
  EXPECT_EQ(runner.Results()->Runs().front().Output, window->Output());
  window->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());

  // An engine that only waits for Enter is answered when its window is closed.
  ASSERT_TRUE(runner.Execute(TConsoleExe::ModeSingle));
  window = runner.OutputWindows().front();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Output().contains("Press enter"); }, 10000));
  window->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 10000));
  EXPECT_EQ(runner.Results()->Runs().front().ExitCode, 0);

  // An engine at work is stopped only when the player says so; it ends as on an interrupt.
  runner.SetExeFile(Q(FakeEngine(dir, "trap 'echo cleaned; exit 130' TERM\necho working\nwhile :; do sleep 0.05; done")));
  ASSERT_TRUE(runner.Execute(TConsoleExe::ModeSingle));
  window = runner.OutputWindows().front();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Output().contains("working"); }, 10000));
  int asked = 0;
  bool answer = false;
  window->AskStop = [&] {
    ++asked;
    return answer;
  };
  window->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->Running());
  EXPECT_TRUE(runner.Running());
  answer = true;
  window->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 10000));
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(runner.Running());
  const REngineRun& stopped = runner.Results()->Runs().front();
  EXPECT_TRUE(stopped.Stopped);
  EXPECT_TRUE(stopped.Output.contains("cleaned")) << stopped.Output.toStdString();
  EXPECT_TRUE(runner.Results()->AnyFailed());
}

TEST(EngineRunner, MultiStartRunsThePreliminaryRunThenTheCopies) {
  test_support::TempDir dir;
  RGuiSettings s = HostileClient(dir);
  TConsoleExe runner(nullptr, nullptr, s);
  // A removal run fails when asked to.
  runner.SetExeFile(Q(FakeEngine(
      dir, "case \"$*\" in *--remove-wotmod*) [ -e '" + dir / "fail" + "' ] && exit 137;; esac\nexit 0")));
  auto copies = [&] {
    std::vector<QStringList> lines;
    for (const TEngineCommand& c : runner.CopyCommands()) lines.push_back(c.Arguments());
    return lines;
  };
  auto sorted = [](std::vector<QStringList> v) {
    std::sort(v.begin(), v.end());
    return v;
  };

  struct RCase {
    bool removeOld, noUpdateConfigs;
    QStringList preliminary;
  };
  TEngineCommand refresh;
  refresh.AddQuoted("--wot-path", Q(dir / "My \"WoT\"; rm -rf 'x' $HOME") + "/");
  refresh.Add("--auto-close-console");
  const RCase cases[] = {
      {true, false, runner.BuildRemovalArguments(false).Arguments()},
      {true, true, runner.BuildRemovalArguments(true).Arguments()},
      {false, false, refresh.Arguments()},
      {false, true, {}},  // nothing to do before the copies
  };
  for (const RCase& c : cases) {
    fs::remove(dir / "runs.log");
    s.RemoveOldWotmod = c.removeOld;
    s.NoUpdateConfigs = c.noUpdateConfigs;
    ASSERT_TRUE(runner.Execute(TConsoleExe::ModeMultiStart));
    ASSERT_EQ(runner.CopyCommands().size(), 3u);
    CloseEndedWindows(runner);
    std::vector<QStringList> runs = Runs(dir / "runs.log");
    if (!c.preliminary.isEmpty()) {
      ASSERT_FALSE(runs.empty());
      EXPECT_EQ(runs.front(), c.preliminary);  // waited for, so always first
      runs.erase(runs.begin());
    }
    // The copies run side by side, so their lines come in any order.
    EXPECT_EQ(sorted(runs), sorted(copies()));
  }

  // A failed preliminary run starts no copy.
  fs::remove(dir / "runs.log");
  WriteFile(dir / "fail", "");
  s.RemoveOldWotmod = true;
  EXPECT_FALSE(runner.Execute(TConsoleExe::ModeMultiStart));
  EXPECT_EQ(runner.LastRun().Code, 16009);
  CloseEndedWindows(runner);
  EXPECT_EQ(Runs(dir / "runs.log").size(), 1u);

  // One copy only: a single run with the whole command line.
  fs::remove(dir / "runs.log");
  s.CCTEnable = s.MEMEnable = s.CTMEnable = false;
  ASSERT_TRUE(runner.Execute(TConsoleExe::ModeMultiStart));
  CloseEndedWindows(runner);
  EXPECT_EQ(Runs(dir / "runs.log"), std::vector{runner.Command().Arguments()});
}

#else

// Presses Enter in the console of every engine the runner has going, as the player does after
// reading the engine's last lines (after an error the engine waits for it).
void PressEnterInEngineConsoles(const TConsoleExe& runner) {
  if (runner.Results() == nullptr) return;
  for (QProcess* process : runner.Results()->findChildren<QProcess*>()) {
    if (process->state() != QProcess::Running) continue;
    FreeConsole();
    if (!AttachConsole(static_cast<DWORD>(process->processId()))) continue;
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (input != INVALID_HANDLE_VALUE) {
      INPUT_RECORD keys[2] = {};
      for (int i = 0; i < 2; ++i) {
        keys[i].EventType = KEY_EVENT;
        keys[i].Event.KeyEvent.bKeyDown = i == 0;
        keys[i].Event.KeyEvent.wRepeatCount = 1;
        keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
      }
      DWORD written = 0;
      WriteConsoleInputW(input, keys, 2, &written);
      CloseHandle(input);
    }
    FreeConsole();
  }
}

// On Windows the engine gets a console of its own and its command line as one text; a waited run
// reads the whole exit code, which a POSIX status would cut to its low byte, and a stopped run
// ends as an interrupted one.
TEST(EngineRunner, WindowsRunsTheEngineInAConsoleOfItsOwn) {
  test_support::TempDir dir;
  RGuiSettings s;
  s.WotPath = Q(dir / "No client here") + QStringLiteral("/WorldOfTanks.exe");
  TConsoleExe runner(nullptr, nullptr, s);
  runner.WorkingFolder = Q(dir.str());
  runner.SetExeFile(QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(EngineFileName));
  ASSERT_FALSE(runner.ExeFile().isEmpty());
  QTimer enter;
  QObject::connect(&enter, &QTimer::timeout, [&runner] { PressEnterInEngineConsoles(runner); });
  enter.start(300);
  EXPECT_FALSE(runner.Execute(TConsoleExe::ModeRemoval));
  EXPECT_EQ(runner.LastRun().State, RRunError::ExitError);
  EXPECT_EQ(runner.LastRun().Code, ecGameExeNotFound);
  EXPECT_EQ(runner.LastRun().Message, Q(ExitCodeText(ecGameExeNotFound)));
  EXPECT_TRUE(runner.OutputWindows().isEmpty());
  enter.stop();

  // A run nobody waits for is done once started. This one waits for Enter after its error, and
  // nobody presses it: stopping it sends Ctrl+C into its console, and it ends as interrupted.
  EXPECT_TRUE(runner.Execute(TConsoleExe::ModeSingle));
  EXPECT_EQ(runner.LastRun().State, RRunError::Success);
  QTest::qWait(1500);
  ASSERT_FALSE(runner.Results()->AllEnded()) << "the engine waits for Enter after an error";
  runner.StopRuns();
  EXPECT_TRUE(QTest::qWaitFor([&] { return runner.Results()->AllEnded(); }, 30000));
  ASSERT_EQ(runner.Results()->Runs().size(), 1u);
  EXPECT_TRUE(runner.Results()->Runs()[0].Stopped);
  EXPECT_EQ(runner.Results()->Runs()[0].ExitCode, 128) << "the engine's own interrupt handling";

  // A file with a valid tag that Windows cannot run is a failed start with the system's reason.
  WriteFile(dir / "broken.exe", "MZ" + Reversed("VER:2.2.1:248;"));
  runner.SetExeFile(Q(dir / "broken.exe"));
  EXPECT_FALSE(runner.Execute(TConsoleExe::ModeRemoval));
  EXPECT_EQ(runner.LastRun().State, RRunError::StartFailed);
  EXPECT_FALSE(runner.LastRun().Message.isEmpty());
}

#endif  // Q_OS_WIN
