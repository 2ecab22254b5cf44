#include "textures/dds_file.h"

#include <cstring>

#include "textures/dxt_internal.h"

namespace ashtint {

namespace {
constexpr std::uint32_t FourCCDXT1 = 0x31545844;  // "DXT1"
constexpr std::uint32_t FourCCDXT5 = 0x35545844;  // "DXT5"
}  // namespace

void BuildDDSHeader(int width, int height, int levelCount, TDDSHeader& header, int format) {
  std::memset(&header, 0, sizeof header);
  const bool chain = levelCount > 1;
  header.Magic = 0x20534444;  // "DDS "
  header.Size = 124;
  // What the game's own textures carry: caps, height, width, pixel format and linear size, plus
  // the mipmap count when a chain follows.
  header.Flags = chain ? 0x000A1007u : 0x00081007u;
  header.Height = std::uint32_t(height);
  header.Width = std::uint32_t(width);
  header.LinearSize = std::uint32_t(DXTLevelSize(format, width, height));
  header.MipMapCount = chain ? std::uint32_t(levelCount) : 0;
  header.PixelFormatSize = 32;
  header.PixelFormatFlags = 4;
  header.FourCC = format == DDSFormatDXT5 ? FourCCDXT5 : FourCCDXT1;
  header.Caps = chain ? 0x00401008u : 0x00001000u;
}

void StoreDDSHeader(const TDDSHeader& header, std::uint8_t* destination) {
  const auto* fields = reinterpret_cast<const std::uint32_t*>(&header);
  for (std::size_t i = 0; i < DDSHeaderBytes / 4; ++i) StoreLE32(destination + 4 * i, fields[i]);
}

void LoadDDSHeader(const std::uint8_t* source, TDDSHeader& header) {
  auto* fields = reinterpret_cast<std::uint32_t*>(&header);
  for (std::size_t i = 0; i < DDSHeaderBytes / 4; ++i) fields[i] = LoadLE32(source + 4 * i);
}

std::uint64_t DXTLevelSize(int format, int width, int height) {
  const std::uint64_t blockBytes = format == DDSFormatDXT5 ? 16 : 8;
  return (std::uint64_t(width) + 3) / 4 * ((std::uint64_t(height) + 3) / 4) * blockBytes;
}

bool DDSLevelSizes(int format, int width, int height, bool withChain,
                   std::vector<std::uint64_t>& sizes) {
  sizes.clear();
  if (!withChain) {
    sizes.push_back(DXTLevelSize(format, width, height));
    return true;
  }
  int w = width, h = height;
  while (w > 1 || h > 1) {
    if (sizes.size() == DDSMaxLevels) return false;
    sizes.push_back(DXTLevelSize(format, w, h));
    if (w > 1) w /= 2;
    if (h > 1) h /= 2;
  }
  if (sizes.size() == DDSMaxLevels) return false;
  sizes.push_back(DXTLevelSize(format, 1, 1));
  return true;
}

bool ReadDDSInfo(const TBytesArray& file, TDDSInfo& info) {
  if (file.size() < DDSHeaderBytes) return false;
  TDDSHeader header;
  LoadDDSHeader(file.data(), header);
  if (header.FourCC == FourCCDXT5) info.Format = DDSFormatDXT5;
  else if (header.FourCC == FourCCDXT1) info.Format = DDSFormatDXT1;
  else return false;
  const auto width = static_cast<std::int32_t>(header.Width);
  const auto height = static_cast<std::int32_t>(header.Height);
  // An empty image has nothing to edit and no valid chain: rejected like a negative size.
  if (width <= 0 || height <= 0) return false;
  if (file.size() - DDSHeaderBytes < DXTLevelSize(info.Format, width, height)) return false;
  info.Width = width;
  info.Height = height;
  info.HasChain = header.MipMapCount > 1;
  return true;
}

}  // namespace ashtint
