// One run of the engine, top to bottom on the main thread: banner, keys, log, client
// examination, run options, stages, closing stages, exit code.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "client/wot_info.h"
#include "common/arrays.h"
#include "engine/command_line_reader.h"
#include "engine/log.h"
#include "engine/package_descriptors.h"
#include "engine/run_options.h"
#include "engine/run_registry.h"
#include "engine/state_folders.h"
#include "common/interrupt_cleanup.h"
#include "common/main_thread_queue.h"
#include "mods/package_content.h"
#include "mods/pkg_scan.h"

namespace ashtint {

struct TStageDef;

// Thrown to end the run from any depth; Run() turns it into the exit code.
struct TRunEndSignal {
  int code;
};

class TEngineRun {
 public:
  // programFolder: the folder of the engine's executable, ending with the separator.
  explicit TEngineRun(std::string programFolder);
  ~TEngineRun();

  // The whole run; returns the exit code (0 or 16001..16092, or one of the codes outside the
  // table). hasArguments is false when the process got no argument at all.
  int Run(bool hasArguments);

  // State that later stages read.
  RRunOptions Options;
  std::string RunStamp;
  RWOTInfo ClientInfo;
  std::string TempFolder;
  std::string WorkFolder;
  TStrArray OldWotmods;
  int StoredExitCode = 0;

  // Stores a stage error: only the first one counts, and the console then stays open.
  void StoreError(int code);
  void Log(const std::string& text);
  TLogProc LogProc() { return LogProcOf(log_.get()); }

 private:
  int Main(bool hasArguments);
  void Interactive();
  void OpenLog();
  void ResolveConfigsPath();
  // The default configuration folder, seeded from the installed copies when it is the user's.
  std::string DefaultConfigsFolder();
  void RefreshConfigs();
  void ExamineClient();
  void ResolveStageKeys();
  void ResolveSevenZipLibrary();
  void ResolveCpuAndTemp();
  void RunStages();
  void RunStage(const TStageDef& stage);
  void RunWorkers(const TStageDef& stage, TMainThreadQueue& queue, std::vector<std::unique_ptr<ThPkgScan>>& pending,
                  std::vector<std::unique_ptr<ThPkgScan>>& running);
  void ReportWorker(const TStageDef& stage, ThPkgScan& worker);
  // Writes the descriptors into root and packs it into the kind's package; reports the result.
  bool PackFolder(TPackageKind kind, const std::string& root, bool logToWriter, int failCode);
  void AllInOneStage();
  void RemovalStage();
  // Temporary folders and packages that ended runs left behind; the list of old packages.
  void CleanUpAfterEndedRuns();
  [[noreturn]] void FatalExit(const std::string& word, int code);
  [[noreturn]] void ExitWithCode(int code);

  std::string programFolder_;
  TCommandLineReader reader_;
  std::unique_ptr<TLog> log_;
  RPackageKeys packageKeys_;
  std::unique_ptr<TCleanupEntry> tempCleanup_;
  // The files of the package being built, held in memory (none with --without-wotmod).
  std::unique_ptr<TPackageContent> content_;
  bool HasOutput(const std::string& folder) const;
  RStateFolders state_;
  std::unique_ptr<TRunRegistry> registry_;
  std::filesystem::file_time_type runStart_{};
  std::string configsProblem_;  // why the user's configuration folder could not be made
  bool modsFolderChecked_ = false;  // what is written after this belongs to a live run
};

// The engine's banner lines, also used by tests.
std::string BannerVersionLine();

}  // namespace ashtint
