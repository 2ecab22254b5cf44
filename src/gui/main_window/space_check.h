// The free-space check before a run: room for the packages where they will land, and, when they
// are packed, in the temporary folder where the engine gathers their files first.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gui/gui_settings.h"

namespace ashtint {

// How the check sees the volumes: the system's own answers unless replaced.
struct RVolumes {
  std::function<std::optional<std::uint64_t>(const std::string& path)> FreeBytes;
  std::function<bool(const std::string& a, const std::string& b)> SameVolume;
  std::string TempFolder;
  static RVolumes System();
};

// The text row that says which volume lacks room for a run of `megabytes` (49 the destination
// folder's, 50 the client's, 48 the temporary folder's), or -1 when everything fits. A volume
// whose free space cannot be read passes: better a run that may fail than one never allowed.
int MissingSpaceText(const RGuiSettings& settings, int megabytes, const RVolumes& volumes);

}  // namespace ashtint
