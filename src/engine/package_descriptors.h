// The two descriptor files every package carries in its root (meta.xml for the game's mod
// loader, properties.xml for whoever wants to know how a package was made), the package
// version and the package file name, with the developer keys that override them.
#pragma once

#include <array>
#include <string>

#include "client/wot_info.h"
#include "engine/command_line_reader.h"
#include "engine/run_options.h"

namespace ashtint {

// Kind 0 is the all-in-one package, kinds 1 to 6 belong to the stages DPT, CCT, MEM, CTM,
// SpaceBin and CAMO in that order.
enum TPackageKind : int {
  pkAllMods = 0,
  pkTankCrash = 1,
  pkTrackCrash = 2,
  pkTankMap = 3,
  pkTrainMap = 4,
  pkSpaceBin = 5,
  pkCamouflages = 6,
};
inline constexpr int PackageKindCount = 7;

// The developer keys' values: each kind's "-wotmod-name" and "-wotmod-meta" key, indexed by
// kind, and subfolder-wotmod-name. Empty means the key was not given.
struct RPackageKeys {
  std::array<std::string, PackageKindCount> Names;
  std::array<std::string, PackageKindCount> Metas;
  std::string Subfolder;
};

// The four fields of meta.xml.
struct RMeta {
  std::string MetaId;
  std::string MetaVersion;
  std::string MetaName;
  std::string MetaDescription;
};

// The key name stem of a kind: "allinone", "DPT", "CCT", "MEM", "CTM", "SpaceBin", "CAMO".
const char* PackageKeyStem(TPackageKind kind);

// Reads every kind's name and meta key and the subfolder key from a parsed command line.
RPackageKeys ReadPackageKeys(TCommandLineReader& reader);

// Program version, build and the run's "yymmdd.hhnnss" stamp: "2.2.1.248.240313.154501".
std::string PackageVersion(const std::string& runStamp);

// The meta fields of a kind: the fixed texts and version, or all four from the override
// "id|version|name|description" (see the .cpp for how short and long overrides split).
RMeta PackageMeta(TPackageKind kind, const std::string& version, const std::string& metaOverride);
std::string MetaXmlText(TPackageKind kind, const std::string& version, const std::string& metaOverride);

// The client's version and build, the program's version and the options the kind was made with.
std::string PropertiesXmlText(TPackageKind kind, const RRunOptions& options, const RWOTInfo& client);

// The package path relative to the mods folder: the kind's name key value or its fixed prefix
// plus the version, inside the subfolder when the run asks for one.
std::string PackageFileName(TPackageKind kind, const std::string& version, const RRunOptions& options,
                            const RPackageKeys& keys, const std::string& packageExt = ".wotmod");

// Writes a descriptor text as the engine's text files are written: every CR LF separated line
// followed by CR LF, bytes unchanged. The file appears complete or not at all; EInOutError on
// failure or for an empty text.
void WriteDescriptorFile(const std::string& fileName, const std::string& text);

}  // namespace ashtint
