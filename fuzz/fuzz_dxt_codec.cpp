// The DXT decoder and encoder: every 16 bytes are decoded as a DXT1 and a DXT5 block, and every
// 64 bytes are encoded as 16 pixels in both formats; what is encoded decodes again, and fully
// transparent or fully opaque pixels keep their alpha exactly.
#include <cstring>

#include "fuzz_support.h"
#include "textures/dxt_codec.h"

using namespace ashtint;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t pixels[64];
  for (std::size_t at = 0; at + 16 <= size; at += 16) {
    DecodeDXTBlock(data + at, true, pixels);
    DecodeDXTBlock(data + at, false, pixels);
  }
  for (std::size_t at = 0; at + 64 <= size; at += 64) {
    std::uint32_t block[16];
    std::memcpy(block, data + at, sizeof block);
    bool binaryAlpha = true;
    for (std::uint32_t p : block) binaryAlpha = binaryAlpha && ((p >> 24) == 0 || (p >> 24) == 255);
    for (const int flags : {DxtFlagDXT1, 0}) {
      std::uint8_t encoded[16];
      EncodeDXTBlock(encoded, block, flags);
      DecodeDXTBlock(encoded, flags == DxtFlagDXT1, pixels);
      if (flags != DxtFlagDXT1 && binaryAlpha) {
        for (int i = 0; i < 16; ++i)
          fuzz::Require(pixels[4 * i + 3] == (block[i] >> 24), "binary alpha survives DXT5");
      }
    }
  }
  return 0;
}
