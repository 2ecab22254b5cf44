// Helpers shared by the codec's files; not part of the subsystem's interface.
#pragma once

#include <cstdint>

#include "textures/dxt_cluster_search.h"
#include "textures/dxt_codec.h"

namespace ashtint {

inline unsigned Expand5(unsigned v) { return (v << 3) | (v >> 2); }
inline unsigned Expand6(unsigned v) { return (v << 2) | (v >> 4); }

inline std::uint32_t PackPixel(unsigned r, unsigned g, unsigned b, unsigned a) {
  return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b;
}
inline unsigned PixelBlue(std::uint32_t p) { return p & 255; }
inline unsigned PixelGreen(std::uint32_t p) { return (p >> 8) & 255; }
inline unsigned PixelRed(std::uint32_t p) { return (p >> 16) & 255; }
inline unsigned PixelAlpha(std::uint32_t p) { return p >> 24; }

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v), p[1] = std::uint8_t(v >> 8), p[2] = std::uint8_t(v >> 16),
  p[3] = std::uint8_t(v >> 24);
}
inline void StoreLE16(std::uint8_t* p, unsigned v) {
  p[0] = std::uint8_t(v), p[1] = std::uint8_t(v >> 8);
}

// The eight entries of a DXT5 alpha palette, as the decoder builds them.
inline void BuildAlphaPalette(unsigned a0, unsigned a1, unsigned* palette) {
  palette[0] = a0;
  palette[1] = a1;
  if (a0 > a1) {
    for (unsigned i = 2; i < 8; ++i) palette[i] = ((8 - i) * a0 + (i - 1) * a1) / 7;
  } else {
    for (unsigned i = 2; i < 6; ++i) palette[i] = ((6 - i) * a0 + (i - 1) * a1) / 5;
    palette[6] = 0;
    palette[7] = 255;
  }
}

// The decoder's four colours of a colour block (the 3-colour mode's last one transparent black
// unless forceFourColor), and its setting of the 16 pixels' alpha from a DXT5 alpha block.
void DecodeColorPalette(const std::uint8_t* block, bool forceFourColor, std::uint32_t* palette);
void DecodeAlphaBlock(const std::uint8_t* block, std::uint32_t* out);

// Endpoint pairs of the single-colour tables: index 0 6-bit half point, 1 5-bit half point,
// 2 6-bit one-third point, 3 5-bit one-third point.
struct TSingleColorEntry {
  std::uint8_t First, Second;
};
const TSingleColorEntry* SingleColorTable(int which);

}  // namespace ashtint

namespace ashtint {
// The alpha fit's forms: plain, SSE2 and AVX2 give the same bytes. The fit uses the best the
// processor has; tests pick one.
enum class TAlphaFitForm { Plain, SSE2, AVX2 };
bool AlphaFitFormAvailable(TAlphaFitForm form);
void EncodeDxt5AlphaFitForm(const std::uint32_t* pixels, std::uint8_t* destination, TAlphaFitForm form);

// A DXT5 block's alpha values, and each distinct value once with the number of its pixels.
struct TAlphaValues {
  std::uint8_t Pixel[16];
  std::uint8_t Value[16], Count[16];
  int Distinct;
};

// A round of the alpha fit measures the 7 x 7 pairs around (a0, a1): candidate i is
// (a0 - 3 + i / 7, a1 - 3 + i % 7). A pair off the byte range or out of the mode's order
// (first endpoint larger in the eight-value mode, smaller in the six-value one) gets
// kAlphaNoCandidate.
inline constexpr int kAlphaRoundCandidates = 49;
inline constexpr int kAlphaNoCandidate = 0x7fffffff;

#ifdef ASHTINT_DXT_X86
void AlphaRoundErrorsAVX2(const TAlphaValues& values, int a0, int a1, bool eight, int* errors);
#endif
}  // namespace ashtint

namespace ashtint {
// Hands a colour job (Count >= 2) or an alpha job (Count 0, raw pixels) to the compression
// threads; false when no multi-threaded encode is running or the queue is full, and the caller
// encodes it itself.
bool QueueDxtJob(const TDxtColorSet& payload, std::uint8_t* destination);
}  // namespace ashtint
