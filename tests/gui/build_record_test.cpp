// The build record as a player with two clients meets it over several game updates: each client
// keeps its own builds, the status follows the packages where the game loads them, a dismissed
// notice stays dismissed only for the version it was about, and a damaged record loses nothing.
#include "gui/engine_runner/build_record.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>
#include <fstream>

#include "client/wot_info.h"
#include "gui/guide_texts.h"
#include "gui/main_window/build_notice.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

namespace fs = std::filesystem;
using namespace ashtint;

namespace {

QString Q(const fs::path& p) { return QString::fromStdString(p.string()); }

RWOTInfo Client(const fs::path& folder, const std::string& version, bool lesta) {
  RWOTInfo info;
  info.ClientDir = (folder / "").string();
  info.Version = version;
  info.IsLesta = lesta;
  info.PackageExt = lesta ? ".mtmod" : ".wotmod";
  info.ModsDir = (folder / "mods" / version / "").string();
  return info;
}

// A build that wrote one package per mod into the client's versioned mods folder, in the
// engine's own subfolder.
RClientBuild Built(const RWOTInfo& client, const QStringList& mods) {
  RClientBuild b;
  b.ClientFolder = QString::fromStdString(client.ClientDir);
  b.Version = QString::fromStdString(client.Version);
  b.Lesta = client.IsLesta;
  b.PackageExtension = QString::fromStdString(client.PackageExt);
  b.Destination = QString::fromStdString(client.ModsDir);
  b.Date = QDateTime::currentDateTime();
  b.Arguments = {"--wot-path", b.ClientFolder, "--MEM-mod", "FFE200"};
  b.CommandText = b.Arguments.join(u' ');
  REngineRun run;
  run.Arguments = b.Arguments;
  run.Ended = true;
  run.ExitCode = 0;
  const fs::path folder = fs::path(client.ModsDir) / "AshtintCreator";
  fs::create_directories(folder);
  for (const QString& mod : mods) {
    const std::string name = "mod.AshtintCreator." + mod.toStdString() + client.PackageExt;
    std::ofstream(folder / name) << "PK";
    run.Mods.push_back({mod, TModOutcome::Built, {}, {{Q(folder) + "/", QString::fromStdString(name), 2}}});
  }
  b.Runs.push_back(run);
  return b;
}

}  // namespace

TEST(BuildRecord, FollowsEachClientThroughUpdatesAndDismissals) {
  test_support::TempDir dir;
  const QString file = TBuildRecord::FileBeside(Q(dir.path() / "AshtintGui.json"));
  EXPECT_EQ(file, QDir::fromNativeSeparators(Q(dir.path() / "AshtintGui.builds.json")));
  const RWOTInfo eu = Client(dir.path() / "World_of_Tanks_EU", "1.24.0.1", false);
  const RWOTInfo ru = Client(dir.path() / "Tanki", "1.30.0.0", true);
  {
    TBuildRecord record(file);
    ASSERT_TRUE(record.Load());
    record.Add(Built(eu, {"MEM", "CTM"}));
    record.Add(Built(ru, {"DPT"}));
    // A later click that failed wrote nothing: the status still speaks of the build before it.
    RClientBuild failed = Built(eu, {});
    failed.Runs[0].ExitCode = 16002;
    record.Add(failed);
    ASSERT_TRUE(record.Save());
  }
  TBuildRecord record(file);
  ASSERT_TRUE(record.Load());
  ASSERT_NE(record.Latest(Q(dir.path() / "World_of_Tanks_EU")), nullptr);
  EXPECT_EQ(record.Latest(Q(dir.path() / "World_of_Tanks_EU"))->Runs[0].ExitCode, 16002);
  EXPECT_EQ(BuildStatus(record, eu).State, TBuildState::Current);
  EXPECT_EQ(BuildStatus(record, eu).Packages, 2);
  EXPECT_EQ(BuildStatus(record, ru).Packages, 1) << "the clients' builds never mix";

  // A package gone: a notice for this version; hidden, it stays hidden after a restart.
  fs::remove(fs::path(eu.ModsDir) / "AshtintCreator" / "mod.AshtintCreator.CTM.wotmod");
  RBuildStatus status = BuildStatus(record, eu);
  EXPECT_EQ(status.State, TBuildState::Missing);
  EXPECT_EQ(status.Missing.size(), 1);
  record.Dismiss(QString::fromStdString(eu.ClientDir), status.CurrentVersion, status.BuiltOn);
  ASSERT_TRUE(record.Save());
  ASSERT_TRUE(record.Load());
  EXPECT_EQ(BuildStatus(record, eu).State, TBuildState::Dismissed);

  // The game updates: the dismissal was about the old version, so the update is said.
  const RWOTInfo euNext = Client(dir.path() / "World_of_Tanks_EU", "1.25.0.0", false);
  status = BuildStatus(record, euNext);
  EXPECT_EQ(status.State, TBuildState::Updated);
  EXPECT_EQ(BuildStatusText(status, 1),
            "World of Tanks was updated to 1.25.0.0; your mods were built for 1.24.0.1 and no longer load.");
  // Lesta's client names its own game and keeps its .mtmod packages.
  const RWOTInfo ruNext = Client(dir.path() / "Tanki", "1.31.0.0", true);
  EXPECT_TRUE(BuildStatusText(BuildStatus(record, ruNext), 0).startsWith(QStringLiteral("Мир танков обновлён до версии 1.31.0.0")));
  // Packages copied into the new version's folder count as there.
  fs::create_directories(fs::path(ruNext.ModsDir) / "AshtintCreator");
  std::ofstream(fs::path(ruNext.ModsDir) / "AshtintCreator" / "mod.AshtintCreator.DPT.mtmod") << "PK";
  EXPECT_EQ(BuildStatus(record, ruNext).State, TBuildState::Current);
  EXPECT_TRUE(BuildStatusText(BuildStatus(record, ruNext), 0).endsWith(QStringLiteral(" для 1.30.0.0: 1 пакет, 0,0 МБ")));
}

TEST(BuildRecord, ADamagedRecordIsKeptAsideAndOnlyTheLatestBuildsStay) {
  test_support::TempDir dir;
  const QString file = Q(dir.path() / "AshtintGui.builds.json");
  std::ofstream(dir.path() / "AshtintGui.builds.json") << "{\"layout\": 1, \"clients\": [";
  TBuildRecord record(file);
  QString error;
  EXPECT_FALSE(record.Load(&error));
  EXPECT_FALSE(error.isEmpty());
  QFile kept(file + ".bak");
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), QByteArray("{\"layout\": 1, \"clients\": ["));

  const RWOTInfo eu = Client(dir.path() / "World_of_Tanks_EU", "1.24.0.1", false);
  for (int i = 0; i < 10; ++i) {
    RClientBuild b = Built(eu, {"MEM"});
    b.Build = QString::number(i);
    record.Add(b);
  }
  ASSERT_TRUE(record.Save(&error)) << error.toStdString();
  TBuildRecord again(file);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.Latest(QString::fromStdString(eu.ClientDir))->Build, "9");
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const QJsonArray builds = QJsonDocument::fromJson(written.readAll())["clients"][0]["builds"].toArray();
  ASSERT_EQ(builds.size(), static_cast<qsizetype>(TBuildRecord::KeptBuilds));
  EXPECT_EQ(builds.first()["build"].toString(), "2") << "the oldest go first";
}
