// The space.bin walk on any bytes: every texture it reports lies within the file, and a file
// that lies about itself is refused with ESpaceBinError, never read past its end.
#include "fuzz_support.h"
#include "mods/space_bin_patch.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const TBytesArray bytes(data, data + size);
  try {
    for (const RSpaceBinTexture& t : ReadSpaceBinTextures(bytes))
      fuzz::Require(t.Offset <= size && t.Length <= size - t.Offset, "a texture lies within the file");
  } catch (const ESpaceBinError&) {
  }
  return 0;
}
