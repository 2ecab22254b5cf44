#include "gui/engine_runner/build_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "client/wot_info.h"
#include "gui/replaced_file.h"

namespace ashtint {

namespace {

// The record's layout; a file of another layout is kept aside and a new record begins.
constexpr int RecordLayout = 1;
// What a run wrote is kept only at its end: the lines that tell why it failed are there.
constexpr qsizetype KeptOutput = 16 * 1024;

QString LocalText(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

const char* OutcomeName(TModOutcome outcome) {
  switch (outcome) {
    case TModOutcome::Built: return "built";
    case TModOutcome::Failed: return "failed";
    default: return "skipped";
  }
}

TModOutcome OutcomeOf(const QString& name) {
  if (name == QLatin1String("built")) return TModOutcome::Built;
  if (name == QLatin1String("failed")) return TModOutcome::Failed;
  return TModOutcome::Skipped;
}

QJsonObject RunToJson(const REngineRun& run) {
  QJsonArray mods;
  for (const RModResult& mod : run.Mods) {
    QJsonArray packages;
    for (const RPackageWritten& p : mod.Packages)
      packages << QJsonObject{{"folder", p.Folder}, {"name", p.Name}, {"size", static_cast<double>(p.Size)}};
    mods << QJsonObject{{"mod", mod.Mod},
                        {"outcome", QLatin1String(OutcomeName(mod.Outcome))},
                        {"reason", mod.Reason},
                        {"packages", packages}};
  }
  return QJsonObject{{"arguments", QJsonArray::fromStringList(run.Arguments)},
                     {"started", run.Started.toString(Qt::ISODate)},
                     {"finished", run.Finished.toString(Qt::ISODate)},
                     {"startFailed", run.StartFailed},
                     {"crashed", run.Crashed},
                     {"stopped", run.Stopped},
                     {"exitCode", run.ExitCode},
                     {"reason", run.Reason},
                     {"output", run.Output.right(KeptOutput)},
                     {"mods", mods}};
}

QStringList Strings(const QJsonValue& value) {
  QStringList list;
  for (const QJsonValue& item : value.toArray()) list << item.toString();
  return list;
}

REngineRun RunFromJson(const QJsonObject& o) {
  REngineRun run;
  run.Arguments = Strings(o.value("arguments"));
  run.Started = QDateTime::fromString(o.value("started").toString(), Qt::ISODate);
  run.Finished = QDateTime::fromString(o.value("finished").toString(), Qt::ISODate);
  run.Ended = true;
  run.StartFailed = o.value("startFailed").toBool();
  run.Crashed = o.value("crashed").toBool();
  run.Stopped = o.value("stopped").toBool();
  run.ExitCode = o.value("exitCode").toInt(-1);
  run.Reason = o.value("reason").toString();
  run.Output = o.value("output").toString();
  for (const QJsonValue& m : o.value("mods").toArray()) {
    const QJsonObject mo = m.toObject();
    RModResult mod;
    mod.Mod = mo.value("mod").toString();
    mod.Outcome = OutcomeOf(mo.value("outcome").toString());
    mod.Reason = mo.value("reason").toString();
    for (const QJsonValue& p : mo.value("packages").toArray()) {
      const QJsonObject po = p.toObject();
      mod.Packages.push_back({po.value("folder").toString(), po.value("name").toString(),
                              static_cast<qint64>(po.value("size").toDouble())});
    }
    run.Mods.push_back(std::move(mod));
  }
  return run;
}

QJsonObject BuildToJson(const RClientBuild& b) {
  QJsonArray runs;
  for (const REngineRun& run : b.Runs) runs << RunToJson(run);
  return QJsonObject{{"version", b.Version},
                     {"build", b.Build},
                     {"lesta", b.Lesta},
                     {"packageExtension", b.PackageExtension},
                     {"destination", b.Destination},
                     {"date", b.Date.toString(Qt::ISODate)},
                     {"command", b.CommandText},
                     {"arguments", QJsonArray::fromStringList(b.Arguments)},
                     {"runs", runs}};
}

RClientBuild BuildFromJson(const QString& folder, const QJsonObject& o) {
  RClientBuild b;
  b.ClientFolder = folder;
  b.Version = o.value("version").toString();
  b.Build = o.value("build").toString();
  b.Lesta = o.value("lesta").toBool();
  b.PackageExtension = o.value("packageExtension").toString(QStringLiteral(".wotmod"));
  b.Destination = o.value("destination").toString();
  b.Date = QDateTime::fromString(o.value("date").toString(), Qt::ISODate);
  b.CommandText = o.value("command").toString();
  b.Arguments = Strings(o.value("arguments"));
  for (const QJsonValue& run : o.value("runs").toArray()) b.Runs.push_back(RunFromJson(run.toObject()));
  return b;
}

}  // namespace

std::vector<RPackageWritten> RClientBuild::Packages() const {
  std::vector<RPackageWritten> all;
  for (const REngineRun& run : Runs)
    for (const RModResult& mod : run.Mods)
      if (mod.Outcome == TModOutcome::Built)
        for (const RPackageWritten& p : mod.Packages)
          if (!p.Folder.isEmpty()) all.push_back(p);
  return all;
}

RClientBuild MakeClientBuild(const TRunResults& results, const RWOTInfo& client, const QString& commandText,
                             const QStringList& arguments) {
  RClientBuild b;
  b.ClientFolder = LocalText(client.ClientDir);
  b.Version = QString::fromStdString(client.Version);
  b.Build = QString::fromStdString(client.Build);
  b.Lesta = client.IsLesta;
  b.PackageExtension = QString::fromStdString(client.PackageExt);
  b.Destination = results.Destination();
  b.Runs = results.Runs();
  b.Date = b.Runs.empty() ? QDateTime::currentDateTime() : b.Runs.front().Started.addSecs(1);
  b.CommandText = commandText;
  b.Arguments = arguments;
  return b;
}

bool SameClientFolder(const QString& a, const QString& b) {
  const auto clean = [](const QString& folder) { return QDir::cleanPath(QDir::fromNativeSeparators(folder)); };
#ifdef Q_OS_WIN
  return clean(a).compare(clean(b), Qt::CaseInsensitive) == 0;
#else
  return clean(a) == clean(b);
#endif
}

QString TBuildRecord::FileBeside(const QString& settingsFile) {
  const QFileInfo settings(settingsFile);
  return settings.dir().filePath(settings.completeBaseName() + QStringLiteral(".builds.json"));
}

TBuildRecord::TBuildRecord(QString fileName) : fileName_(std::move(fileName)) {}

bool TBuildRecord::Load(QString* error) {
  clients_.clear();
  QFile file(fileName_);
  if (!file.exists()) return true;
  QString problem;
  QJsonParseError parse{};
  QJsonDocument document;
  if (!file.open(QIODevice::ReadOnly)) {
    problem = file.errorString();
  } else {
    document = QJsonDocument::fromJson(file.readAll(), &parse);
    file.close();
    if (parse.error != QJsonParseError::NoError)
      problem = parse.errorString();
    else if (!document.isObject() || document.object().value("layout").toInt() != RecordLayout)
      problem = QStringLiteral("unknown layout");
  }
  if (!problem.isEmpty()) {
    // Nothing is thrown away: the file stays as it was under another name.
    const QString backup = fileName_ + QStringLiteral(".bak");
    QFile::remove(backup);
    QFile::rename(fileName_, backup);
    if (error != nullptr) *error = problem;
    return false;
  }
  for (const QJsonValue& c : document.object().value("clients").toArray()) {
    const QJsonObject co = c.toObject();
    RClientEntry entry;
    entry.Folder = co.value("folder").toString();
    if (entry.Folder.isEmpty()) continue;
    entry.DismissedVersion = co.value("dismissedVersion").toString();
    entry.DismissedBuild = QDateTime::fromString(co.value("dismissedBuild").toString(), Qt::ISODate);
    for (const QJsonValue& b : co.value("builds").toArray()) entry.Builds.push_back(BuildFromJson(entry.Folder, b.toObject()));
    clients_.push_back(std::move(entry));
  }
  return true;
}

bool TBuildRecord::Save(QString* error) const {
  QJsonArray clients;
  for (const RClientEntry& entry : clients_) {
    QJsonArray builds;
    for (const RClientBuild& b : entry.Builds) builds << BuildToJson(b);
    clients << QJsonObject{{"folder", entry.Folder},
                           {"dismissedVersion", entry.DismissedVersion},
                           {"dismissedBuild", entry.DismissedBuild.toString(Qt::ISODate)},
                           {"builds", builds}};
  }
  const QJsonObject root{{"layout", RecordLayout}, {"clients", clients}};
  if (!QDir().mkpath(QFileInfo(fileName_).absolutePath())) {
    if (error != nullptr) *error = QStringLiteral("cannot create the folder");
    return false;
  }
  return WriteFileReplacing(fileName_, QJsonDocument(root).toJson(QJsonDocument::Indented), error);
}

TBuildRecord::RClientEntry* TBuildRecord::Entry(const QString& clientFolder) {
  for (RClientEntry& entry : clients_)
    if (SameClientFolder(entry.Folder, clientFolder)) return &entry;
  return nullptr;
}

const TBuildRecord::RClientEntry* TBuildRecord::Entry(const QString& clientFolder) const {
  return const_cast<TBuildRecord*>(this)->Entry(clientFolder);
}

void TBuildRecord::Add(RClientBuild build) {
  if (build.ClientFolder.isEmpty()) return;
  RClientEntry* entry = Entry(build.ClientFolder);
  if (entry == nullptr) {
    clients_.push_back(RClientEntry{build.ClientFolder, {}, {}, {}});
    entry = &clients_.back();
  }
  entry->Builds.push_back(std::move(build));
  if (entry->Builds.size() > KeptBuilds)
    entry->Builds.erase(entry->Builds.begin(), entry->Builds.end() - static_cast<std::ptrdiff_t>(KeptBuilds));
}

const RClientBuild* TBuildRecord::Latest(const QString& clientFolder) const {
  const RClientEntry* entry = Entry(clientFolder);
  return entry == nullptr || entry->Builds.empty() ? nullptr : &entry->Builds.back();
}

const RClientBuild* TBuildRecord::LatestBuilt(const QString& clientFolder) const {
  const RClientEntry* entry = Entry(clientFolder);
  if (entry == nullptr) return nullptr;
  for (auto it = entry->Builds.rbegin(); it != entry->Builds.rend(); ++it)
    if (!it->Packages().empty()) return &*it;
  return nullptr;
}

bool TBuildRecord::Dismissed(const QString& clientFolder, const QString& version, const QDateTime& builtOn) const {
  const RClientEntry* entry = Entry(clientFolder);
  return entry != nullptr && !version.isEmpty() && entry->DismissedVersion == version &&
         entry->DismissedBuild == builtOn;
}

void TBuildRecord::Dismiss(const QString& clientFolder, const QString& version, const QDateTime& builtOn) {
  RClientEntry* entry = Entry(clientFolder);
  if (entry == nullptr) return;
  entry->DismissedVersion = version;
  entry->DismissedBuild = builtOn;
}

}  // namespace ashtint
