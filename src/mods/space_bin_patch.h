// The worker that repaints the textures embedded in a map's space.bin in place: same size, same
// layout, only the bytes of the repainted textures change.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mods/texture_workers.h"

namespace ashtint {

// One embedded texture of a space.bin: its name and where its DDS bytes lie in the file.
struct RSpaceBinTexture {
  std::string Name;
  std::uint64_t Offset = 0;
  std::uint64_t Length = 0;
};

// A space.bin that does not hold what its own counts, lengths and offsets claim.
class ESpaceBinError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "ESpaceBinError"; }
};

// The embedded textures of a space.bin: the section tagged "BSMA" in the table at the start
// (tag within the first 1004 bytes), five skipped blocks, then the texture entries. Empty when
// there is no such section or its length is 0. Every count, length and offset is checked against
// the file and the section; a lying one raises ESpaceBinError.
std::vector<RSpaceBinTexture> ReadSpaceBinTextures(const TBytesArray& data);

class ThSpaceBinPatch : public ThPkgScan {
 public:
  using ThPkgScan::ThPkgScan;
  // Adds the rules of a configuration (names with '/' like the file's own), leaving out rules
  // for HD textures; called once per colour.
  void SetFiles(const ARFiles& roots, const std::string& color, std::uint32_t minSize);

  ADDSFileList Files;
  std::uint32_t MinSize = 0;
  bool AddAlpha = false;

 protected:
  void Execute() override;
  bool ProcessItem(I7zInArchive& archive, std::uint32_t index) override;

  std::int32_t ItemIndex = -1;
  std::string ItemPath;
  TBytesArray Data;
  TBytesArray Texture;
  std::string Color;
  bool Repainted = false;
  bool Saved = false;
};

}  // namespace ashtint
