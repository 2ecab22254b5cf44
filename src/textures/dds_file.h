// DDS files holding DXT1 or DXT5 images, optionally with their full mipmap chain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/arrays.h"

namespace ashtint {

inline constexpr int DDSFormatDXT1 = 1;
inline constexpr int DDSFormatDXT5 = 2;
inline constexpr std::size_t DDSHeaderBytes = 128;
inline constexpr int DDSMaxLevels = 13;

// The 4-byte magic and the 124-byte header, field by field (little-endian on disk).
struct TDDSHeader {
  std::uint32_t Magic, Size, Flags, Height, Width, LinearSize, Depth, MipMapCount;
  std::uint32_t Reserved1[11];
  std::uint32_t PixelFormatSize, PixelFormatFlags, FourCC, RGBBitCount;
  std::uint32_t RBitMask, GBitMask, BBitMask, ABitMask;
  std::uint32_t Caps, Caps2, Caps3, Caps4, Reserved2;
};
static_assert(sizeof(TDDSHeader) == DDSHeaderBytes);

// Clears the header and fills it for an image of the given size; levelCount 0 or 1 means
// no mipmap chain.
void BuildDDSHeader(int width, int height, int levelCount, TDDSHeader& header, int format);
void StoreDDSHeader(const TDDSHeader& header, std::uint8_t* destination);
void LoadDDSHeader(const std::uint8_t* source, TDDSHeader& header);

// Bytes of one level: whole 4x4 blocks of 8 (DXT1) or 16 (DXT5) bytes.
std::uint64_t DXTLevelSize(int format, int width, int height);

// Sizes of the levels written for an image: its whole chain down to 1x1 or only level 0.
// False when the chain would need more than 13 levels.
bool DDSLevelSizes(int format, int width, int height, bool withChain,
                   std::vector<std::uint64_t>& sizes);

// What a reader takes from a DDS file.
struct TDDSInfo {
  int Format = 0;
  int Width = 0;
  int Height = 0;
  bool HasChain = false;
};

// Accepts DXT1 and DXT5 files whose level 0 is complete; anything else is rejected.
bool ReadDDSInfo(const TBytesArray& file, TDDSInfo& info);

}  // namespace ashtint
