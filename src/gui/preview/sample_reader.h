// One sample texture per repainted mod, read from the chosen client's packages with the rules
// the engine's stages use, so the previews show what a build would change.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/arrays.h"
#include "config/cfg_file.h"
#include "textures/bitmap32.h"

namespace ashtint {

// The mods whose textures come from the client: tanks on maps, trains on maps, camouflages.
enum TSampleKind { SampleMEM, SampleCTM, SampleCAMO, SampleKindCount };

enum class TSampleState { NoClient, Reading, Found, NotFound, Unreadable };

struct RSample {
  TSampleState State = TSampleState::NotFound;
  std::string Package;   // the package it came from
  std::string ItemPath;  // as the package names it
  int Format = 0;        // DDS format code of the source
  int Width = 0;         // size of the texture in the package
  int Height = 0;
  TBitmap32 Image;       // level 0, halved while its larger side is above PreviewSide
  TBytesArray File;      // the texture file itself when Image is its level 0 unhalved
};
using RSamplePtr = std::shared_ptr<const RSample>;

// The largest side a sample keeps: enough for the larger view, small enough to recolour live.
inline constexpr int PreviewSide = 512;

// What a reading needs: the client (its folder or any file in it), where to look for the
// configuration files (the first folder holding a file wins) and the archive library.
struct RSampleRequest {
  std::string ClientPath;
  std::vector<std::string> ConfigFolders;
  std::string ArchiveLibrary;
};

// The configuration file of a kind and its selection rules (empty when the file is missing or
// unusable for the engine's build).
const char* SampleConfigName(TSampleKind kind);
ARSign SampleRules(const RCfgFile& cfg);

// Whether an item is the kind of texture the engine's texture stages take and the preview can
// show: a .dds file above 1024 bytes that is not an HD texture and that the rules select.
bool SelectsSample(const ARSign& rules, const std::string& itemPath, std::uint64_t size);

// Reads the samples: map packages for MEM and CTM, vehicle packages for CAMO, in the client's
// package order; the first selected texture that decodes is each kind's sample. A package that
// cannot be opened or an item that cannot be read is passed over. deliver runs on the calling
// thread once per kind as soon as that kind is decided. stop is looked at between items.
void ReadSamples(const RSampleRequest& request, const std::atomic<bool>& stop,
                 const std::function<void(TSampleKind, RSamplePtr)>& deliver);

}  // namespace ashtint
