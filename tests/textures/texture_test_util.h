// Helpers shared by the texture tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "common/arrays.h"
#include "textures/bitmap32.h"
#include "textures/dxt_codec.h"

namespace ashtint::testutil {

inline TBitmap32 RandomImage(int w, int h, unsigned seed, bool withAlpha) {
  std::mt19937 rng(seed);
  TBitmap32 image;
  image.SetSize(w, h);
  for (auto& p : image.Pixels) {
    p = rng() & 0x00FFFFFFu;
    const unsigned a = withAlpha ? (rng() % 4 == 0 ? 0u : rng() & 255u) : 255u;
    p |= a << 24;
  }
  return image;
}

inline std::vector<std::uint8_t> EncodeImage(const TBitmap32& image, bool dxt1) {
  const std::size_t blocks = std::size_t((image.Width + 3) / 4) * ((image.Height + 3) / 4);
  std::vector<std::uint8_t> out(blocks * (dxt1 ? 8 : 16));
  EncodeDXTImage(out.data(), dxt1 ? DxtFlagDXT1 : 0, image.Width, FetchBitmapBlock, &image,
                 image.Height);
  return out;
}

inline TBitmap32 DecodeImage(const std::vector<std::uint8_t>& data, bool dxt1, int w, int h) {
  TBitmap32 image;
  image.SetSize(w, h);
  DecodeDXTImage(data.data(), dxt1, w, StoreBitmapBlock, &image, h);
  return image;
}

// RGBA bytes in the order libsquish and stb_dxt take.
inline std::vector<std::uint8_t> ToRgba(const TBitmap32& image) {
  std::vector<std::uint8_t> rgba(image.Pixels.size() * 4);
  for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
    const std::uint32_t p = image.Pixels[i];
    rgba[4 * i] = std::uint8_t(p >> 16), rgba[4 * i + 1] = std::uint8_t(p >> 8);
    rgba[4 * i + 2] = std::uint8_t(p), rgba[4 * i + 3] = std::uint8_t(p >> 24);
  }
  return rgba;
}

// Sum of squared differences of red, green and blue (and separately alpha) between a source
// image and its decoding. With dxt1, pixels that DXT1 makes transparent (alpha below 128 in
// the source) have no colour to compare; with byAlpha, each pixel's colour error counts with
// (alpha / 255)^2, as it shows when blended and as the encoder weighs it.
inline void SquaredErrors(const TBitmap32& a, const TBitmap32& b, double& rgb, double& alpha,
                          bool dxt1 = false, bool byAlpha = false) {
  rgb = alpha = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); ++i) {
    const unsigned sourceAlpha = a.Pixels[i] >> 24;
    double weight = byAlpha ? (sourceAlpha / 255.0) * (sourceAlpha / 255.0) : 1.0;
    if (dxt1 && sourceAlpha < 128) weight = 0;
    for (int s = 0; s < 32; s += 8) {
      const double d = double((a.Pixels[i] >> s) & 255) - double((b.Pixels[i] >> s) & 255);
      if (s == 24) alpha += d * d;
      else rgb += weight * d * d;
    }
  }
}

}  // namespace ashtint::testutil
