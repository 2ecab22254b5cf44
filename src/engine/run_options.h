// Everything a run was asked to do, resolved once at start-up and read by the stages.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace ashtint {

struct RRunOptions {
  bool TestMode = false;
  std::string ModsPath;     // ends with the separator
  std::string ConfigsPath;  // ends with the separator
  bool SilentMode = false;
  bool AutoCloseConsole = false;
  std::int32_t CPUCount = 1;
  bool WithoutWotmod = false;
  bool AllInOneWotmod = false;
  bool SubfolderWotmod = false;
  bool RemoveWotmod = false;
  bool DPTMod = false;
  std::string DPTColor = "#FFFFFF";
  std::string InsideColor = "#FFFFFF";
  bool RemoveShadows = false;
  bool CCTMod = false;
  std::string CCTColor = "#FFFFFF";
  bool MEMMod = false;
  std::string MEMColor = "#FFFFFF";
  bool CTMMod = false;
  std::string CTMColor = "#FFFFFF";
  bool WithoutHD = false;
  bool SpaceBinMod = false;
  std::string TankMapColor = "#FFFFFF";
  std::string TrainMapColor = "#FFFFFF";
  bool CAMOMod = false;
  std::int32_t CamoVisibility = 30;
  std::int32_t DownsizingRatio = 0;
  std::string SevenZipDllFile;
};

// Value rules of the start-up sequence, kept apart so they can be checked on their own.
// CAMO-mod: a decimal number (decimalSeparator as the user's locale writes it), 30 when it is
// not one, truncated toward zero and clamped to 0..100, also when it overflows 32 bits.
std::int32_t ResolveCamoVisibility(const std::string& value, char decimalSeparator);
// downsizing-ratio: exactly "2", "4" or "8", else 0.
std::int32_t ResolveDownsizingRatio(const std::string& value);
// cpu-count with a value: its decimal integer value, 1 when it is not one, clamped to 1..50.
std::int32_t ResolveCpuCount(const std::string& value);
// "yymmdd.hhnnss" of the current local time, or of the given time.
std::string MakeRunStamp();
std::string MakeRunStamp(std::time_t t);

}  // namespace ashtint
