#include "mods/visual_crash_workers.h"

#include "common/text.h"
#include "mods/byte_helpers.h"

namespace ashtint {

namespace {

const TStrArray& DiffuseNames() {
  static const TStrArray list = MakeSearchList({"diffuseMap"});
  return list;
}
const TStrArray& DiffuseAndShadowNames() {
  static const TStrArray list = MakeSearchList({"diffuseMap", "excludeMaskAndAOMap"});
  return list;
}
const TStrArray& InsideMarks() {
  static const TStrArray list = MakeStrArray({"_inside"});
  return list;
}
const TStrArray NoNames;

}  // namespace

bool ThVisualCrashTanks::ProcessItem(I7zInArchive& archive, std::uint32_t index) {
  if (!SelectCrashModel(archive, index, [](std::uint8_t kind) { return kind == pkHull || kind == pkGun || kind == pkTurret; }))
    return true;

  ReadData(archive, index);
  bool changed = false;
  if (!Data.empty()) {
    const TStrArray& names = RemoveShadows ? DiffuseAndShadowNames() : DiffuseNames();
    changed = ReplaceText(Data, CrashShader, TankShader, true, true);
    changed = ReplaceTexturePaths(Data, names, TankCrashTexture, NoNames, InsideMarks(), NoNames, InsideMarks()) ||
              changed;
    if (PartKind == pkHull || PartKind == pkTurret)
      changed = ReplaceTexturePaths(Data, names, InsideCrashTexture, InsideMarks(), NoNames, NoNames, NoNames) ||
                changed;
  }
  return WriteData(changed);
}

bool ThVisualCrashTracks::ProcessItem(I7zInArchive& archive, std::uint32_t index) {
  if (!SelectCrashModel(archive, index, [](std::uint8_t kind) { return kind == pkChassis; })) return true;

  ReadData(archive, index);
  return WriteData(ReplaceTexturePaths(Data, DiffuseNames(), TrackCrashTexture, NoNames, NoNames, NoNames, NoNames));
}

}  // namespace ashtint
