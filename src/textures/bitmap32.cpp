#include "textures/bitmap32.h"

#include "textures/dxt_internal.h"

namespace ashtint {

void TBitmap32::SetSize(int width, int height, std::uint32_t fill) {
  Width = width;
  Height = height;
  Pixels.assign(std::size_t(width) * std::size_t(height), fill);
}

bool ResampleBitmap(TBitmap32& image, int width, int height) {
  const int w = image.Width, h = image.Height;
  if (w < 2 || h < 2 || width <= 0 || height <= 0) return false;
  const float sx = float(width) / float(w - 1);
  const float sy = float(height) / float(h - 1);
  TBitmap32 result;
  result.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    const float v = float(y) / sy;
    const int j = int(v);
    const float fy = v - float(j);
    // Rounding can land exactly on the last row, where the second sample has weight 0.
    const int j1 = j + 1 < h ? j + 1 : h - 1;
    for (int x = 0; x < width; ++x) {
      const float u = float(x) / sx;
      const int i = int(u);
      const float fx = u - float(i);
      const int i1 = i + 1 < w ? i + 1 : w - 1;
      const std::uint32_t p00 = image.At(i, j), p10 = image.At(i1, j);
      const std::uint32_t p01 = image.At(i, j1), p11 = image.At(i1, j1);
      const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy);
      const float w01 = (1 - fx) * fy, w11 = fx * fy;
      std::uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        float sum = float((p00 >> shift) & 255) * w00;
        sum += float((p10 >> shift) & 255) * w10;
        sum += float((p01 >> shift) & 255) * w01;
        sum += float((p11 >> shift) & 255) * w11;
        int c = int(sum);
        c = c < 0 ? 0 : (c > 255 ? 255 : c);
        out |= std::uint32_t(c) << shift;
      }
      result.At(x, y) = out;
    }
  }
  image = std::move(result);
  return true;
}

void HalveBitmap(TBitmap32& image) {
  const int w = image.Width, h = image.Height;
  const int nw = w / 2 > 0 ? w / 2 : 1;
  const int nh = h / 2 > 0 ? h / 2 : 1;
  if (nw == w && nh == h) return;
  TBitmap32 result;
  result.SetSize(nw, nh);
  for (int k = 0; k < nh; ++k) {
    // Rows pair from the bottom: an odd height drops the top row.
    const int y = nh - 1 - k;
    const int r0 = h - 1 - 2 * k;
    const int r1 = h > 1 ? h - 2 - 2 * k : r0;
    for (int x = 0; x < nw; ++x) {
      const int c0 = 2 * x;
      const int c1 = w > 1 ? 2 * x + 1 : c0;
      const std::uint32_t p[4] = {image.At(c0, r0), image.At(c1, r0), image.At(c0, r1),
                                  image.At(c1, r1)};
      std::uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        unsigned sum = 0;
        for (std::uint32_t q : p) sum += (q >> shift) & 255;
        out |= std::uint32_t(sum >> 2) << shift;
      }
      result.At(x, y) = out;
    }
  }
  image = std::move(result);
}

void FetchBitmapBlock(const void* image, int x, int y, std::uint32_t* pixels) {
  const auto& bitmap = *static_cast<const TBitmap32*>(image);
  for (int row = 0; row < 4; ++row) {
    const int py = y + row;
    const int sy = py < bitmap.Height ? py : bitmap.Height - 1;
    for (int col = 0; col < 4; ++col) {
      const int px = x + col;
      const int sx = px < bitmap.Width ? px : bitmap.Width - 1;
      std::uint32_t p = bitmap.At(sx, sy);
      if (px != sx || py != sy) p &= 0x00FFFFFFu;
      pixels[4 * row + col] = p;
    }
  }
}

void StoreBitmapBlock(void* image, int x, int y, const std::uint8_t* block) {
  auto& bitmap = *static_cast<TBitmap32*>(image);
  for (int row = 0; row < 4 && y + row < bitmap.Height; ++row) {
    for (int col = 0; col < 4 && x + col < bitmap.Width; ++col)
      bitmap.At(x + col, y + row) = LoadLE32(block + 16 * row + 4 * col);
  }
}

}  // namespace ashtint
