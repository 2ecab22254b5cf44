// The six mod stages: what each one reads, which worker it runs per package, and what it reports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "client/wot_info.h"
#include "config/cfg_file.h"
#include "engine/package_descriptors.h"
#include "engine/run_options.h"
#include "mods/pkg_scan.h"

namespace ashtint {

struct TStageDef {
  const char* Name;                 // DPT, CCT, MEM, CTM, SpaceBin, CAMO
  bool RRunOptions::*Enabled;
  const char* CfgFile;              // none for SpaceBin, which reads two per worker
  SArray RWOTInfo::*Packages;
  const char* WorkerClass;
  std::uint32_t MinSize;            // items at or below this size are skipped
  std::uint64_t RequiredMiB;        // free space the stage needs
  TPackageKind Kind;
  int NameColumn;                   // width of the package name column of the reports
  const char* EmptyWord;            // the packing line when nothing was found
  bool LogToWriter;                 // the package writer reports to the log
  int CfgCode, WorkerCode, EmptyCode, PackingCode;  // 0: none
  const char* HeadLine;
  const char* LogLine;
};

// In run order: DPT, CCT, MEM, CTM, SpaceBin, CAMO.
const TStageDef (&StageTable())[6];

// A worker for one package of the stage, created but not started, with the stage's rules and
// the run's options. cfg is the stage's parsed file; SpaceBin takes its two files instead.
std::unique_ptr<ThPkgScan> MakeStageWorker(const TStageDef& stage, const std::string& pkgFile, const TLogProc& log,
                                           const std::string& workFolder, const RWOTInfo& client,
                                           const RRunOptions& options, const RCfgFile& cfg,
                                           const RCfgFile& tankCfg, const RCfgFile& trainCfg);

// "OK", "OK (1 file)" or "OK (n files)".
std::string FilesWord(std::int64_t count);

}  // namespace ashtint
