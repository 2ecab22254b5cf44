// 32-bit images (pixels 0xAARRGGBB, rows from the top) and the operations the texture jobs
// need on them.
#pragma once

#include <cstdint>
#include <vector>

namespace ashtint {

struct TBitmap32 {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;  // Width x Height, row by row

  void SetSize(int width, int height, std::uint32_t fill = 0);
  std::uint32_t& At(int x, int y) { return Pixels[std::size_t(y) * Width + x]; }
  std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * Width + x]; }
};

// Bilinear resampling in place; false (image unchanged) for a source one pixel wide or high
// and for an empty target.
bool ResampleBitmap(TBitmap32& image, int width, int height);
// The next mipmap level in place.
void HalveBitmap(TBitmap32& image);

// Block routines of the codec's image loops; the image argument is a TBitmap32.
// Positions outside the image are transparent (alpha 0, colour of the nearest edge pixel).
void FetchBitmapBlock(const void* image, int x, int y, std::uint32_t* pixels);
// Copies the decoded block into the image, dropping positions outside it.
void StoreBitmapBlock(void* image, int x, int y, const std::uint8_t* block);

}  // namespace ashtint
