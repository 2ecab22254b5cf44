// DXT1 / DXT5 block codec: block decoder and encoder and the image loops around them.
// Pixels are 32-bit values 0xAARRGGBB (bytes blue, green, red, alpha in memory).
#pragma once

#include <cstdint>

namespace ashtint {

inline constexpr int DxtFlagDXT1 = 0x01;
// All three bits set: the heavy part of a block goes to the compression threads. Meant for
// EncodeDXTImageMT only; without a multi-threaded encode under way the block is encoded at once.
inline constexpr int DxtFlagQueue = 0x70;

// One prepared block for the colour encoder; the compression threads queue copies of it.
struct TDxtColorSet {
  std::uint8_t IsDXT1 = 0;
  std::uint8_t ThreeColor = 0;
  std::uint8_t AlphaIsBinary = 0;
  std::int32_t Count = 0;          // distinct colours 0..16
  std::uint32_t Pixels[16] = {};   // block pixels, alpha as prepared
  std::uint32_t Colors[16] = {};   // distinct colours, alpha byte 0
  std::int32_t Weights[16] = {};   // per colour, the sum of its pixels' alpha
  std::int8_t Map[16] = {};        // per pixel, index into Colors or -1 when transparent
};

// Fills 16 pixels of the 4x4 block at (x, y) of the image.
using TDxtFetchBlock = void (*)(const void* image, int x, int y, std::uint32_t* pixels);
// Takes a decoded 4x4 block (4 rows of 16 bytes) for position (x, y) of the image.
using TDxtStoreBlock = void (*)(void* image, int x, int y, const std::uint8_t* block);

void DecodeDXTBlock(const std::uint8_t* source, bool isDXT1, std::uint8_t* destination);
void DecodeDXTImage(const std::uint8_t* source, bool isDXT1, int width, TDxtStoreBlock store,
                    void* image, int height);

void EncodeDXTBlock(std::uint8_t* destination, const std::uint32_t* pixels, int flags);
void EncodeDXTImage(std::uint8_t* destination, int flags, int width, TDxtFetchBlock fetch,
                    const void* image, int height);

// Parts of the block encoder, shared with the compression threads.
void PrepareDxtColorSet(const std::uint32_t* pixels, bool isDXT1, TDxtColorSet& set);
// Colour half (8 bytes) of a block with two or more colours.
void EncodeDxtClusterFit(const TDxtColorSet& set, std::uint8_t* destination);
// Alpha half (8 bytes) of a DXT5 block whose alpha has values other than 0 and 255.
void EncodeDxt5AlphaFit(const std::uint32_t* pixels, std::uint8_t* destination);

}  // namespace ashtint
