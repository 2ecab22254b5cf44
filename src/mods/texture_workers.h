// Workers that take whole textures out of the game packages: map models and trains repainted in
// one colour, camouflages dimmed. The image work runs on the stage's thread, one texture at a
// time, so the encoder has every processor; the workers keep reading meanwhile.
#pragma once

#include <string>
#include <vector>

#include "mods/pkg_scan.h"

namespace ashtint {

// One colour rule: lower-case fragments matched in order, and the colour they give.
struct RDDSFile {
  TStrArray Words;
  std::int32_t WordCount = 0;
  std::string Color;
  bool IsHD = false;
};
using ADDSFileList = std::vector<RDDSFile>;

// Shared per-item work of the two texture workers.
class ThTextureScan : public ThPkgScan {
 public:
  using ThPkgScan::ThPkgScan;
  std::uint32_t MinSize = 0;
  bool WithHD = true;

 protected:
  void Execute() override;
  bool ProcessItem(I7zInArchive& archive, std::uint32_t index) override;
  virtual bool HasRules() const = 0;
  // Whether the texture is taken (lowerPath is the lower-cased item path).
  virtual bool Select(const std::string& lowerPath) = 0;
  // Recolours Texture; runs on the stage's thread.
  virtual bool Recolour() = 0;

  std::string ItemPath;
  TBytesArray Texture;
  bool Repainted = false;
  bool Saved = false;
};

class ThDDSRepaint : public ThTextureScan {
 public:
  using ThTextureScan::ThTextureScan;
  // One rule per usable sign, each non-HD texture rule followed by its HD twin.
  void SetFiles(const ARFiles& roots, const std::string& color, std::uint32_t minSize);
  // The colour of a texture, empty when no rule gives one.
  std::string ColorOf(const std::string& lowerPath) const;

  ADDSFileList Files;
  bool AddAlpha = false;

 protected:
  bool HasRules() const override { return !Files.empty(); }
  bool Select(const std::string& lowerPath) override;
  bool Recolour() override;

  std::string Color;
};

class ThCamoRepaint : public ThTextureScan {
 public:
  using ThTextureScan::ThTextureScan;
  void SetSigns(const ARFiles& roots, std::uint32_t minSize);

  ARSign Signs;
  std::int32_t Visibility = 30;
  std::int32_t DownsizingRatio = 0;

 protected:
  bool HasRules() const override { return !Signs.empty(); }
  bool Select(const std::string& lowerPath) override;
  bool Recolour() override;
};

}  // namespace ashtint
