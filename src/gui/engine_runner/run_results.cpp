#include "gui/engine_runner/run_results.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>

#include "common/exit_codes.h"

namespace ashtint {

namespace {

struct RModStage {
  const char* Mod;
  const char* Key;   // the command-line key that asks for it
  const char* Head;  // the line that opens its stage in the engine's output
};

// In the order the engine runs its stages.
constexpr std::array<RModStage, 6> Stages = {{
    {"DPT", "--DPT-mod=", "  > Creating monochromatic textures for crashed tanks"},
    {"CCT", "--CCT-mod=", "  > Creating monochromatic textures for crashed tracks"},
    {"MEM", "--MEM-mod=", "  > Creating monochromatic textures for tanks on the maps"},
    {"CTM", "--CTM-mod=", "  > Creating monochromatic textures for carriages and trains on the maps"},
    {"SpaceBin", "--SpaceBin-mod=", "  > Creating a patched space.bin files for the maps"},
    {"CAMO", "--CAMO-mod=", "  > Creating translucent camouflages for tanks"},
}};

const QString PackingHead = QStringLiteral("  > Files packing");  // everything in one package
const QString CreatedFiles = QStringLiteral("    Created files:");
const QString ErrorBox = QStringLiteral("An error occurred while working with one of the files!");

// Lines of a stage that tell of a failure: the engine's own error words.
bool IsFailureLine(const QString& line) {
  const QString t = line.trimmed();
  // "Failed!" closes a step's line, "Failed to create wotmod-file!" follows "Files packing... ".
  return t.contains(QStringLiteral("Failed")) ||
         t.startsWith(QStringLiteral("Not found")) || t.startsWith(QStringLiteral("Not enough")) ||
         t.contains(QStringLiteral("rror"));
}

// A stage's lines: from its head line up to the next line that opens a step.
QStringList Section(const QStringList& lines, const QString& head) {
  const auto start = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(head); });
  if (start == lines.end()) return {};
  auto end = std::next(start);
  while (end != lines.end() && !end->startsWith(QStringLiteral("  > "))) ++end;
  return QStringList(start, end);
}

// The names listed after "Created files:", one per line, indented by ten spaces.
QStringList CreatedNames(const QStringList& section) {
  QStringList names;
  const auto at = std::find(section.begin(), section.end(), CreatedFiles);
  for (auto it = at == section.end() ? at : std::next(at); it != section.end(); ++it) {
    if (!it->startsWith(QStringLiteral("          ")) || it->trimmed().isEmpty()) break;
    names << it->trimmed();
  }
  return names;
}

// The engine's message about a file it could not work with, which it writes outside the stage's
// lines (to standard error): the text after the message's first line.
QStringList ErrorMessages(const QStringList& lines) {
  QStringList messages;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (!lines[i].contains(ErrorBox)) continue;
    qsizetype j = i + 1;
    while (j < lines.size() && lines[j].trimmed().isEmpty()) ++j;
    if (j < lines.size()) messages << lines[j].trimmed();
  }
  return messages;
}

}  // namespace

QStringList RequestedMods(const QStringList& arguments) {
  QStringList mods;
  for (const RModStage& stage : Stages) {
    const QString key = QString::fromLatin1(stage.Key);
    if (std::any_of(arguments.begin(), arguments.end(), [&](const QString& a) { return a.startsWith(key); }))
      mods << QString::fromLatin1(stage.Mod);
  }
  return mods;
}

std::vector<RModResult> ReadModResults(const QStringList& arguments, const QString& output, bool success,
                                       const QString& runReason) {
  std::vector<RModResult> results;
  const QStringList requested = RequestedMods(arguments);
  QString text = output;
  text.remove(u'\r');
  const QStringList lines = text.split(u'\n');
  const QStringList messages = ErrorMessages(lines);
  const QStringList packing = Section(lines, PackingHead);
  for (const RModStage& stage : Stages) {
    if (!requested.contains(QString::fromLatin1(stage.Mod))) continue;
    RModResult mod;
    mod.Mod = QString::fromLatin1(stage.Mod);
    if (output.trimmed().isEmpty()) {
      mod.Outcome = success ? TModOutcome::Built : TModOutcome::Failed;
      mod.Reason = success ? QString() : runReason;
      results.push_back(mod);
      continue;
    }
    const QStringList section = Section(lines, QString::fromLatin1(stage.Head));
    // A failure line and the indented lines under it, which carry the system's reason.
    QStringList failures;
    bool underFailure = false;
    for (const QString& line : section.mid(1)) {
      if (IsFailureLine(line)) {
        failures << line.trimmed();
        underFailure = true;
      } else if (underFailure && line.startsWith(QStringLiteral("          ")) && !line.trimmed().isEmpty()) {
        failures << line.trimmed();
      } else {
        underFailure = false;
      }
    }
    if (section.isEmpty()) {
      mod.Outcome = TModOutcome::Skipped;
      mod.Reason = runReason;
    } else if (!failures.isEmpty()) {
      mod.Outcome = TModOutcome::Failed;
      // The engine's message about the file names the cause ("No space left on device").
      mod.Reason = (failures + messages).join(u'\n');
    } else if (!section.contains(CreatedFiles) && packing.isEmpty() && !success &&
               !arguments.contains(QStringLiteral("--without-wotmod"))) {
      // The stage began but the run ended before its package was written.
      mod.Outcome = TModOutcome::Failed;
      mod.Reason = runReason;
    } else {
      mod.Outcome = TModOutcome::Built;
    }
    for (const QString& name : CreatedNames(section)) mod.Packages.push_back({QString(), name, 0});
    results.push_back(mod);
  }
  // One package of everything: it belongs to the first mod built; a failed packing fails them all.
  if (!packing.isEmpty()) {
    const QStringList names = CreatedNames(packing);
    const auto built = std::find_if(results.begin(), results.end(),
                                    [](const RModResult& m) { return m.Outcome == TModOutcome::Built; });
    if (names.isEmpty()) {
      QStringList failures;
      for (const QString& line : packing)
        if (IsFailureLine(line)) failures << line.trimmed();
      for (RModResult& m : results) {
        if (m.Outcome != TModOutcome::Built) continue;
        m.Outcome = TModOutcome::Failed;
        m.Reason = failures.join(u'\n');
      }
    } else if (built != results.end()) {
      for (const QString& name : names) built->Packages.push_back({QString(), name, 0});
    }
  }
  return results;
}

void LocatePackages(std::vector<RModResult>& mods, const QString& destination, const QDateTime& since,
                    const QString& packageExtension) {
  if (destination.isEmpty()) return;
  QStringList folders{QDir::cleanPath(destination)};
  for (const QFileInfo& sub : QDir(destination).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    folders << sub.absoluteFilePath();
  const auto withSeparator = [](const QString& folder) { return QDir::toNativeSeparators(folder + u'/'); };
  bool anyNamed = false;
  for (RModResult& mod : mods) {
    for (RPackageWritten& package : mod.Packages) {
      anyNamed = true;
      for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(package.Name));
        if (!file.isFile()) continue;
        package.Folder = withSeparator(folder);
        package.Size = file.size();
        break;
      }
    }
  }
  if (anyNamed) return;
  // Nothing named (the engine wrote into a console of its own): what the destination gained
  // during the run. A package's name says its mod, so copies running side by side each get their
  // own; a package named for no mod (one for all, a name of the player's) goes to the first mod built.
  static const std::pair<const char*, const char*> kinds[] = {
      {"mod.AshtintCreator.TankCrashTextures_", "DPT"}, {"mod.AshtintCreator.TrackCrashTextures_", "CCT"},
      {"mod.AshtintCreator.TankMapTextures_", "MEM"},   {"mod.AshtintCreator.TrainMapTextures_", "CTM"},
      {"mod.AshtintCreator.SpaceBinPatched_", "SpaceBin"}, {"mod.AshtintCreator.Camouflages_", "CAMO"}};
  const auto built =
      std::find_if(mods.begin(), mods.end(), [](const RModResult& m) { return m.Outcome == TModOutcome::Built; });
  if (built == mods.end()) return;
  for (const QString& folder : folders) {
    const QFileInfoList files =
        QDir(folder).entryInfoList({u'*' + packageExtension}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
      if (file.lastModified() < since) continue;
      RModResult* owner = &*built;
      for (const auto& [prefix, mod] : kinds) {
        if (!file.fileName().startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) continue;
        const auto it = std::find_if(mods.begin(), mods.end(), [mod = mod](const RModResult& m) {
          return m.Mod == QLatin1String(mod) && m.Outcome == TModOutcome::Built;
        });
        owner = it == mods.end() ? nullptr : &*it;  // another run's mod: not this run's package
        break;
      }
      if (owner != nullptr) owner->Packages.push_back({withSeparator(folder), file.fileName(), file.size()});
    }
  }
}

TRunResults::TRunResults(QString destination, QString packageExtension, QObject* parent)
    : QObject(parent), destination_(std::move(destination)), extension_(std::move(packageExtension)) {}

int TRunResults::Begin(const QStringList& arguments) {
  REngineRun run;
  run.Arguments = arguments;
  // File times have whole seconds on some file systems: a package of this second counts.
  run.Started = QDateTime::currentDateTime().addSecs(-1);
  runs_.push_back(run);
  return static_cast<int>(runs_.size()) - 1;
}

void TRunResults::StartFailed(int index, const QString& reason) {
  REngineRun& run = runs_.at(static_cast<std::size_t>(index));
  run.Ended = true;
  run.StartFailed = true;
  run.Finished = QDateTime::currentDateTime();
  run.Reason = reason;
  run.Mods = ReadModResults(run.Arguments, QString(), false, reason);
  emit RunEnded(index);
  if (AllEnded()) emit AllRunsEnded();
}

void TRunResults::MarkStopped(int index) { runs_.at(static_cast<std::size_t>(index)).Stopped = true; }

void TRunResults::Finish(int index, int exitStatus, bool crashed, const QString& output) {
  REngineRun& run = runs_.at(static_cast<std::size_t>(index));
  if (run.Ended) return;
  run.Ended = true;
  run.Finished = QDateTime::currentDateTime();
  run.Crashed = crashed;
  run.Output = output;
  run.ExitCode = crashed ? -1 : FromProcessExitStatus(exitStatus);
  const bool success = !crashed && run.ExitCode == 0 && !run.Stopped;
  if (run.Stopped) {
    run.Reason = QStringLiteral("Stopped");
  } else if (crashed) {
    run.Reason = QStringLiteral("Ended by signal %1").arg(exitStatus);
  } else if (run.ExitCode != 0) {
    const QString text = QString::fromStdString(ExitCodeText(run.ExitCode));
    run.Reason = text.isEmpty() ? QStringLiteral("Exit code %1").arg(run.ExitCode)
                                : text + QStringLiteral(" (%1)").arg(run.ExitCode);
  }
  run.Mods = ReadModResults(run.Arguments, output, success, run.Reason);
  LocatePackages(run.Mods, destination_, run.Started, extension_);
  emit RunEnded(index);
  if (AllEnded()) emit AllRunsEnded();
}

bool TRunResults::AllEnded() const {
  return std::all_of(runs_.begin(), runs_.end(), [](const REngineRun& r) { return r.Ended; });
}

bool TRunResults::AnyFailed() const {
  return std::any_of(runs_.begin(), runs_.end(), [](const REngineRun& r) {
    return r.StartFailed || r.Crashed || r.Stopped || r.ExitCode != 0;
  });
}

std::vector<RModResult> TRunResults::Mods() const {
  std::vector<RModResult> all;
  for (const REngineRun& run : runs_) all.insert(all.end(), run.Mods.begin(), run.Mods.end());
  const auto order = [](const RModResult& m) {
    for (std::size_t i = 0; i < Stages.size(); ++i)
      if (m.Mod == QLatin1String(Stages[i].Mod)) return i;
    return Stages.size();
  };
  std::stable_sort(all.begin(), all.end(), [&](const RModResult& a, const RModResult& b) { return order(a) < order(b); });
  return all;
}

}  // namespace ashtint
