#include "engine/package_descriptors.h"

#include <string_view>

#include "common/build_config.h"
#include "common/exceptions.h"
#include "common/text.h"
#include "mods/wotmod_writer.h"

namespace ashtint {

namespace {

struct KindTexts {
  const char* keyStem;
  const char* id;
  const char* name;
  const char* description;
  const char* filePrefix;
};

constexpr KindTexts kKinds[PackageKindCount] = {
    {"allinone", "mod.AshtintCreator.AllMods", "AshtintCreator: RepaintedTextures",
     "Monochromatic textures and translucent camouflages for tanks", "mod.AshtintCreator.AllMods_"},
    {"DPT", "mod.AshtintCreator.TankCrashTextures", "AshtintCreator: TankCrashTextures",
     "Monochromatic textures for crashed tanks", "mod.AshtintCreator.TankCrashTextures_"},
    // The "c" of "crashed" is the Cyrillic letter of code page 1251, as in every package
    // published so far; mod managers compare descriptions byte for byte.
    {"CCT", "mod.AshtintCreator.TrackCrashTextures", "AshtintCreator: TrackCrashTextures",
     "Monochromatic textures for \xF1" "rashed tracks", "mod.AshtintCreator.TrackCrashTextures_"},
    {"MEM", "mod.AshtintCreator.TankMapTextures", "AshtintCreator: TankMapTextures",
     "Monochromatic textures for tank models on maps", "mod.AshtintCreator.TankMapTextures_"},
    {"CTM", "mod.AshtintCreator.TrainMapTextures", "AshtintCreator: TrainMapTextures",
     "Monochromatic textures for carriages and trains on maps", "mod.AshtintCreator.TrainMapTextures_"},
    {"SpaceBin", "mod.AshtintCreator.SpaceBinPatched", "AshtintCreator: SpaceBinPatched",
     "Modified bin-files for models on maps", "mod.AshtintCreator.SpaceBinPatched_"},
    {"CAMO", "mod.AshtintCreator.Camouflages", "AshtintCreator: Camouflages", "Translucent camouflages for tanks",
     "mod.AshtintCreator.Camouflages_"},
};

const KindTexts& Texts(TPackageKind kind) {
  if (kind < 0 || kind >= PackageKindCount) throw ERangeError("Package kind out of range (" + std::to_string(kind) + ")");
  return kKinds[kind];
}

// Everything up to the space counts as blank here, control characters included.
std::string TrimControls(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return std::string(s.substr(b, e - b));
}

std::string ProgramVersionText() { return std::string(build::ProgramVersion) + "." + build::ProgramBuild; }

// The lines inside a stage kind's options element (kind 0 has none of its own).
std::string InnerOptionLines(TPackageKind kind, const RRunOptions& o) {
  const auto colourBlock = [](const char* element, const std::string& colour) {
    return std::string("        <") + element + ">\r\n            <color>" + colour + "</color>\r\n        </" + element +
           ">";
  };
  switch (kind) {
    case pkTankCrash:
      return "        <TankCrashTextures>\r\n            <outside_color>" + o.DPTColor +
             "</outside_color>\r\n            <inside_color>" + o.InsideColor +
             "</inside_color>\r\n            <remove_shadows>" + (o.RemoveShadows ? "1" : "0") +
             "</remove_shadows>\r\n        </TankCrashTextures>";
    case pkTrackCrash: return colourBlock("TrackCrashTextures", o.CCTColor);
    case pkTankMap: return colourBlock("TankMapTextures", o.MEMColor);
    case pkTrainMap: return colourBlock("TrainMapTextures", o.CTMColor);
    case pkSpaceBin:
      return "        <SpaceBinPatched>\r\n            <tankmap_color>" + o.TankMapColor +
             "</tankmap_color>\r\n            <trainmap_color>" + o.TrainMapColor +
             "</trainmap_color>\r\n        </SpaceBinPatched>";
    case pkCamouflages:
      return "        <Camouflages>\r\n            <visibility>" + std::to_string(o.CamoVisibility) +
             "</visibility>\r\n            <downsizing_ratio>" +
             std::to_string(o.DownsizingRatio < 2 ? 1 : o.DownsizingRatio) +
             "</downsizing_ratio>\r\n        </Camouflages>";
    default: return {};
  }
}

}  // namespace

const char* PackageKeyStem(TPackageKind kind) { return Texts(kind).keyStem; }

RPackageKeys ReadPackageKeys(TCommandLineReader& reader) {
  RPackageKeys keys;
  for (int k = 0; k < PackageKindCount; ++k) {
    const std::string stem = kKinds[k].keyStem;
    keys.Names[k] = reader.KeyText(stem + "-wotmod-name");
    keys.Metas[k] = reader.KeyText(stem + "-wotmod-meta");
  }
  keys.Subfolder = reader.KeyText("subfolder-wotmod-name");
  return keys;
}

std::string PackageVersion(const std::string& runStamp) { return ProgramVersionText() + "." + runStamp; }

RMeta PackageMeta(TPackageKind kind, const std::string& version, const std::string& metaOverride) {
  const KindTexts& t = Texts(kind);
  if (metaOverride.empty()) return RMeta{t.id, version, t.name, t.description};

  // Fields are taken from the left; a field that no "|" follows is dropped, except that the
  // fourth takes everything left (so "a|b" is only an identifier, and "a|b|c|d|e" has the
  // description "d|e").
  RMeta meta;
  const std::string_view text = metaOverride;
  const auto bar1 = text.find('|');
  if (bar1 == std::string_view::npos) {
    meta.MetaId = TrimControls(text);
    return meta;
  }
  meta.MetaId = TrimControls(text.substr(0, bar1));
  const std::string_view rest1 = text.substr(bar1 + 1);
  const auto bar2 = rest1.find('|');
  if (bar2 == std::string_view::npos) return meta;
  meta.MetaVersion = TrimControls(rest1.substr(0, bar2));
  const std::string_view rest2 = rest1.substr(bar2 + 1);
  const auto bar3 = rest2.find('|');
  if (bar3 == std::string_view::npos) return meta;
  meta.MetaName = TrimControls(rest2.substr(0, bar3));
  meta.MetaDescription = TrimControls(rest2.substr(bar3 + 1));
  return meta;
}

std::string MetaXmlText(TPackageKind kind, const std::string& version, const std::string& metaOverride) {
  const RMeta m = PackageMeta(kind, version, metaOverride);
  // Written as given, nothing escaped: the developer keys may carry markup on purpose.
  return "<root>\r\n    <id>" + m.MetaId + "</id>\r\n    <version>" + m.MetaVersion + "</version>\r\n    <name>" +
         m.MetaName + "</name>\r\n    <description>" + m.MetaDescription + "</description>\r\n</root>";
}

std::string PropertiesXmlText(TPackageKind kind, const RRunOptions& options, const RWOTInfo& client) {
  Texts(kind);  // range check
  std::string block = "    <options>";
  if (kind == pkAllMods) {
    // The switches decide, not the stages' results: a failed stage is listed too.
    const std::pair<bool, TPackageKind> stages[] = {
        {options.DPTMod, pkTankCrash}, {options.CCTMod, pkTrackCrash},   {options.MEMMod, pkTankMap},
        {options.CTMMod, pkTrainMap},  {options.SpaceBinMod, pkSpaceBin}, {options.CAMOMod, pkCamouflages},
    };
    for (const auto& [on, stageKind] : stages)
      if (on) block += "\r\n" + InnerOptionLines(stageKind, options);
  } else {
    block += "\r\n" + InnerOptionLines(kind, options);
  }
  block += "\r\n    </options>";
  return "<root>\r\n    <game_version>" + client.Version + "." + client.Build +
         "</game_version>\r\n    <soft_version>" + ProgramVersionText() +
         "</soft_version>\r\n    <format_version>1</format_version>\r\n" + block + "\r\n</root>";
}

std::string PackageFileName(TPackageKind kind, const std::string& version, const RRunOptions& options,
                            const RPackageKeys& keys, const std::string& packageExt) {
  const KindTexts& t = Texts(kind);
  const std::string& nameKey = keys.Names[static_cast<std::size_t>(kind)];
  std::string name = nameKey.empty() ? t.filePrefix + version + packageExt : nameKey + packageExt;
  if (!options.SubfolderWotmod) return name;
  // Users type the subfolder the Windows way ("Mods\"), so both separators are cut off the end.
  std::string folder = keys.Subfolder;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == PathDelim)) folder.pop_back();
  if (folder.empty()) folder = "AshtintCreator";
  return folder + PathDelim + name;
}

void WriteDescriptorFile(const std::string& fileName, const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size() + 2);
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find("\r\n", start);
    const std::size_t stop = end == std::string::npos ? text.size() : end;
    bytes.append(text, start, stop - start).append("\r\n");
    start = end == std::string::npos ? text.size() : end + 2;
  }
  WriteTextFile(fileName, bytes);
}

}  // namespace ashtint
