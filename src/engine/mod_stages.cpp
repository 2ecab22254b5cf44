#include "engine/mod_stages.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "common/build_config.h"
#include "common/exceptions.h"
#include "common/exit_codes.h"
#include "common/file_system.h"
#include "common/interrupt_cleanup.h"
#include "common/text.h"
#include "engine/console.h"
#include "engine/engine_run.h"
#include "engine/system_facts.h"
#include "mods/space_bin_patch.h"
#include "mods/texture_workers.h"
#include "mods/visual_crash_workers.h"
#include "mods/wotmod_writer.h"
#include "platform/console.h"
#include "textures/dds_creator.h"

namespace ashtint {

namespace fs = std::filesystem;

const TStageDef (&StageTable())[6] {
  static const TStageDef table[6] = {
      {"DPT", &RRunOptions::DPTMod, "CrashTanks.cfg", &RWOTInfo::VehiclePkgs, "ThVisualCrashTanks", 600, 50,
       pkTankCrash, 35, "Not found visual-files!", false, ecCrashTanksCfg, StageExitCode(1, StageErrorWorker),
       StageExitCode(1, StageErrorNoFiles), StageExitCode(1, StageErrorPacking),
       "  > Creating monochromatic textures for crashed tanks", "Creating DPT-mod..."},
      {"CCT", &RRunOptions::CCTMod, "CrashTanks.cfg", &RWOTInfo::VehiclePkgs, "ThVisualCrashTracks", 600, 16,
       pkTrackCrash, 35, "Not found visual-files!", false, ecCrashTanksCfg, StageExitCode(2, StageErrorWorker),
       StageExitCode(2, StageErrorNoFiles), StageExitCode(2, StageErrorPacking),
       "  > Creating monochromatic textures for crashed tracks", "Creating CCT-mod..."},
      {"MEM", &RRunOptions::MEMMod, "MapTanks.cfg", &RWOTInfo::MapPkgsWithHD, "ThDDSRepaint", 1024, 12, pkTankMap,
       40, "Not found dds-files!", false, ecMapTanksCfg, StageExitCode(3, StageErrorWorker),
       StageExitCode(3, StageErrorNoFiles), StageExitCode(3, StageErrorPacking),
       "  > Creating monochromatic textures for tanks on the maps", "Creating MEM-mod..."},
      {"CTM", &RRunOptions::CTMMod, "MapTrains.cfg", &RWOTInfo::MapPkgsWithHD, "ThDDSRepaint", 1024, 13, pkTrainMap,
       40, "Not found dds-files!", false, ecMapTrainsCfg, StageExitCode(4, StageErrorWorker),
       StageExitCode(4, StageErrorNoFiles), StageExitCode(4, StageErrorPacking),
       "  > Creating monochromatic textures for carriages and trains on the maps", "Creating CTM-mod..."},
      {"SpaceBin", &RRunOptions::SpaceBinMod, nullptr, &RWOTInfo::MapPkgs, "ThSpaceBinPatch", 2097152, 3584,
       pkSpaceBin, 40, "Not found space.bin files!", true, 0, StageExitCode(5, StageErrorWorker),
       StageExitCode(5, StageErrorNoFiles), StageExitCode(5, StageErrorPacking),
       "  > Creating a patched space.bin files for the maps", "Creating SpaceBin-mod..."},
      {"CAMO", &RRunOptions::CAMOMod, "Camouflage.cfg", &RWOTInfo::VehiclePkgsWithHD, "ThCamoRepaint", 1024, 700,
       pkCamouflages, 40, "Not found dds-files!", false, ecCamouflageCfg, StageExitCode(6, StageErrorWorker),
       StageExitCode(6, StageErrorNoFiles), StageExitCode(6, StageErrorPacking),
       "  > Creating translucent camouflages for tanks", "Creating Camo-mod..."},
  };
  return table;
}

std::string FilesWord(std::int64_t count) {
  if (count < 1) return "OK";
  if (count == 1) return "OK (1 file)";
  return "OK (" + std::to_string(count) + " files)";
}

std::unique_ptr<ThPkgScan> MakeStageWorker(const TStageDef& stage, const std::string& pkgFile, const TLogProc& log,
                                           const std::string& workFolder, const RWOTInfo& client,
                                           const RRunOptions& options, const RCfgFile& cfg,
                                           const RCfgFile& tankCfg, const RCfgFile& trainCfg) {
  const std::string& dir = client.ClientDir;
  switch (stage.Kind) {
    case pkTankCrash: {
      auto w = std::make_unique<ThVisualCrashTanks>(pkgFile, log, workFolder, dir);
      w->SetSigns(cfg.Roots, stage.MinSize);
      w->RemoveShadows = options.RemoveShadows;
      return w;
    }
    case pkTrackCrash: {
      auto w = std::make_unique<ThVisualCrashTracks>(pkgFile, log, workFolder, dir);
      w->SetSigns(cfg.Roots, stage.MinSize);
      return w;
    }
    case pkTankMap:
    case pkTrainMap: {
      auto w = std::make_unique<ThDDSRepaint>(pkgFile, log, workFolder, dir);
      w->SetFiles(cfg.Roots, stage.Kind == pkTankMap ? options.MEMColor : options.CTMColor, stage.MinSize);
      w->AddAlpha = true;
      w->WithHD = !options.WithoutHD;
      return w;
    }
    case pkSpaceBin: {
      auto w = std::make_unique<ThSpaceBinPatch>(pkgFile, log, workFolder, dir);
      const int build = build::ProgramBuildNumber;
      if (!options.TankMapColor.empty() && IsCfgUsable(tankCfg, build))
        w->SetFiles(tankCfg.Roots, options.TankMapColor, stage.MinSize);
      if (!options.TrainMapColor.empty() && IsCfgUsable(trainCfg, build))
        w->SetFiles(trainCfg.Roots, options.TrainMapColor, stage.MinSize);
      w->AddAlpha = true;
      return w;
    }
    case pkCamouflages: {
      auto w = std::make_unique<ThCamoRepaint>(pkgFile, log, workFolder, dir);
      w->SetSigns(cfg.Roots, stage.MinSize);
      w->Visibility = options.CamoVisibility;
      w->DownsizingRatio = options.DownsizingRatio;
      w->WithHD = !options.WithoutHD;
      return w;
    }
    case pkAllMods:
      break;
  }
  throw Exception(std::string("No worker for the stage ") + stage.Name);
}

namespace {

// A parsed configuration file; one that exists but cannot be read counts as unusable.
RCfgFile ReadCfgOrEmpty(const std::string& fileName) {
  RCfgFile cfg;
  try {
    ReadCfgFile(fileName, cfg);
  } catch (const std::exception&) {
    cfg = RCfgFile{};
    cfg.FileName = fileName;
  }
  return cfg;
}

// The package root: the temporary folder without its last component.
std::string ParentFolder(const std::string& folder) {
  std::string f = folder;
  while (!f.empty() && IsPathDelimiter(f.back())) f.pop_back();
  return ExtractFilePath(f);
}

// On a terminal, a count of the finished packages while the workers run long; it is cleared
// before any other output, and never shown when the output goes to a file or a pipe.
class TLiveCount {
 public:
  explicit TLiveCount(std::size_t total)
      : total_(total), enabled_(!ConsoleSilent() && StdoutIsTerminal()), start_(std::chrono::steady_clock::now()) {}
  ~TLiveCount() { Clear(); }
  // Redraws at most four times a second, once the stage has run a second.
  void Show(std::size_t done) {
    const auto now = std::chrono::steady_clock::now();
    if (!enabled_ || now - start_ < std::chrono::seconds(1)) return;
    if (shown_ != 0 && done == lastDone_ && now - lastShown_ < std::chrono::milliseconds(250)) return;
    lastShown_ = now;
    lastDone_ = done;
    char line[96];
    std::snprintf(line, sizeof line, "\r          %zu of %zu packages done", done, total_);
    ConsoleWrite(line);
    shown_ = std::string(line).size();
  }
  void Clear() {
    if (shown_ == 0) return;
    std::string blank(shown_ + 1, ' ');
    blank.front() = '\r';
    blank.back() = '\r';
    ConsoleWrite(blank);
    shown_ = 0;
  }

 private:
  std::size_t total_;
  bool enabled_;
  std::chrono::steady_clock::time_point start_, lastShown_;
  std::size_t shown_ = 0;
  std::size_t lastDone_ = 0;
};

}  // namespace

void TEngineRun::RunStages() {
  for (const TStageDef& stage : StageTable()) {
    if (!(Options.*(stage.Enabled))) continue;
    try {
      RunStage(stage);
    } catch (const TRunEndSignal&) {
      throw;
    } catch (...) {
      // Packages are built per stage: what this stage left in the temporary folder goes.
      if (!Options.WithoutWotmod && !Options.AllInOneWotmod) DeleteFolderTree(ParentFolder(TempFolder));
      content_.reset();
      throw;
    }
  }
}

void TEngineRun::RunStage(const TStageDef& stage) {
  ConsoleWriteLn(stage.HeadLine);
  Log(stage.LogLine);
  const bool spaceBin = stage.Kind == pkSpaceBin;
  RCfgFile cfg, tankCfg, trainCfg;
  if (spaceBin) {
    ConsoleWriteLn("    Processing... ");
    // Both files are read once for the whole stage: every worker gets the same rules.
    if (!Options.TankMapColor.empty()) tankCfg = ReadCfgOrEmpty(Options.ConfigsPath + "MapTanks.cfg");
    if (!Options.TrainMapColor.empty()) trainCfg = ReadCfgOrEmpty(Options.ConfigsPath + "MapTrains.cfg");
  } else {
    cfg = ReadCfgOrEmpty(Options.ConfigsPath + stage.CfgFile);
    char line[64];
    std::snprintf(line, sizeof line, "Parse Config File (Version: %d, CfgFile.Roots: %zu, File: ", cfg.ConfigVersion,
                  cfg.Roots.size());
    Log(line + cfg.FileName + ")");
    if (!IsCfgUsable(cfg, build::ProgramBuildNumber)) {
      StoreError(stage.CfgCode);
      Log("Not found cfg-file!");
      ConsoleWriteLn("    Not found cfg-file!");
      ConsoleWriteLn("");
      return;
    }
  }

  if (!modsFolderChecked_) {
    // A folder nothing can be written into (one under /proc, a read-only mount) would otherwise
    // show up as a lack of space, or as failures of every package.
    if (const std::string problem = FolderWriteProblem(Options.ModsPath); !problem.empty()) {
      Log("Mods folder not usable: " + problem);
      FatalExit("    The mods folder cannot be written: " + problem, ecNoFreeSpace);
    }
    modsFolderChecked_ = true;
  }
  if (!CheckFreeSpace(Options.ModsPath, Options.WithoutWotmod ? std::string() : TempFolder,
                      stage.RequiredMiB * 1048576ull)) {
    Log("Not enough free disk space!");
    FatalExit("    Not enough free disk space!", ecNoFreeSpace);
  }
  if (stage.Kind == pkTankCrash || stage.Kind == pkTrackCrash)
    ConsoleWriteLn("    Processing:");
  else if (!spaceBin)
    ConsoleWriteLn("    Processing... ");
  WorkFolder = Options.WithoutWotmod ? Options.ModsPath : TempFolder;
  if (!Options.WithoutWotmod && !content_)
    content_ = std::make_unique<TPackageContent>(ParentFolder(TempFolder), PackageContentMemoryLimit);

  // The queue outlives every worker: they are released before it goes.
  TMainThreadQueue queue;
  std::vector<std::unique_ptr<ThPkgScan>> pending, running;
  const SArray& packages = ClientInfo.*(stage.Packages);
  for (auto it = packages.rbegin(); it != packages.rend(); ++it) {
    if (!FileExists(*it)) continue;
    pending.push_back(MakeStageWorker(stage, *it, LogProc(), WorkFolder, ClientInfo, Options, cfg, tankCfg, trainCfg));
    pending.back()->Content = content_.get();
    char line[96];
    std::snprintf(line, sizeof line, "Create %s (No: %zu, FileName: ", stage.WorkerClass, pending.size());
    Log(line + *it + ")");
    if (Options.TestMode) break;
  }
  if (!pending.empty()) {
    Log("Created threads: " + std::to_string(pending.size()));
    RunWorkers(stage, queue, pending, running);
  }

  std::lock_guard writing(OutputWriteMutex());  // fixed textures, packing and clean-up
  if ((stage.Kind == pkTankCrash || stage.Kind == pkTrackCrash) && HasOutput(WorkFolder)) {
    Log("Creating DDS...");
    const std::string vehicles = WorkFolder + "vehicles" + PathDelim;
    const auto colorTexture = [this](const std::string& file, const std::string& color) {
      TBytesArray bytes;
      if (content_) {
        if (CreateColorDDS(bytes, 16, 16, color)) content_->Save(std::move(bytes), file);
      } else {
        CreateColorDDSFile(file, 16, 16, color);
      }
    };
    if (!content_) {
      std::error_code ec;
      fs::create_directories(fs::path(vehicles), ec);
    }
    if (stage.Kind == pkTankCrash) {
      colorTexture(vehicles + "tank_crash.dds", Options.DPTColor);
      colorTexture(vehicles + "inside_crash.dds", Options.InsideColor);
    } else {
      colorTexture(vehicles + "track_crash.dds", Options.CCTColor);
    }
    Log("DDS created");
  }

  if (!Options.WithoutWotmod && !Options.AllInOneWotmod) {
    ConsoleWrite("    Files packing... ");
    if (!HasOutput(WorkFolder)) {
      StoreError(stage.EmptyCode);
      Log(stage.EmptyWord);
      ConsoleWriteLn(stage.EmptyWord);
    } else {
      WorkFolder = ParentFolder(TempFolder);
      PackFolder(stage.Kind, WorkFolder, stage.LogToWriter, stage.PackingCode);
    }
    ConsoleWrite("    Delete temporary files... ");
    if (content_) content_->Clear();
    DeleteFolderTree(WorkFolder);
    // After an empty result only res/ went: its parent, now empty, goes too.
    std::error_code ec;
    fs::remove(fs::path(ParentFolder(TempFolder)), ec);
    ConsoleWriteLn("OK");
  }
  ConsoleWriteLn("");
}

void TEngineRun::RunWorkers(const TStageDef& stage, TMainThreadQueue& queue,
                            std::vector<std::unique_ptr<ThPkgScan>>& pending,
                            std::vector<std::unique_ptr<ThPkgScan>>& running) {
  const std::size_t total = pending.size();
  std::size_t done = 0;
  TLiveCount live(total);
  const auto cpu = static_cast<std::size_t>(std::max(Options.CPUCount, 1));
  while (!pending.empty() || !running.empty()) {
    const auto seen = queue.Events();
    for (std::size_t i = running.size(); i-- > 0;) {
      if (running[i]->Finished()) {
        live.Clear();
        ReportWorker(stage, *running[i]);
        running[i].reset();  // joins the thread and delivers its log lines
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
        ++done;
      }
      std::lock_guard writing(OutputWriteMutex());
      queue.Serve();
    }
    while (!pending.empty() && running.size() < cpu) {
      running.push_back(std::move(pending.back()));
      pending.pop_back();
      running.back()->Start(queue);
    }
    if (!running.empty()) {
      live.Show(done);
      // Sleeps until a worker queues a call or ends; wakes once a second to refresh the count.
      queue.WaitForEvent(seen, 1000);
    }
  }
}

void TEngineRun::ReportWorker(const TStageDef& stage, ThPkgScan& worker) {
  const std::string name = ExtractFileName(worker.PkgFile);
  const std::size_t width = static_cast<std::size_t>(stage.NameColumn);
  ConsoleWrite(std::string(10, ' ') + name + std::string(name.size() < width ? width - name.size() : 0, ' '));
  if (!worker.ErrorText.empty()) {
    StoreError(stage.WorkerCode);
    Log(worker.ErrorText);
    if (!Options.SilentMode) {
      // Windows shows the box and waits; on Linux the text goes to standard error and the run goes on.
      ShowMessageBox("AshtintCreator2",
                     "An error occurred while working with one of the files!\r\n\r\n" + worker.ErrorText,
                     TMessageIcon::Error);
    }
    ConsoleWriteLn("Failed!");
  } else {
    ConsoleWriteLn(FilesWord(worker.FilesWritten));
  }
}

bool TEngineRun::HasOutput(const std::string& folder) const {
  return (content_ && !content_->Empty()) || !IsFolderEmpty(folder);
}

bool TEngineRun::PackFolder(TPackageKind kind, const std::string& root, bool logToWriter, int failCode) {
  const std::string version = PackageVersion(RunStamp);
  bool ok = true;
  std::string failure;
  try {
    std::error_code ec;
    fs::create_directories(fs::path(root), ec);  // the workers' files may all be in memory
    Log("Creating Meta.xml...");
    WriteDescriptorFile(root + "meta.xml", MetaXmlText(kind, version, packageKeys_.Metas[kind]));
    Log("Meta.xml created");
    Log("Creating Properties.xml...");
    WriteDescriptorFile(root + "properties.xml", PropertiesXmlText(kind, Options, ClientInfo));
    Log("Properties.xml created");
  } catch (const std::exception& e) {
    Log("Descriptor not written: " + DescribeException(e));
    failure = e.what();
    ok = false;
  }
  const std::string file = Options.ModsPath + PackageFileName(kind, version, Options, packageKeys_, ClientInfo.PackageExt);
  if (ok) {
    Log("Packing wotmod-file: " + file);
    ok = CreateWotmod(file, root, Options.SevenZipDllFile, logToWriter ? LogProc() : TLogProc{}, WotmodBatchSize,
                      content_.get(), &failure);
  }
  if (ok) {
    ConsoleWriteLn("OK");
    ConsoleWriteLn("    Created files:");
    ConsoleWriteLn(std::string(10, ' ') + ExtractFileName(file));
    Log("Packaging is complete");
  } else {
    StoreError(failCode);
    // The cause goes with the word: a full disk or a refused folder is the player's to mend.
    Log("Failed to create wotmod-file! " + failure);
    ConsoleWriteLn("Failed to create wotmod-file!");
    ConsoleWriteLn("          " + failure);
  }
  return ok;
}

}  // namespace ashtint
