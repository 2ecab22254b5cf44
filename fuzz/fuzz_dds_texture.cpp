// The DDS reader with repaint and translucency: two leading bytes choose the visibility and the
// downsizing ratio, the rest is the texture file. A refused texture is left as it was.
#include "fuzz_support.h"
#include "textures/dds_creator.h"
#include "textures/dds_file.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int visibility = data[0] % 102;
  static const int kRatios[] = {0, 2, 4, 8};
  const int ratio = kRatios[data[1] & 3];
  const bool alphaColour = (data[1] & 4) != 0;
  const TBytesArray file(data + 2, data + size);

  TDDSInfo info;
  (void)ReadDDSInfo(file, info);
  TBytesArray repainted = file;
  if (!RepaintDDS(repainted, alphaColour ? "#40C0A080" : "#40C0A0")) fuzz::Require(repainted == file, "repaint refused");
  TBytesArray dimmed = file;
  if (!MakeTranslucentDDS(dimmed, visibility, ratio)) fuzz::Require(dimmed == file, "translucency refused");
  return 0;
}
