#include "textures/dds_creator.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "textures/bitmap32.h"
#include "textures/dds_file.h"
#include "textures/dxt_codec.h"
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

bool MakeTranslucentDDSImpl(TBytesArray& stream, int visibility, int ratio) {
  TDDSInfo info;
  if (!ReadDDSInfo(stream, info)) return false;
  int w, h;
  TranslucentSize(info.Width, info.Height, ratio, w, h);
  if (!CanEncode(info.Format, w, h, info.HasChain)) return false;
  TBitmap32 image;
  DecodeDDS(stream, info, image);
  DimBitmap(image, visibility);
  if ((w != info.Width || h != info.Height) && !ResampleBitmap(image, w, h)) return false;
  TBytesArray file;
  if (!EncodeDDS(image, info.Format, info.HasChain, file)) return false;
  stream.swap(file);
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
  for (std::uint32_t& p : image.Pixels) {
    if (visibility < 1) {
      p &= 0xFF000000u;
      continue;
    }
    std::uint32_t out = p & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
      out |= std::uint32_t(visibility * int((p >> shift) & 255) / 100) << shift;
    p = out;
  }
}

void TranslucentSize(int width, int height, int ratio, int& newWidth, int& newHeight) {
  newWidth = width;
  newHeight = height;
  if (ratio > 0) {
    newWidth = std::max(width / ratio, 16);
    newHeight = std::max(height / ratio, 16);
  }
}

void CompressedLook(TBitmap32& image, int format) {
  if (image.Width <= 0 || image.Height <= 0) return;
  TBytesArray blocks(std::size_t(DXTLevelSize(format, image.Width, image.Height)));
  EncodeDXTImageMT(blocks.data(), format == DDSFormatDXT1, image.Width, FetchBitmapBlock, &image,
                   image.Height);
  DecodeDXTImage(blocks.data(), format == DDSFormatDXT1, image.Width, StoreBitmapBlock, &image,
                 image.Height);
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
