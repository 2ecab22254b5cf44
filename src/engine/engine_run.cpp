#include "engine/engine_run.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/module_loader.h"
#include "archive/seven_zip_plugin.h"
#include "common/file_system.h"
#include "common/interrupt_cleanup.h"
#include "common/build_config.h"
#include "common/color_text.h"
#include "common/exceptions.h"
#include "common/exit_codes.h"
#include "common/file_names.h"
#include "common/own_packages.h"
#include "common/text.h"
#include "config/cfg_refresh.h"
#include "engine/console.h"
#include "engine/key_table.h"
#include "engine/mod_stages.h"
#include "engine/state_folders.h"
#include "engine/system_facts.h"
#include "net/download_file.h"
#include "net/endpoints.h"
#include "net/web_update.h"
#include "platform/console.h"
#include "platform/file_access.h"
#include "platform/guid.h"
#include "platform/module_head.h"
#include "platform/open_document.h"
#include "platform/run_lock.h"
#include "platform/locale.h"

namespace ashtint {

namespace fs = std::filesystem;

namespace {

const char* BoolText(bool b) { return b ? "True" : "False"; }

}  // namespace

std::string BannerVersionLine() {
  char buf[128];
  std::snprintf(buf, sizeof buf, "Ver.%s Build %s %s", build::ProgramVersion, build::ProgramBuild, build::ProgramDate);
  return buf;
}

TEngineRun::TEngineRun(std::string programFolder) : programFolder_(IncludeTrailingPathDelimiter(programFolder)) {
  state_ = ResolveStateFolders(programFolder_, IsFolderWritable(programFolder_), [](const char* name) {
    const char* v = std::getenv(name);
    return std::string(v ? v : "");
  });
  registry_ = std::make_unique<TRunRegistry>(PrivateRunFolder());
}

std::string TEngineRun::DefaultConfigsFolder() {
  configsProblem_.clear();
  if (state_.Portable) return state_.Configs;
  const std::string problem = SeedConfigFiles(state_.InstalledConfigs, state_.Configs);
  if (problem.empty()) return state_.Configs;
  // No copy of the user's own can be made (a home folder that cannot be written): the installed
  // files serve as they are, and only when there are none the user learns why.
  if (HasConfigFiles(state_.InstalledConfigs)) return state_.InstalledConfigs;
  configsProblem_ = problem;
  return state_.Configs;
}

TEngineRun::~TEngineRun() = default;

void TEngineRun::StoreError(int code) {
  if (StoredExitCode == 0) StoredExitCode = code;
  Options.AutoCloseConsole = false;
}

void TEngineRun::Log(const std::string& text) {
  if (log_) log_->Write(text);
}

void TEngineRun::ExitWithCode(int code) { throw TRunEndSignal{code}; }

void TEngineRun::FatalExit(const std::string& word, int code) {
  ConsoleWriteLn(word);
  ConsoleWriteLn("");
  ConsoleWrite("    Press enter to exit...");
  ConsoleReadLn();
  ExitWithCode(code);
}

int TEngineRun::Run(bool hasArguments) {
  int code = 0;
  try {
    code = Main(hasArguments);
  } catch (const TRunEndSignal& end) {
    code = end.code;
  } catch (const std::exception& e) {
    // Nobody expected this: say what it was, keep whatever the run wrote, and end.
    OldWotmods.clear();
    std::fprintf(stderr, "\r\n  ! Unexpected error: %s\r\n", DescribeException(e).c_str());
    Log("Unexpected error: " + DescribeException(e));
    code = ecUnhandledError;
  }
  log_.reset();  // writes the closing line
  return code;
}

int TEngineRun::Main(bool hasArguments) {
  ConsoleWriteLn("Ashtint Creator 2 for WorldOfTanks");
  ConsoleWriteLn(BannerVersionLine());
  ConsoleWriteLn("");
  runStart_ = fs::file_time_type::clock::now();
  RunStamp = registry_->ClaimStamp(std::time(nullptr));

  reader_.ShowErrors = false;
  DeclareEngineKeys(reader_);
  if (!hasArguments || !reader_.ParseCommandLine()) {
    Interactive();
    return 0;
  }

  OpenLog();
  packageKeys_ = ReadPackageKeys(reader_);
  Options.TestMode = reader_.KeyFlag("test");
  if (Options.TestMode || log_) {
    ConsoleWriteLn("  > [DEBUG MODE]");
    if (Options.TestMode) ConsoleWriteLn("    TEST = ON");
    if (log_) ConsoleWriteLn("    LOG  = ON");
    ConsoleWriteLn("");
  }

  Options.SilentMode = reader_.KeyFlag("silent-mode");
  if (Options.SilentMode) {
    SetConsoleSilent(true);
    DetachConsole();
  }
  Options.AutoCloseConsole = reader_.KeyFlag("auto-close-console");
  Options.WithoutWotmod = reader_.KeyFlag("without-wotmod");
  if (!Options.WithoutWotmod) {
    Options.AllInOneWotmod = reader_.KeyFlag("allinone-wotmod");
    Options.SubfolderWotmod = reader_.KeyFlag("subfolder-wotmod");
  }

  ResolveConfigsPath();
  if (!reader_.KeyFlag("no-update-configs")) {
    ConsoleWriteLn(CfgRefreshHeadLine);
    RefreshConfigs();
  }
  ExamineClient();
  ResolveStageKeys();
  ResolveSevenZipLibrary();
  ResolveCpuAndTemp();

  CleanUpAfterEndedRuns();

  RunStages();
  if (Options.AllInOneWotmod) AllInOneStage();
  if (Options.RemoveWotmod) RemovalStage();

  OldWotmods.clear();
  if (!Options.AutoCloseConsole) {
    ConsoleWrite("    Press enter to exit...");
    ConsoleReadLn();
  }
  return StoredExitCode;
}

void TEngineRun::Interactive() {
  ConsoleWriteLn("  > List of available command line arguments");
  ConsoleWriteLn(reader_.KeyListing("    "));
  ConsoleWriteLn("    All details about the program and command line arguments can be found in the official topic " +
                 HelpUrl() + ".");
  ConsoleWriteLn("");
  ConsoleWrite("  > Check of a new version of the program? [Press Y/N and ENTER] ");
  if (SameText(ConsoleReadLn(), "Y")) {
    TWebUpdateUi ui;
    ui.Inform = [](const std::string& caption, const std::string& text) { ShowMessageBox(caption, text); };
    ui.Ask = [](const std::string& caption, const std::string& text) { return AskYesNo(caption, text); };
    ui.OpenUrl = [](const std::string& url) { return OpenDocument(url); };
    const TWebUpdate update(build::ProgramBuild, true, true, "AshtintCreator2", 1, "UpdateInfo_en.upd",
                            "UpdateInfo_ru.upd", "AshtintCreator.upd", UpdateServerUrl(), ui);
    // The user chose to download the new version: the program ends for its installer.
    if (update.DownloadAccepted()) ExitWithCode(0);
  }
  ConsoleWriteLn("");
  ConsoleWrite(CfgRefreshQuestion);
  if (SameText(ConsoleReadLn(), "Y")) {
    Options.ConfigsPath = DefaultConfigsFolder();
    RefreshConfigs();
  }
  ConsoleWriteLn("");
  ConsoleWrite("    Press enter to exit...");
  ConsoleReadLn();
}

void TEngineRun::RefreshConfigs() {
  // A file that cannot be refreshed is not an error here: the stage that needs it decides.
  RefreshCfgFiles(Options.ConfigsPath, build::ProgramBuildNumber, ConfigsRepositoryUrl(), ConsoleWrite,
                  [](const std::string& line) { ConsoleWriteLn(line); }, [this](const std::string& line) { Log(line); });
  ConsoleWriteLn("");
}

void TEngineRun::OpenLog() {
  if (!reader_.KeyFlag("log")) return;
  std::string file = reader_.KeyText("log-name");
  if (file.empty()) file = state_.Log + "AshtintCreator2.log";
  // Names starting with a dot or a root separator get no folders made for them. On POSIX a
  // leading '/' is an ordinary absolute path (what "C:\\" is on Windows), so it is not one of them.
#ifdef _WIN32
  const bool makeFolder = file[0] != '.' && file[0] != '\\' && file[0] != '/';
#else
  const bool makeFolder = file[0] != '.' && file[0] != '\\';
#endif
  if (makeFolder) {
    const std::string folder = ExtractFilePath(file);
    if (!folder.empty() && !DirectoryExists(folder)) {
      std::error_code ec;
      fs::create_directories(fs::path(folder), ec);
    }
  }
  char header[128];
  std::snprintf(header, sizeof header, "Version %s Build %s Date %s", build::ProgramVersion, build::ProgramBuild,
                build::ProgramDate);
  log_ = std::make_unique<TLog>(file, reader_.KeyFlag("rewrite-log"), header);
}

void TEngineRun::ResolveConfigsPath() {
  std::string path = reader_.KeyText("configs-path");
  if (path.empty()) {
    path = DefaultConfigsFolder();
  } else {
    path = IncludeTrailingPathDelimiter(path);
    if (!DirectoryExists(path)) path = DefaultConfigsFolder();
  }
  Options.ConfigsPath = path;
  Log("Configs Path: " + Options.ConfigsPath);
  ConsoleWriteLn("  > Configs path: ");
  ConsoleWriteLn("    " + Options.ConfigsPath);
  if (!configsProblem_.empty()) {
    Log(configsProblem_);
    ConsoleWriteLn("    " + configsProblem_);
  }
  ConsoleWriteLn("");
}

void TEngineRun::ExamineClient() {
  ConsoleWrite("  > Search and analysis of the game client... ");
  const std::string wotPath = reader_.KeyText("wot-path");
  if (wotPath.empty()) FatalExit("Not found!", ecWotPathMissing);
  ReadWOTInfo(wotPath, ClientInfo);
  if (ClientInfo.Failed) FatalExit("Error!", ecClientNotRecognized);
  if (!FileExists(ClientInfo.GameExe)) FatalExit("Not found!", ecGameExeNotFound);
  // Without a version no package is listed; that is the version's fault, not the packages'.
  if (ClientInfo.Version.find_first_of("0123456789") == std::string::npos) {
    const std::string why = "No version of the client could be read from " + ClientInfo.VersionXmlFile;
    Log(why);
    FatalExit("Error!\r\n    " + why, ecClientNotRecognized);
  }
  if (ClientInfo.Pkgs.empty()) FatalExit("No pkg-files!", ecNoPackages);
  Log("WOT Path: " + ClientInfo.ClientDir);
  ConsoleWriteLn("OK");
  ConsoleWriteLn("    Game path: " + ClientInfo.ClientDir);
  ConsoleWriteLn("");

  const std::string mods = reader_.KeyText("mods-path");
  if (mods.empty())
    Options.ModsPath = Options.WithoutWotmod ? ClientInfo.ResModsDir : ClientInfo.ModsDir;
  else
    Options.ModsPath = IncludeTrailingPathDelimiter(mods);
  Log("Mods Path: " + Options.ModsPath);
}

void TEngineRun::ResolveStageKeys() {
  auto colourStage = [&](const char* key, bool& on, std::string& colour) {
    const std::string value = reader_.KeyText(key);
    on = !value.empty();
    if (on) colour = ParseColor(value);
    Log(std::string(key) + ": " + BoolText(on));
  };
  colourStage("DPT-mod", Options.DPTMod, Options.DPTColor);
  const std::string inside = reader_.KeyText("inside-color");
  Options.InsideColor = inside.empty() ? Options.DPTColor : ParseColor(inside);
  Options.RemoveShadows = reader_.KeyFlag("remove-shadows");

  colourStage("CCT-mod", Options.CCTMod, Options.CCTColor);
  colourStage("MEM-mod", Options.MEMMod, Options.MEMColor);
  colourStage("CTM-mod", Options.CTMMod, Options.CTMColor);
  Options.WithoutHD = reader_.KeyFlag("without-hd");

  const std::string spaceBin = reader_.KeyText("SpaceBin-mod");
  Options.SpaceBinMod = !spaceBin.empty();
  if (Options.SpaceBinMod) {
    const auto bar = spaceBin.find('|');
    if (bar == std::string::npos) {
      Options.TankMapColor = Options.TrainMapColor = ParseColor(spaceBin);
    } else {
      // An empty side stays empty: that kind of map object is left alone.
      const std::string tank = spaceBin.substr(0, bar), train = spaceBin.substr(bar + 1);
      Options.TankMapColor = tank.empty() ? std::string() : ParseColor(tank);
      Options.TrainMapColor = train.empty() ? std::string() : ParseColor(train);
    }
  }
  Log(std::string("SpaceBin-mod: ") + BoolText(Options.SpaceBinMod));

  const std::string camo = reader_.KeyText("CAMO-mod");
  Options.CAMOMod = !camo.empty();
  if (Options.CAMOMod) {
    Options.CamoVisibility = ResolveCamoVisibility(camo, LocaleDecimalSeparator());
    Options.DownsizingRatio = ResolveDownsizingRatio(reader_.KeyText("downsizing-ratio"));
  }
  Log(std::string("CAMO-mod: ") + BoolText(Options.CAMOMod));
}

void TEngineRun::ResolveSevenZipLibrary() {
  bool anyStage = false;
  for (const auto& s : StageTable()) anyStage = anyStage || Options.*(s.Enabled);
  if (!anyStage) return;
  const std::string given = reader_.KeyText("sevenzip-dll-file");
  const std::string libraryExt = ExtractFileExt(SevenZipLibraryName);
  std::string library;
  if (!given.empty() && FileExists(given) && SameText(ExtractFileExt(given), libraryExt))
    library = given;
  else
    library = DefaultSevenZipLibraryPath();  // next to the engine, else the distribution's copy
  if (!FileExists(library) && FileExists(state_.Library + SevenZipLibraryName))
    library = state_.Library + SevenZipLibraryName;  // downloaded by an earlier run
  if (!FileExists(library)) {
    library = state_.Library + SevenZipLibraryName;
    ConsoleWrite(std::string("  > Download ") + SevenZipLibraryName + "... ");
    Log("Download file: " + library);
    // Kept only when it is a library this platform can load; nothing is left for later runs
    // to trust otherwise.
    std::string failure;
    if (!DownloadFile(SevenZipDownloadUrl(), library, SevenZipLibraryProblem, &failure, ModuleHeadProblem)) {
      Log("Download failed: " + failure);
      FatalExit("Failed!\r\n    " + failure, ecSevenZipMissing);
    }
    ConsoleWriteLn("OK");
    ConsoleWriteLn("");
  } else if (const std::string problem = SevenZipLibraryProblem(library); !problem.empty()) {
    // Said here, with the file's name, rather than as a puzzling error of every package later.
    const std::string text = "The archive library " + library + " cannot be used: " + problem +
                             ". Replace or delete it (a missing library is downloaded next to the engine), "
                             "or name another with --sevenzip-dll-file.";
    Log(text);
    ConsoleWrite(std::string("  > Check ") + SevenZipLibraryName + "... ");
    FatalExit("Failed!\r\n    " + text, ecSevenZipMissing);
  }
  Options.SevenZipDllFile = library;
  SetArchiveLibraryPath(library);
  Log("SevenZip file: " + Options.SevenZipDllFile);
}

void TEngineRun::ResolveCpuAndTemp() {
  const std::string cpu = reader_.KeyText("cpu-count");
  Options.CPUCount = cpu.empty() ? static_cast<std::int32_t>(GetCPUCount()) : ResolveCpuCount(cpu);
  Log("CPU Count: " + std::to_string(Options.CPUCount));
  const std::string runFolder = GetTempFolder() + NewGuidText();
  TempFolder = runFolder + PathDelim + "res" + PathDelim;
  tempCleanup_ = std::make_unique<TCleanupEntry>(runFolder);  // removed if the run is interrupted
  registry_->Register(RunStamp, runFolder);  // removed by a later run if this one is killed
  Log("Temp Path: " + TempFolder);
}

}  // namespace ashtint
