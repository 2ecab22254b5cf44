// Runs each mod's package workers over a generated client the way a stage does (at most --cpu
// workers at once, their writes and recolourings served on this thread) and compares the wall
// time with `7z t` over the same packages, run as many at once. Also reports the share of the
// wall time this thread spent serving the workers' calls (recolouring, encoding, saving).
//
//   bench_pipeline --client DIR [--cpu N] [--mods DPT,CCT,...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/module_loader.h"
#include "client/wot_info.h"
#include "config/cfg_file.h"
#include "mods/space_bin_patch.h"
#include "mods/texture_workers.h"
#include "mods/visual_crash_workers.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Quote(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

ARFiles Rules(const std::string& folder, const char* name) {
  RCfgFile cfg;
  ReadCfgFile(folder + name, cfg);
  return cfg.Roots;
}

struct Mod {
  const char* name;
  SArray RWOTInfo::*packages;
};

std::unique_ptr<ThPkgScan> MakeWorker(const std::string& mod, const std::string& pkg, const std::string& out,
                                      const std::string& cfgs) {
  if (mod == "DPT") {
    auto w = std::make_unique<ThVisualCrashTanks>(pkg, TLogProc{}, out, "");
    w->SetSigns(Rules(cfgs, "CrashTanks.cfg"), 600);
    return w;
  }
  if (mod == "CCT") {
    auto w = std::make_unique<ThVisualCrashTracks>(pkg, TLogProc{}, out, "");
    w->SetSigns(Rules(cfgs, "CrashTanks.cfg"), 600);
    return w;
  }
  if (mod == "MEM" || mod == "CTM") {
    auto w = std::make_unique<ThDDSRepaint>(pkg, TLogProc{}, out, "");
    w->SetFiles(Rules(cfgs, mod == "MEM" ? "MapTanks.cfg" : "MapTrains.cfg"), "#DD7744", 1024);
    w->AddAlpha = true;
    return w;
  }
  if (mod == "SpaceBin") {
    auto w = std::make_unique<ThSpaceBinPatch>(pkg, TLogProc{}, out, "");
    w->SetFiles(Rules(cfgs, "MapTanks.cfg"), "#DD7744", 2097152);
    w->SetFiles(Rules(cfgs, "MapTrains.cfg"), "#2050A0", 2097152);
    w->AddAlpha = true;
    return w;
  }
  auto w = std::make_unique<ThCamoRepaint>(pkg, TLogProc{}, out, "");
  w->SetSigns(Rules(cfgs, "Camouflage.cfg"), 1024);
  w->Visibility = 30;
  return w;
}

// The stage's schedule: start up to cpu workers, serve their calls, start more as they end.
void RunWorkers(std::vector<std::unique_ptr<ThPkgScan>> pending, int cpu, Clock::duration& serving, int& errors) {
  TMainThreadQueue queue;
  std::reverse(pending.begin(), pending.end());
  std::vector<std::unique_ptr<ThPkgScan>> running;
  while (!pending.empty() || !running.empty()) {
    const auto seen = queue.Events();
    for (std::size_t i = running.size(); i-- > 0;) {
      if (running[i]->Finished()) {
        errors += !running[i]->ErrorText.empty();
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    const auto start = Clock::now();
    queue.Serve();
    serving += Clock::now() - start;
    while (!pending.empty() && static_cast<int>(running.size()) < cpu) {
      running.push_back(std::move(pending.back()));
      pending.pop_back();
      running.back()->Start(queue);
    }
    if (!running.empty()) queue.WaitForEvent(seen);
  }
}

double SevenZipTest(const SArray& packages, int cpu) {
  std::string list;
  for (const auto& p : packages) list += Quote(p) + " ";
  const std::string cmd = "printf '%s\\0' " + list + "| xargs -0 -n 1 -P " + std::to_string(cpu) + " 7z t -bso0 -bsp0";
  const auto start = Clock::now();
  if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "7z t failed\n");
  return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  std::string client, mods = "DPT,CCT,MEM,CTM,SpaceBin,CAMO";
  int cpu = 2;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--client") client = argv[i + 1];
    else if (a == "--cpu") cpu = std::atoi(argv[i + 1]);
    else if (a == "--mods") mods = argv[i + 1];
  }
  if (client.empty()) {
    std::fprintf(stderr, "usage: bench_pipeline --client DIR [--cpu N] [--mods DPT,CCT,...]\n");
    return 2;
  }
  RWOTInfo info;
  ReadWOTInfo(client, info);
  if (info.Pkgs.empty()) {
    std::fprintf(stderr, "not a client: %s\n", client.c_str());
    return 2;
  }
  SetArchiveLibraryPath(DefaultSevenZipLibraryPath());
  const std::string cfgs = std::string(ASHTINT_SOURCE_DIR) + "/configs/";
  const Mod table[] = {{"DPT", &RWOTInfo::VehiclePkgs},   {"CCT", &RWOTInfo::VehiclePkgs},
                       {"MEM", &RWOTInfo::MapPkgsWithHD}, {"CTM", &RWOTInfo::MapPkgsWithHD},
                       {"SpaceBin", &RWOTInfo::MapPkgs},  {"CAMO", &RWOTInfo::VehiclePkgsWithHD}};

  std::printf("%-9s %5s %9s %9s %9s %7s %9s %7s\n", "mod", "pkgs", "MiB", "7z t s", "workers s", "ratio", "serving",
              "files");
  for (const Mod& m : table) {
    if (("," + mods + ",").find(std::string(",") + m.name + ",") == std::string::npos) continue;
    const SArray& pkgs = info.*(m.packages);
    std::uintmax_t bytes = 0;
    for (const auto& p : pkgs) bytes += fs::file_size(p);
    SevenZipTest(pkgs, cpu);  // once to have the files in the page cache for both
    const double sevenZip = SevenZipTest(pkgs, cpu);

    const std::string out = (fs::temp_directory_path() / ("ashtint_bench_" + std::string(m.name))).string() + "/";
    fs::remove_all(out);
    std::vector<std::unique_ptr<ThPkgScan>> workers;
    for (const auto& p : pkgs) workers.push_back(MakeWorker(m.name, p, out, cfgs));
    Clock::duration serving{};
    int errors = 0;
    const auto start = Clock::now();
    RunWorkers(std::move(workers), cpu, serving, errors);
    const double wall = Seconds(Clock::now() - start);
    std::size_t files = 0;
    for (auto it = fs::recursive_directory_iterator(out); it != fs::recursive_directory_iterator(); ++it)
      files += it->is_regular_file();
    fs::remove_all(out);
    std::printf("%-9s %5zu %9.0f %9.2f %9.2f %7.2f %8.0f%% %7zu%s\n", m.name, pkgs.size(), bytes / 1048576.0,
                sevenZip, wall, wall / sevenZip, 100.0 * Seconds(serving) / wall, files,
                errors ? "  (worker errors!)" : "");
    std::fflush(stdout);
  }
  return 0;
}
