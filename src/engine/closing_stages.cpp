// The stages after the six mods: one package of everything, and the removal of old packages.
#include <filesystem>
#include <set>

#include "common/exit_codes.h"
#include "common/interrupt_cleanup.h"
#include "common/own_packages.h"
#include "common/text.h"
#include "engine/console.h"
#include "engine/engine_run.h"
#include "engine/system_facts.h"

namespace ashtint {

namespace fs = std::filesystem;

void TEngineRun::AllInOneStage() {
  std::lock_guard writing(OutputWriteMutex());
  ConsoleWrite("  > Files packing... ");
  Log("Create AllMods...");
  std::string root = TempFolder;
  while (!root.empty() && IsPathDelimiter(root.back())) root.pop_back();
  root = ExtractFilePath(root);  // the run's folder that holds res/
  if (!HasOutput(TempFolder)) {
    StoreError(ecAllInOneEmpty);
    Log("Not found textures!");
    ConsoleWriteLn("Not found textures!");
    ConsoleWriteLn("");
    // Only empty folders the workers may have made: nothing of the user's is lost.
    if (IsFolderEmpty(root)) DeleteFolderTree(root);
    return;
  }
  TempFolder = root;
  PackFolder(pkAllMods, root, true, ecAllInOneFailed);
  ConsoleWrite("    Delete temporary files... ");
  if (content_) content_->Clear();
  DeleteFolderTree(root);
  ConsoleWriteLn("OK");
  ConsoleWriteLn("");
}

namespace {

// A package named with the stamp of a live run (this one included) is that run's work.
bool CarriesStamp(const std::string& path, const std::set<std::string>& stamps) {
  const std::string name = ExtractFileName(path);
  for (const auto& stamp : stamps)
    if (name.find(stamp) != std::string::npos) return true;
  return false;
}

}  // namespace

void TEngineRun::CleanUpAfterEndedRuns() {
  for (const auto& folder : registry_->RemoveDeadRuns()) Log("Deleted temporary folder of an ended run: " + folder);
  OldWotmods.clear();
  if (Options.WithoutWotmod) return;
  TRunRegistry::RLive live = registry_->LiveRuns();
  for (const auto& path : FindStaleTempPackages(Options.ModsPath, live.Tags)) {
    std::error_code ec;
    fs::remove(fs::path(path), ec);
    Log((ec ? "Not deleted temporary file of an ended run " : "Deleted temporary file of an ended run ") + path);
  }
  Options.RemoveWotmod = reader_.KeyFlag("remove-wotmod");
  if (!Options.RemoveWotmod) return;
  Log("Finding wotmods to delete: " + Options.ModsPath);
  live.Stamps.insert(RunStamp);
  for (const auto& path : FindOldWotmods(Options.ModsPath))
    if (!CarriesStamp(path, live.Stamps)) OldWotmods.push_back(path);
  Log("Files found: " + std::to_string(OldWotmods.size()));
}

void TEngineRun::RemovalStage() {
  ConsoleWrite("  > Delete old wotmod-files... ");
  std::size_t n = 0;
  if (!OldWotmods.empty()) {
    Log("Delete old wotmod-file:");
    // Runs that overlap this one keep their packages: those named with the stamp of a run
    // still going, and those written since this run began.
    std::set<std::string> stamps = registry_->LiveRuns().Stamps;
    stamps.insert(RunStamp);
    for (const auto& path : OldWotmods) {
      std::error_code ec;
      const auto written = fs::last_write_time(fs::path(path), ec);
      if (!ec && (written >= runStart_ || CarriesStamp(path, stamps))) {
        Log("Kept " + path + " (written by a run in progress)");
        continue;
      }
      ++n;
      const bool deleted = fs::remove(fs::path(path), ec) && !ec;
      Log((deleted ? "Deleted " : "Not deleted ") + path);
    }
  }
  {
    // Only the folder, and only when it is empty: remove() of a directory never recurses.
    const fs::path sub = fs::path(Options.ModsPath + "AshtintCreator");
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(sub, ec))) fs::remove(sub, ec);
  }
  if (n == 0)
    ConsoleWriteLn("OK");
  else if (n == 1)
    ConsoleWriteLn("OK (1 file)");
  else
    ConsoleWriteLn("OK (" + std::to_string(n) + " files)");
  ConsoleWriteLn("");
}

}  // namespace ashtint
