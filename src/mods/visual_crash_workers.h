// Workers that copy the model files of destroyed vehicles out of the vehicle packages and point
// their textures at small one-colour textures, rewriting bytes in place.
#pragma once

#include "mods/pkg_scan.h"

namespace ashtint {

// Texts the rewrites use. The package paths of the one-colour textures use '/', as the models do.
inline constexpr const char* CrashShader = "shaders/std_effects/PBS_tank_crash.fx";
inline constexpr const char* TankShader = "shaders/std_effects/PBS_tank.fx";
inline constexpr const char* TankCrashTexture = "vehicles/tank_crash.dds";
inline constexpr const char* InsideCrashTexture = "vehicles/inside_crash.dds";
inline constexpr const char* TrackCrashTexture = "vehicles/track_crash.dds";

// Hull, gun and turret models of crash folders: the ordinary shader instead of the destroyed
// one, outside textures to tank_crash.dds, "_inside" textures of hulls and turrets to
// inside_crash.dds; with RemoveShadows also the ambient-occlusion maps.
class ThVisualCrashTanks : public ThVisualScan {
 public:
  using ThVisualScan::ThVisualScan;
  bool RemoveShadows = false;

 protected:
  bool ProcessItem(I7zInArchive& archive, std::uint32_t index) override;
};

// Chassis models of crash folders: every diffuse texture to track_crash.dds.
class ThVisualCrashTracks : public ThVisualScan {
 public:
  using ThVisualScan::ThVisualScan;

 protected:
  bool ProcessItem(I7zInArchive& archive, std::uint32_t index) override;
};

}  // namespace ashtint
