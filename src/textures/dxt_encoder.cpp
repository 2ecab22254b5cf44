// Block encoder: preparation of the colour set, the exact single-colour and transparent
// paths, and the image loop.
#include <bit>

#include "textures/dxt_codec.h"
#include "textures/dxt_internal.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ASHTINT_PREPARE_SSE2 1
#endif

namespace ashtint {

namespace {

// Index of the first of the count colours equal to rgb, or count when there is none.
inline int FindColor(const std::uint32_t* colors, int count, std::uint32_t rgb) {
#ifdef ASHTINT_PREPARE_SSE2
  const __m128i key = _mm_set1_epi32(int(rgb));
  for (int b = 0; b < count; b += 4) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + b));
    unsigned mask = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(c, key))));
    if (count - b < 4) mask &= (1u << (count - b)) - 1;
    if (mask) return b + std::countr_zero(mask);
  }
  return count;
#else
  int k = 0;
  while (k < count && colors[k] != rgb) ++k;
  return k;
#endif
}

}  // namespace

void PrepareDxtColorSet(const std::uint32_t* pixels, bool isDXT1, TDxtColorSet& set) {
  const unsigned threshold = isDXT1 ? 128 : 1;
  set.IsDXT1 = isDXT1 ? 1 : 0;
  set.Count = 0;
  bool binary = true;
  int transparent = 0;
  unsigned sum[3] = {0, 0, 0};
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t p = pixels[i];
    const unsigned a = PixelAlpha(p);
    if (a != 0 && a != 255) binary = false;
    const std::uint32_t rgb = p & 0x00FFFFFFu;
    if (a < threshold) {
      set.Map[i] = -1;
      set.Pixels[i] = rgb;
      ++transparent;
      sum[0] += PixelBlue(p), sum[1] += PixelGreen(p), sum[2] += PixelRed(p);
      continue;
    }
    const int k = FindColor(set.Colors, set.Count, rgb);
    if (k == set.Count) {
      set.Colors[k] = rgb;
      set.Weights[k] = int(a);
      ++set.Count;
    } else {
      set.Weights[k] += int(a);
    }
    set.Map[i] = std::int8_t(k);
    set.Pixels[i] = p;
  }
  set.AlphaIsBinary = binary ? 1 : 0;
  set.ThreeColor = transparent > 0 ? 1 : 0;
  if (!isDXT1 && transparent > 0 && set.Count > 0) {
    // DXT5 keeps the 4-colour mode: the transparent pixels join as one lightly weighted colour.
    const unsigned n = unsigned(transparent);
    const std::uint32_t mean = PackPixel((sum[2] + n / 2) / n, (sum[1] + n / 2) / n,
                                         (sum[0] + n / 2) / n, 0);
    const int k = set.Count++;
    set.Colors[k] = mean;
    set.Weights[k] = int(2 * n);
    for (int i = 0; i < 16; ++i) {
      if (set.Map[i] < 0) {
        set.Map[i] = std::int8_t(k);
        set.Pixels[i] = mean | 0x02000000u;
      }
    }
    set.ThreeColor = 0;
  }
}

namespace {

void EncodeSingleColor(const TDxtColorSet& set, std::uint8_t* destination) {
  const std::uint32_t c = set.Colors[0];
  const bool threeColor = set.ThreeColor != 0;
  const TSingleColorEntry* green = SingleColorTable(threeColor ? 0 : 2);
  const TSingleColorEntry* other = SingleColorTable(threeColor ? 1 : 3);
  const TSingleColorEntry& r = other[PixelRed(c)];
  const TSingleColorEntry& g = green[PixelGreen(c)];
  const TSingleColorEntry& b = other[PixelBlue(c)];
  const unsigned p = unsigned(r.First << 11 | g.First << 5 | b.First);
  const unsigned q = unsigned(r.Second << 11 | g.Second << 5 | b.Second);
  unsigned c0, c1;
  std::uint32_t indices = 0;
  if (threeColor) {
    c0 = p < q ? p : q;
    c1 = p < q ? q : p;
    for (int i = 0; i < 16; ++i) indices |= std::uint32_t(set.Map[i] < 0 ? 3 : 2) << (2 * i);
  } else {
    c0 = p >= q ? p : q;
    c1 = p >= q ? q : p;
    indices = p >= q ? 0xAAAAAAAAu : 0xFFFFFFFFu;
  }
  StoreLE16(destination, c0);
  StoreLE16(destination + 2, c1);
  StoreLE32(destination + 4, indices);
}

void EncodeBinaryAlpha(const std::uint32_t* pixels, std::uint8_t* destination) {
  destination[0] = 0;
  destination[1] = 5;
  std::uint64_t bits = 0;
  for (int i = 0; i < 16; ++i) bits |= std::uint64_t(PixelAlpha(pixels[i]) & 7) << (3 * i);
  for (int i = 0; i < 6; ++i) destination[2 + i] = std::uint8_t(bits >> (8 * i));
}

}  // namespace

void EncodeDXTBlock(std::uint8_t* destination, const std::uint32_t* pixels, int flags) {
  const bool isDXT1 = (flags & DxtFlagDXT1) != 0;
  const bool queue = (flags & DxtFlagQueue) == DxtFlagQueue;
  TDxtColorSet set;
  PrepareDxtColorSet(pixels, isDXT1, set);
  std::uint8_t* colorBlock = destination;
  if (!isDXT1) {
    colorBlock = destination + 8;
    bool allTransparent = true;
    for (int i = 0; i < 16; ++i) allTransparent = allTransparent && PixelAlpha(pixels[i]) == 0;
    if (set.AlphaIsBinary) {
      EncodeBinaryAlpha(pixels, destination);
    } else if (allTransparent) {
      for (int i = 0; i < 8; ++i) destination[i] = 0;
    } else {
      TDxtColorSet job;
      for (int i = 0; i < 16; ++i) job.Pixels[i] = pixels[i];
      if (!queue || !QueueDxtJob(job, destination)) EncodeDxt5AlphaFit(pixels, destination);
    }
  }
  if (set.Count == 0) {
    StoreLE32(colorBlock, 0);
    StoreLE32(colorBlock + 4, 0xFFFFFFFFu);
  } else if (set.Count == 1) {
    EncodeSingleColor(set, colorBlock);
  } else if (!queue || !QueueDxtJob(set, colorBlock)) {
    EncodeDxtClusterFit(set, colorBlock);
  }
}

void EncodeDXTImage(std::uint8_t* destination, int flags, int width, TDxtFetchBlock fetch,
                    const void* image, int height) {
  const int blockBytes = (flags & DxtFlagDXT1) ? 8 : 16;
  std::uint32_t pixels[16];
  for (int y = 0; y < height; y += 4) {
    for (int x = 0; x < width; x += 4) {
      fetch(image, x, y, pixels);
      EncodeDXTBlock(destination, pixels, flags);
      destination += blockBytes;
    }
  }
}

}  // namespace ashtint
