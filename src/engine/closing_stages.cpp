// The stages after the six mods: one package of everything, and the removal of old packages.
#include <filesystem>

#include "common/exit_codes.h"
#include "common/interrupt_cleanup.h"
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

void TEngineRun::RemovalStage() {
  ConsoleWrite("  > Delete old wotmod-files... ");
  if (!OldWotmods.empty()) {
    Log("Delete old wotmod-file:");
    for (const auto& path : OldWotmods) {
      std::error_code ec;
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
  const std::size_t n = OldWotmods.size();
  if (n == 0)
    ConsoleWriteLn("OK");
  else if (n == 1)
    ConsoleWriteLn("OK (1 file)");
  else
    ConsoleWriteLn("OK (" + std::to_string(n) + " files)");
  ConsoleWriteLn("");
}

}  // namespace ashtint
