#include "mods/texture_workers.h"

#include "common/text.h"
#include "config/sign_match.h"
#include "mods/byte_helpers.h"
#include "textures/dds_creator.h"

namespace ashtint {

void ThTextureScan::Execute() {
  if (!HasRules()) return;
  RunAttempts(true, MinSize);
}

bool ThTextureScan::ProcessItem(I7zInArchive& archive, std::uint32_t index) {
  const std::string path = archive.ItemPath(index);
  if (!EndsText(".dds", path)) return true;
  if (!Select(LowerCase(path))) return true;
  ItemPath = path;
  const std::string outFile = OutputPathOf(OutDir, ItemPath);

  AddLog("Read \t\t" + ItemPath);
  {
    TMemoryStream stream;
    archive.ExtractItem(index, stream);
    Texture = std::move(stream.Bytes());
  }
  AddLog("Repaint \t" + ItemPath);
  Repainted = false;
  Synchronize([this] { Repainted = Recolour(); });
  if (!Repainted) {
    Texture.clear();
    throw Exception(ItemPath + " - failed to repaint the texture!");
  }
  AddLog("Write \t\t" + outFile);
  Saved = false;
  Synchronize([&] { Saved = SaveOutput(Texture, outFile); });
  if (Saved)
    ++FilesWritten;
  else
    ErrorText = SaveErrorReport(PkgFile, ItemPath, SaveFailure);  // the scan goes on; the package is tried again
  Texture.clear();
  Texture.shrink_to_fit();
  return true;
}

void ThDDSRepaint::SetFiles(const ARFiles& roots, const std::string& color, std::uint32_t minSize) {
  for (const RSign& rule : MakeSignRules(roots)) {
    const bool hd = IsHDTexture(rule.Words.back());
    Files.push_back({rule.Words, rule.WordCount, color, hd});
    RSign twin;
    if (!hd && MakeHdTwinSign(rule, twin)) Files.push_back({twin.Words, twin.WordCount, color, true});
  }
  if (minSize != 0) MinSize = minSize;
}

std::string ThDDSRepaint::ColorOf(const std::string& lowerPath) const {
  const bool hd = IsHDTexture(lowerPath);
  if (hd && !WithHD) return {};
  for (const RDDSFile& f : Files)
    if (f.IsHD == hd && WordsMatch(f.Words, f.WordCount, lowerPath)) return f.Color;
  return {};
}

bool ThDDSRepaint::Select(const std::string& lowerPath) {
  Color = ColorOf(lowerPath);
  return !Color.empty();
}

bool ThDDSRepaint::Recolour() { return RepaintDDS(Texture, AddAlpha ? Color + "FF" : Color); }

void ThCamoRepaint::SetSigns(const ARFiles& roots, std::uint32_t minSize) {
  for (const RSign& rule : MakeSignRules(roots)) {
    Signs.push_back(rule);
    RSign twin;
    if (MakeHdTwinSign(rule, twin)) Signs.push_back(twin);
  }
  if (minSize != 0) MinSize = minSize;
}

bool ThCamoRepaint::Select(const std::string& lowerPath) {
  if (IsHDTexture(lowerPath) && !WithHD) return false;
  return AnySignMatches(Signs, lowerPath);
}

bool ThCamoRepaint::Recolour() { return MakeTranslucentDDS(Texture, Visibility, DownsizingRatio); }

}  // namespace ashtint
