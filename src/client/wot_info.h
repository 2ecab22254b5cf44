// The facts about one installed game client folder.
#pragma once

#include <string>

#include "common/arrays.h"

namespace ashtint {

// Folder paths end in the native separator. Package lists hold full paths, sorted byte-wise.
struct RWOTInfo {
  std::string Version;          // dotted client version, e.g. 1.24.0.1
  std::string Build;            // build number, digits only
  std::string PathsXmlFile;     // ClientDir + "paths.xml"
  std::string VersionXmlFile;   // ClientDir + "version.xml"
  std::string GameInfoXmlFile;  // ClientDir + "game_info.xml"
  bool IsCommonTest = false;    // realm CT or RPT
  bool IsWargaming = false;     // publisher other than lesta
  bool IsLesta = false;         // publisher lesta
  std::string ClientDir;        // client root folder
  std::string ClientExe;        // ClientDir + "WorldOfTanks.exe", or "Tanki.exe" on Lesta's current clients
  std::string GameExe;          // the 64-bit game executable when present, else the 32-bit one
  SArray Pkgs;                  // packages listed in paths.xml, without HD packages
  SArray MapPkgs;               // map packages without HD
  SArray MapPkgsWithHD;         // map packages, all
  SArray VehiclePkgs;           // vehicle packages without HD
  SArray VehiclePkgsWithHD;     // vehicle packages, all
  std::string ResModsDir;       // versioned res_mods folder
  std::string ModsDir;          // versioned mods folder
  std::string PackageExt = ".wotmod";  // extension of the mod packages the client loads (".mtmod" on Lesta's)
  bool PkgsFound = false;       // at least one package entered the lists
  bool Failed = false;          // the examination stopped on an error
};

// Examines a client folder, or any file inside it (win32/win64 executables included), and
// fills `info` from scratch. Only reads. Never throws: an error sets `Failed` and keeps what
// was filled before it; a folder that is not a client just leaves the rest empty.
void ReadWOTInfo(const std::string& path, RWOTInfo& info) noexcept;

}  // namespace ashtint
