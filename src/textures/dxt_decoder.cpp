#include "textures/dxt_codec.h"
#include "textures/dxt_internal.h"

namespace ashtint {

void DecodeColorPalette(const std::uint8_t* block, bool forceFourColor, std::uint32_t* palette) {
  const unsigned c0 = block[0] | (block[1] << 8);
  const unsigned c1 = block[2] | (block[3] << 8);
  unsigned r[4], g[4], b[4];
  r[0] = Expand5(c0 >> 11), g[0] = Expand6((c0 >> 5) & 63), b[0] = Expand5(c0 & 31);
  r[1] = Expand5(c1 >> 11), g[1] = Expand6((c1 >> 5) & 63), b[1] = Expand5(c1 & 31);
  palette[0] = PackPixel(r[0], g[0], b[0], 255);
  palette[1] = PackPixel(r[1], g[1], b[1], 255);
  // The expanded colours order exactly like the 16-bit values.
  if (forceFourColor || c0 > c1) {
    palette[2] = PackPixel((2 * r[0] + r[1]) / 3, (2 * g[0] + g[1]) / 3, (2 * b[0] + b[1]) / 3, 255);
    palette[3] = PackPixel((r[0] + 2 * r[1]) / 3, (g[0] + 2 * g[1]) / 3, (b[0] + 2 * b[1]) / 3, 255);
  } else {
    palette[2] = PackPixel((r[0] + r[1]) / 2, (g[0] + g[1]) / 2, (b[0] + b[1]) / 2, 255);
    palette[3] = 0;
  }
}

void DecodeAlphaBlock(const std::uint8_t* block, std::uint32_t* out) {
  unsigned palette[8];
  BuildAlphaPalette(block[0], block[1], palette);
  std::uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= std::uint64_t(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) {
    const unsigned a = palette[(bits >> (3 * i)) & 7];
    out[i] = (out[i] & 0x00FFFFFFu) | (a << 24);
  }
}

namespace {

void DecodeColorBlock(const std::uint8_t* block, bool isDXT1, std::uint32_t* out) {
  std::uint32_t palette[4];
  DecodeColorPalette(block, !isDXT1, palette);
  const std::uint32_t indices = LoadLE32(block + 4);
  // Flat blocks (all index 2 or all index 3) are filled at once.
  if (indices == 0xAAAAAAAAu || indices == 0xFFFFFFFFu) {
    const std::uint32_t c = palette[indices & 3];
    for (int i = 0; i < 16; ++i) out[i] = c;
    return;
  }
  for (int i = 0; i < 16; ++i) out[i] = palette[(indices >> (2 * i)) & 3];
}

}  // namespace

void DecodeDXTBlock(const std::uint8_t* source, bool isDXT1, std::uint8_t* destination) {
  std::uint32_t pixels[16];
  if (isDXT1) {
    DecodeColorBlock(source, true, pixels);
  } else {
    DecodeColorBlock(source + 8, false, pixels);
    DecodeAlphaBlock(source, pixels);
  }
  for (int i = 0; i < 16; ++i) StoreLE32(destination + 4 * i, pixels[i]);
}

void DecodeDXTImage(const std::uint8_t* source, bool isDXT1, int width, TDxtStoreBlock store,
                    void* image, int height) {
  const int blockBytes = isDXT1 ? 8 : 16;
  std::uint8_t block[64];
  for (int y = 0; y < height; y += 4) {
    for (int x = 0; x < width; x += 4) {
      DecodeDXTBlock(source, isDXT1, block);
      store(image, x, y, block);
      source += blockBytes;
    }
  }
}

}  // namespace ashtint
