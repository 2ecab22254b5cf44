// The client selection dialog under the offscreen platform: the facts each client shows, the
// preselection rules, the placeholders, the question on a damaged client, and the real search
// over a fake Wine prefix.
#include "gui/client_selection/wot_selection.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <memory>

#include "client/client_search.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

struct RClient {
  std::string exe = "WorldOfTanks.exe";
  std::string publisher = "wargaming";
  std::string realm = "EU";
  bool packages = true;  // without any, the client is damaged
  bool brokenPathsXml = false;  // the examination fails
};

// A client folder as ReadWOTInfo knows it; returns the folder with its trailing separator.
std::string MakeClient(const fs::path& dir, const RClient& c) {
  Write(dir / c.exe, "MZ");
  Write(dir / "win64" / c.exe, "MZ");
  Write(dir / "version.xml", "<version.xml><version>v.1.24.0.1 #1234</version><meta><realm>" + c.realm +
                                 "</realm></meta></version.xml>");
  Write(dir / "game_info.xml", "<game_info><game wgc_publisher_id=\"" + c.publisher + "\"/></game_info>");
  Write(dir / "paths.xml", c.brokenPathsXml ? "<root><Path>./res_mods/1.24" : "");
  if (c.packages) Write(dir / "res" / "packages" / "vehicles_level_01.pkg", "PK");
  return dir.string() + "/";
}

// The clients of the tests, found in a chosen order.
struct TClients {
  test_support::TempDir dir;
  std::string usable = MakeClient(dir.path() / "World_of_Tanks_EU", {});
  std::string damaged = MakeClient(dir.path() / "Damaged", {.publisher = "lesta", .packages = false});
  std::string lestaCT = MakeClient(dir.path() / "Tanki_CT", {.exe = "Tanki.exe", .publisher = "lesta", .realm = "CT"});
  std::string failed = MakeClient(dir.path() / "Failed", {.packages = false, .brokenPathsXml = true});
};

TFWOTSelection::TSearch Finds(std::vector<std::string> folders) {
  return [folders](SArray& out, std::uint8_t, bool) {
    out = folders;
    return static_cast<int>(out.size());
  };
}

// Shows the dialog and waits for its search to end.
std::unique_ptr<TFWOTSelection> Shown(const TFWOTSelection::TSearch& search, const std::string& preferred = "",
                                      int language = 1) {
  auto dialog = std::make_unique<TFWOTSelection>(nullptr, language, QString::fromStdString(preferred), true, true,
                                                 true, true);
  dialog->Search = search;
  dialog->show();
  EXPECT_TRUE(dialog->Searching());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->Searching(); }, 5000));
  return dialog;
}

QStringList Row(const TFWOTSelection& d, int i) {
  const QTreeWidgetItem* item = d.lvClientsPaths->topLevelItem(i);
  return {item->text(0), item->text(1), item->text(2), item->text(3)};
}

QString Selected(const TFWOTSelection& d) {
  const auto items = d.lvClientsPaths->selectedItems();
  return items.size() == 1 ? items.front()->text(0) : QString();
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TEST(ClientSelection, ListsEachClientWithItsFactsAndReturnsTheChosenFolder) {
  TClients c;
  auto d = Shown(Finds({c.damaged, c.usable, c.lestaCT, c.failed}));
  EXPECT_EQ(d->windowTitle(), "Finding game clients");
  EXPECT_EQ(d->FoundCount(), 4);
  ASSERT_EQ(d->lvClientsPaths->topLevelItemCount(), 4);
  EXPECT_EQ(Row(*d, 0), (QStringList{Q(c.damaged), "Lesta", "", ""}));  // damaged: no test mark, no version
  EXPECT_EQ(Row(*d, 1), (QStringList{Q(c.usable), "Wargaming", "", "1.24.0.1 #1234"}));
  EXPECT_EQ(Row(*d, 2), (QStringList{Q(c.lestaCT), "Lesta", "CT", "1.24.0.1 #1234"}));
  EXPECT_EQ(Row(*d, 3), (QStringList{Q(c.failed), "", "", ""}));  // the examination failed: no publisher
  // Item 0 is damaged: the first usable one after it is preselected and the list has the focus.
  EXPECT_EQ(Selected(*d), Q(c.usable));
  EXPECT_TRUE(d->lvClientsPaths->hasFocus());
  EXPECT_TRUE(d->aOK->isEnabled() && d->bOK->isEnabled() && d->aPMPathCopy->isEnabled());

  d->aPMPathCopy->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), Q(c.usable));
  // A double click acts as OK.
  const QPoint third = d->lvClientsPaths->visualItemRect(d->lvClientsPaths->topLevelItem(2)).center();
  QTest::mouseClick(d->lvClientsPaths->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(d->lvClientsPaths->viewport(), Qt::LeftButton, {}, third);
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(d->SelectedPath(), Q(c.lestaCT));

  // Cancel returns nothing.
  d = Shown(Finds({c.usable}));
  d->bCancel->click();
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_TRUE(d->SelectedPath().isEmpty());
}

TEST(ClientSelection, PreselectsTheClientInUse) {
  TClients c;
  const auto all = Finds({c.damaged, c.usable, c.lestaCT});
  EXPECT_EQ(Selected(*Shown(all, c.lestaCT)), Q(c.lestaCT));   // found, though not first
  EXPECT_EQ(Selected(*Shown(all, c.damaged)), Q(c.damaged));   // even a damaged one
  EXPECT_EQ(Selected(*Shown(all, "/elsewhere/")), Q(c.usable));  // not found: the first usable
  // The folder text must contain the preferred path with the same letter case.
  std::string upper = c.lestaCT;
  upper.replace(upper.find("Tanki_CT"), 8, "TANKI_CT");
  EXPECT_EQ(Selected(*Shown(all, upper)), Q(c.usable));
  // Only damaged clients: item 0.
  EXPECT_EQ(Selected(*Shown(Finds({c.damaged, c.failed}))), Q(c.damaged));
}

TEST(ClientSelection, PlaceholdersWhileSearchingAndWhenNothingIsFound) {
  auto d = std::make_unique<TFWOTSelection>(nullptr, 0, QString(), false, false, false, false);
  std::uint8_t sources = 0xFF;
  bool tests = true;
  d->Search = [&](SArray& out, std::uint8_t s, bool t) {
    sources = s;
    tests = t;
    out.clear();
    return 0;
  };
  d->show();
  ASSERT_EQ(d->lvClientsPaths->topLevelItemCount(), 1);
  EXPECT_EQ(d->lvClientsPaths->topLevelItem(0)->text(0), "Поиск клиентов игры...");
  EXPECT_EQ(d->lvClientsPaths->palette().color(QPalette::Text), QColor(128, 128, 128));
  EXPECT_FALSE(d->aRefresh->isEnabled() || d->aOK->isEnabled());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !d->Searching(); }, 5000));
  EXPECT_EQ(sources, 0);
  EXPECT_FALSE(tests);
  EXPECT_EQ(d->lvClientsPaths->topLevelItem(0)->text(0), "Клиенты игры не найдены");
  EXPECT_EQ(d->lvClientsPaths->palette().color(QPalette::Text), QColor(0, 0, 128));
  d->lvClientsPaths->setCurrentItem(d->lvClientsPaths->topLevelItem(0));
  EXPECT_FALSE(d->aOK->isEnabled() || d->bOK->isEnabled() || d->aPMPathCopy->isEnabled() || d->aPMOpenPath->isEnabled());
  EXPECT_TRUE(d->aRefresh->isEnabled() && d->aCancel->isEnabled());
  EXPECT_EQ(d->bRefresh->text(), "Обновить");
  // Enter on the placeholder closes nothing.
  d->accept();
  EXPECT_TRUE(d->isVisible());

  // The switches give the sources: current folder 1, game centers 2 + 4, registry 8 + 16.
  TFWOTSelection registryOnly(nullptr, 1, QString(), true, true, false, false);
  EXPECT_EQ(registryOnly.Sources(), SearchReplayLink | SearchRegistry);
  TFWOTSelection centersAndFolder(nullptr, 1, QString(), false, false, true, true);
  EXPECT_EQ(centersAndFolder.Sources(), SearchOwnFolder | SearchLestaCenter | SearchWargamingCenter);
}

TEST(ClientSelection, ADamagedClientIsTakenOnlyAfterYes) {
  TClients c;
  auto d = Shown(Finds({c.damaged, c.usable}), c.damaged);
  ASSERT_EQ(Selected(*d), Q(c.damaged));
  QStringList asked;
  bool answer = false;
  d->AskDamaged = [&](const QString& question) {
    asked << question;
    return answer;
  };
  d->bOK->click();
  EXPECT_TRUE(d->isVisible());
  EXPECT_TRUE(d->SelectedPath().isEmpty());
  EXPECT_EQ(asked, QStringList{"This game client is corrupted or there are some key files missing from the game "
                               "folder. Select this game client?"});
  d->bCancel->click();  // never asks
  EXPECT_EQ(asked.size(), 1);
  EXPECT_EQ(d->result(), QDialog::Rejected);

  d->show();  // a new showing searches again
  ASSERT_TRUE(QTest::qWaitFor([&] { return !d->Searching(); }, 5000));
  answer = true;
  d->bOK->click();
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(d->SelectedPath(), Q(c.damaged));
}

// Wine prefixes are where Linux players keep their clients; Windows has its own registry.
#ifndef Q_OS_WIN
TEST(ClientSelection, FindsAClientInAFakeWinePrefix) {
  test_support::TempDir dir;
  const fs::path home = dir.path() / "home";
  const fs::path prefix = home / ".wine";
  const std::string client =
      MakeClient(prefix / "drive_c" / "Games" / "World_of_Tanks_EU", {.publisher = "lesta"});
  Write(prefix / "user.reg",
        "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\"
        "WOT.EU.PRODUCTION] 1700000000\n\"InstallLocation\"=\"C:\\\\Games\\\\World_of_Tanks_EU\"\n");
  const auto systems = FindWindowsSystems(home.string(), [](const char*) { return std::string(); });
  const TFWOTSelection::TSearch search = [&](SArray& out, std::uint8_t sources, bool tests) {
    return FindWOTClientsIn(out, sources, tests, "", systems);
  };
  auto d = Shown(search);
  ASSERT_EQ(d->FoundCount(), 1);
  EXPECT_EQ(Row(*d, 0), (QStringList{Q(client), "Lesta", "", "1.24.0.1 #1234"}));
  d->bOK->click();
  EXPECT_EQ(d->SelectedPath(), Q(client));

  // The registry switch off: the uninstall entry is not read.
  TFWOTSelection withoutRegistry(nullptr, 1, QString(), true, false, true, true);
  withoutRegistry.Search = search;
  withoutRegistry.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !withoutRegistry.Searching(); }, 5000));
  EXPECT_EQ(withoutRegistry.FoundCount(), 0);
}
#endif
