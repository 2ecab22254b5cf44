#include "textures/dds_creator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "textures/bitmap32.h"
#include "textures/dds_file.h"
#include "textures/dxt_codec.h"
#include "textures/dxt_dim.h"
#include "textures/dxt_internal.h"
#include "textures/dxt_mt.h"

namespace ashtint {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One or two hex digits from position pos; -1 when there are none or one is not hex.
int HexPair(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return -1;
  const std::string_view pair = text.substr(pos, 2);
  int value = 0;
  for (char c : pair) {
    const int d = HexDigit(c);
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  return value;
}

// Encodes the image as level 0 (and its chain) after a header; the whole file in `file`.
bool EncodeDDS(TBitmap32& image, int format, bool withChain, TBytesArray& file) {
  std::vector<std::uint64_t> sizes;
  if (!DDSLevelSizes(format, image.Width, image.Height, withChain, sizes)) return false;
  std::uint64_t total = DDSHeaderBytes;
  for (std::uint64_t s : sizes) total += s;
  file.assign(std::size_t(total), 0);
  TDDSHeader header;
  BuildDDSHeader(image.Width, image.Height, int(sizes.size()), header, format);
  StoreDDSHeader(header, file.data());
  std::size_t offset = DDSHeaderBytes;
  for (std::size_t level = 0; level < sizes.size(); ++level) {
    if (level > 0) HalveBitmap(image);
    EncodeDXTImageMT(file.data() + offset, format == DDSFormatDXT1, image.Width,
                     FetchBitmapBlock, &image, image.Height);
    offset += std::size_t(sizes[level]);
  }
  return true;
}

// Whether the texture written for an image of this size fits the format's limits; asked before
// decoding, so a texture that cannot be written is never decoded.
bool CanEncode(int format, int width, int height, bool withChain) {
  std::vector<std::uint64_t> sizes;
  return DDSLevelSizes(format, width, height, withChain, sizes);
}

void DecodeDDS(const TBytesArray& file, const TDDSInfo& info, TBitmap32& image) {
  image.SetSize(info.Width, info.Height);
  DecodeDXTImage(file.data() + DDSHeaderBytes, info.Format == DDSFormatDXT1, info.Width,
                 StoreBitmapBlock, &image, info.Height);
}

bool CreateColorDDSImpl(TBytesArray& stream, int width, int height, std::string_view colorText) {
  std::uint32_t color;
  if (!ParseColorText(colorText, color)) return false;
  if (width <= 0 || height <= 0) return false;
  std::vector<std::uint64_t> sizes;
  if (!DDSLevelSizes(DDSFormatDXT1, width, height, true, sizes)) return false;  // before allocating
  TBitmap32 image;
  image.SetSize(width, height, color);
  TBytesArray file;
  if (!EncodeDDS(image, DDSFormatDXT1, true, file)) return false;
  stream.swap(file);
  return true;
}

bool RepaintDDSImpl(TBytesArray& stream, std::string_view colorText) {
  std::uint32_t color;
  if (!ParseColorText(colorText, color)) return false;
  const bool colorHasAlpha = colorText.size() > 7;
  TDDSInfo info;
  if (!ReadDDSInfo(stream, info)) return false;
  const int w = info.Width < 4 ? 4 : info.Width;
  const int h = info.Height < 4 ? 4 : info.Height;
  if (!CanEncode(info.Format, w, h, info.HasChain)) return false;
  TBitmap32 image;
  DecodeDDS(stream, info, image);
  if (w != image.Width || h != image.Height) {
    // Extended at the right and bottom; added pixels are transparent.
    TBitmap32 larger;
    larger.SetSize(w, h, 0);
    for (int y = 0; y < image.Height; ++y)
      for (int x = 0; x < image.Width; ++x) larger.At(x, y) = image.At(x, y);
    image = std::move(larger);
  }
  RepaintBitmap(image, color, colorHasAlpha);
  TBytesArray file;
  if (!EncodeDDS(image, info.Format, info.HasChain, file)) return false;
  stream.swap(file);
  return true;
}

// Level 1 of the dimmed image of a DXT level of whole blocks (width and height multiples of
// 4), decoded block by block: each 2 x 2 group of dimmed pixels averaged as HalveBitmap does.
void DecodeDimHalve(const std::uint8_t* data, bool isDXT1, int width, int height, int visibility,
                    TBitmap32& half) {
  std::uint32_t dimmed[256];
  for (int v = 0; v < 256; ++v)
    dimmed[v] = visibility >= 100 ? std::uint32_t(v) : visibility < 1 ? 0 : std::uint32_t(visibility * v / 100);
  half.SetSize(width / 2, height / 2);
  const std::size_t blockBytes = isDXT1 ? 8 : 16;
  const std::size_t blocksPerRow = std::size_t(width / 4);
  // Rows of blocks shared over the processors: each writes its own rows of the half image.
  ShareOverProcessors(std::size_t(height / 4), 64, [&](std::size_t firstRow, std::size_t rows) {
    const std::uint8_t* block = data + firstRow * blocksPerRow * blockBytes;
    std::uint32_t px[16];
    for (int by = int(firstRow) * 4; by < int(firstRow + rows) * 4; by += 4) {
      for (int bx = 0; bx < width; bx += 4, block += blockBytes) {
        // The pixels take their colours from the palette, so its four entries are dimmed and
        // not the sixteen pixels.
        const std::uint8_t* colorBlock = isDXT1 ? block : block + 8;
        std::uint32_t palette[4];
        DecodeColorPalette(colorBlock, !isDXT1, palette);
        for (std::uint32_t& p : palette)
          p = (p & 0xFF000000u) | dimmed[(p >> 16) & 255] << 16 | dimmed[(p >> 8) & 255] << 8 | dimmed[p & 255];
        const std::uint32_t indices = LoadLE32(colorBlock + 4);
        for (int i = 0; i < 16; ++i) px[i] = palette[(indices >> (2 * i)) & 3];
        if (!isDXT1) DecodeAlphaBlock(block, px);
        for (int qy = 0; qy < 2; ++qy) {
          for (int qx = 0; qx < 2; ++qx) {
            const std::uint32_t a = px[8 * qy + 2 * qx], b = px[8 * qy + 2 * qx + 1];
            const std::uint32_t c = px[8 * qy + 4 + 2 * qx], d = px[8 * qy + 4 + 2 * qx + 1];
            // Blue with red and green with alpha summed in 16-bit lanes: four bytes never carry.
            const std::uint32_t br = (a & 0x00FF00FFu) + (b & 0x00FF00FFu) + (c & 0x00FF00FFu) + (d & 0x00FF00FFu);
            const std::uint32_t ga = ((a >> 8) & 0x00FF00FFu) + ((b >> 8) & 0x00FF00FFu) +
                                     ((c >> 8) & 0x00FF00FFu) + ((d >> 8) & 0x00FF00FFu);
            half.At(bx / 2 + qx, by / 2 + qy) = ((br >> 2) & 0x00FF00FFu) | (((ga >> 2) & 0x00FF00FFu) << 8);
          }
        }
      }
    }
  });
}

bool MakeTranslucentDDSImpl(TBytesArray& stream, int visibility, int ratio) {
  TDDSInfo info;
  if (!ReadDDSInfo(stream, info)) return false;
  int w, h;
  TranslucentSize(info.Width, info.Height, ratio, w, h);
  const bool resample = w != info.Width || h != info.Height;
  if (!resample && visibility >= 100) return true;  // fully visible: the game's own texture
  if (!CanEncode(info.Format, w, h, info.HasChain)) return false;
  if (resample) {
    TBitmap32 image;
    DecodeDDS(stream, info, image);
    DimBitmap(image, visibility);
    if (!ResampleBitmap(image, w, h)) return false;
    TBytesArray file;
    if (!EncodeDDS(image, info.Format, info.HasChain, file)) return false;
    stream.swap(file);
    return true;
  }
  // Same size: level 0 is dimmed block by block in place, without a new encode; the smaller
  // levels are made from the exactly dimmed pixels as before. Everything that can fail comes
  // before the first byte of the stream changes.
  const bool isDXT1 = info.Format == DDSFormatDXT1;
  std::vector<std::uint64_t> sizes;
  if (!DDSLevelSizes(info.Format, w, h, info.HasChain, sizes)) return false;
  std::uint64_t total = DDSHeaderBytes;
  for (std::uint64_t s : sizes) total += s;
  const std::size_t level0 = std::size_t(sizes[0]);
  TBytesArray mips(std::size_t(total) - DDSHeaderBytes - level0);
  if (sizes.size() > 1) {
    TBitmap32 image;
    if (w % 4 == 0 && h % 4 == 0) {
      // Whole blocks: level 1 straight from the decoded blocks, without the level-0 image.
      DecodeDimHalve(stream.data() + DDSHeaderBytes, isDXT1, w, h, visibility, image);
    } else {
      DecodeDDS(stream, info, image);
      DimBitmap(image, visibility);
      HalveBitmap(image);
    }
    std::size_t offset = 0;
    for (std::size_t k = 1; k < sizes.size(); ++k) {
      if (k > 1) HalveBitmap(image);
      EncodeDXTImageMT(mips.data() + offset, isDXT1, image.Width, FetchBitmapBlock, &image, image.Height);
      offset += std::size_t(sizes[k]);
    }
  }
  PrepareDimDXT(visibility);
  stream.resize(std::size_t(total));
  TDDSHeader header;
  BuildDDSHeader(w, h, int(sizes.size()), header, info.Format);
  StoreDDSHeader(header, stream.data());
  std::uint8_t* data = stream.data() + DDSHeaderBytes;
  DimDXTBlocks(data, data, std::size_t((w + 3) / 4) * std::size_t((h + 3) / 4), isDXT1, visibility);
  if (!mips.empty()) std::memcpy(data + level0, mips.data(), mips.size());
  return true;
}

}  // namespace

bool DecodeDDSImage(const TBytesArray& file, TBitmap32& image, TDDSInfo& info) {
  if (!ReadDDSInfo(file, info)) return false;
  DecodeDDS(file, info, image);
  return true;
}

void RepaintBitmap(TBitmap32& image, std::uint32_t color, bool colorHasAlpha) {
  const std::uint32_t rgb = color & 0x00FFFFFFu;
  for (std::uint32_t& p : image.Pixels) {
    if (colorHasAlpha) p = (p >> 24) == 0 ? rgb : color;
    else p = rgb | (p & 0xFF000000u);
  }
}

void DimBitmap(TBitmap32& image, int visibility) {
  if (visibility >= 100) return;
  std::uint32_t dimmed[256];  // per byte value; red, green and blue alike
  for (int v = 0; v < 256; ++v) dimmed[v] = visibility < 1 ? 0 : std::uint32_t(visibility * v / 100);
  for (std::uint32_t& p : image.Pixels)
    p = (p & 0xFF000000u) | dimmed[(p >> 16) & 255] << 16 | dimmed[(p >> 8) & 255] << 8 | dimmed[p & 255];
}

void TranslucentSize(int width, int height, int ratio, int& newWidth, int& newHeight) {
  newWidth = width;
  newHeight = height;
  if (ratio > 0) {
    newWidth = std::max(width / ratio, 16);
    newHeight = std::max(height / ratio, 16);
  }
}

bool EncodeDDSImage(const TBitmap32& image, int format, TBytesArray& file) {
  if (image.Width <= 0 || image.Height <= 0) return false;
  TBitmap32 copy = image;
  return EncodeDDS(copy, format, false, file);
}

bool ParseColorText(std::string_view text, std::uint32_t& color) {
  if (text.empty()) {
    color = 0xFF000000u;
    return true;
  }
  if (text[0] == ' ' || text[0] == '#' || text[0] == '$') text.remove_prefix(1);
  const int r = HexPair(text, 0), g = HexPair(text, 2), b = HexPair(text, 4);
  if (r < 0 || g < 0 || b < 0) return false;
  int a = 255;
  if (text.size() > 6) {
    a = HexPair(text, 6);
    if (a < 0) return false;
  }
  color = std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
  return true;
}

bool CreateColorDDS(TBytesArray& stream, int width, int height, std::string_view colorText) {
  try {
    return CreateColorDDSImpl(stream, width, height, colorText);
  } catch (...) {
    return false;
  }
}

bool CreateColorDDSFile(const std::string& fileName, int width, int height,
                        std::string_view colorText) {
  try {
    TBytesArray file;
    if (!CreateColorDDSImpl(file, width, height, colorText)) return false;
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    out.close();
    if (!out) {
      std::remove(fileName.c_str());  // never leave a cut-short texture behind
      return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool RepaintDDS(TBytesArray& stream, std::string_view colorText) {
  try {
    return RepaintDDSImpl(stream, colorText);
  } catch (...) {
    return false;
  }
}

bool MakeTranslucentDDS(TBytesArray& stream, int visibility, int ratio) {
  try {
    return MakeTranslucentDDSImpl(stream, visibility, ratio);
  } catch (...) {
    return false;
  }
}

}  // namespace ashtint
