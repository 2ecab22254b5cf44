// Exact bytes and decoding of the codec's block paths.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "textures/bitmap32.h"
#include "textures/dxt_codec.h"

using namespace ashtint;

namespace {

using TBlock = std::array<std::uint32_t, 16>;

std::uint32_t Px(unsigned r, unsigned g, unsigned b, unsigned a = 255) {
  return a << 24 | r << 16 | g << 8 | b;
}

std::array<std::uint8_t, 16> Encode(const TBlock& pixels, bool dxt1) {
  std::array<std::uint8_t, 16> out{};
  EncodeDXTBlock(out.data(), pixels.data(), dxt1 ? DxtFlagDXT1 : 0);
  return out;
}

TBlock Decode(const std::uint8_t* block, bool dxt1) {
  std::uint8_t raw[64];
  DecodeDXTBlock(block, dxt1, raw);
  TBlock out;
  for (int i = 0; i < 16; ++i)
    out[i] = raw[4 * i] | raw[4 * i + 1] << 8 | raw[4 * i + 2] << 16 | std::uint32_t(raw[4 * i + 3]) << 24;
  return out;
}

unsigned C0(const std::uint8_t* b) { return b[0] | b[1] << 8; }
unsigned C1(const std::uint8_t* b) { return b[2] | b[3] << 8; }
unsigned Index(const std::uint8_t* colorBlock, int pixel) {
  return (colorBlock[4 + pixel / 4] >> (2 * (pixel % 4))) & 3;
}

unsigned X5(unsigned v) { return (v << 3) | (v >> 2); }
unsigned X6(unsigned v) { return (v << 2) | (v >> 4); }

}  // namespace

TEST(DxtBlock, OpaqueRedIsExact) {
  TBlock b;
  b.fill(Px(255, 0, 0));
  const auto out = Encode(b, true);
  EXPECT_EQ(C0(out.data()), 0xF800u);
  EXPECT_EQ(C1(out.data()), 0xF800u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Index(out.data(), i), 2u);
  for (std::uint32_t p : Decode(out.data(), true)) EXPECT_EQ(p, Px(255, 0, 0));
}

TEST(DxtBlock, TransparentDxt1Block) {
  TBlock b;
  for (int i = 0; i < 16; ++i) b[i] = Px(i * 10, 200, 30, i * 8);  // all alpha below 128
  const auto out = Encode(b, true);
  const std::uint8_t expected[8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expected[i]) << i;
  for (std::uint32_t p : Decode(out.data(), true)) EXPECT_EQ(p, 0u);
}

TEST(DxtBlock, OneTranslucentPixelSelectsThreeColours) {
  // Both the single-colour path and the cluster fit must switch to the 3-colour mode.
  for (bool manyColours : {false, true}) {
    TBlock b;
    for (int i = 0; i < 16; ++i) b[i] = manyColours ? Px(16 * i, 255 - 16 * i, 40) : Px(10, 200, 90);
    b[5] = Px(10, 200, 90, 100);
    const auto out = Encode(b, true);
    EXPECT_LE(C0(out.data()), C1(out.data())) << manyColours;
    EXPECT_EQ(Index(out.data(), 5), 3u) << manyColours;
    for (int i = 0; i < 16; ++i) {
      if (i != 5) {
        EXPECT_NE(Index(out.data(), i), 3u) << manyColours << " pixel " << i;
      }
    }
    EXPECT_EQ(Decode(out.data(), true)[5], 0u);
  }
}

TEST(DxtBlock, SingleColourTablesReachTheClosestValue) {
  // Every channel value of a flat opaque block decodes to the nearest value any endpoint pair
  // can give with the index used (one third), and a flat block with a hole to the nearest
  // midpoint.
  int best5[256], best6[256], half5[256], half6[256];
  for (int v = 0; v < 256; ++v) {
    best5[v] = best6[v] = half5[v] = half6[v] = 999;
    for (unsigned a = 0; a < 64; ++a) {
      for (unsigned c = 0; c < 64; ++c) {
        if (a < 32 && c < 32) {
          best5[v] = std::min(best5[v], std::abs(int(2 * X5(a) + X5(c)) / 3 - v));
          half5[v] = std::min(half5[v], std::abs(int(X5(a) + X5(c)) / 2 - v));
        }
        best6[v] = std::min(best6[v], std::abs(int(2 * X6(a) + X6(c)) / 3 - v));
        half6[v] = std::min(half6[v], std::abs(int(X6(a) + X6(c)) / 2 - v));
      }
    }
  }
  for (int v = 0; v < 256; ++v) {
    TBlock b;
    b.fill(Px(v, v, 255 - v));
    for (bool dxt1 : {true, false}) {
      const auto out = Encode(b, dxt1);
      const std::uint32_t p = Decode(out.data(), dxt1)[0];
      EXPECT_EQ(std::abs(int((p >> 16) & 255) - v), best5[v]) << v;
      EXPECT_EQ(std::abs(int((p >> 8) & 255) - v), best6[v]) << v;
      EXPECT_EQ(std::abs(int(p & 255) - (255 - v)), best5[255 - v]) << v;
    }
    b[0] = 0;  // transparent: 3-colour mode, midpoint tables
    const auto out = Encode(b, true);
    EXPECT_LE(C0(out.data()), C1(out.data()));
    const std::uint32_t p = Decode(out.data(), true)[1];
    EXPECT_EQ(std::abs(int((p >> 16) & 255) - v), half5[v]) << v;
    EXPECT_EQ(std::abs(int((p >> 8) & 255) - v), half6[v]) << v;
    EXPECT_EQ(std::abs(int(p & 255) - (255 - v)), half5[255 - v]) << v;
  }
}

TEST(DxtBlock, Dxt5BinaryAlpha) {
  TBlock b;
  for (int i = 0; i < 16; ++i) b[i] = Px(3 * i, 100, 7 * i, (i % 3) ? 255 : 0);
  const auto out = Encode(b, false);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 5);
  std::uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= std::uint64_t(out[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) EXPECT_EQ((bits >> (3 * i)) & 7, (i % 3) ? 7u : 0u) << i;
  const TBlock d = Decode(out.data(), false);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(d[i] >> 24, (i % 3) ? 255u : 0u);
  // The colour half keeps the 4-colour mode although pixels are transparent.
  const std::uint8_t* colour = out.data() + 8;
  const bool allZero = [&] {
    for (int i = 0; i < 16; ++i)
      if (Index(colour, i) != 0) return false;
    return true;
  }();
  EXPECT_TRUE(C0(colour) > C1(colour) || (C0(colour) == C1(colour) && allZero));
}

TEST(DxtBlock, Dxt5TransparentPixelsWeighLittle) {
  // Visible pixels black and white, transparent ones a saturated green: the fit must serve the
  // visible pixels, the transparent colour only counts with weight 2 per pixel.
  TBlock b;
  for (int i = 0; i < 16; ++i) b[i] = i < 8 ? Px(0, 255, 0, 0) : (i % 2 ? Px(255, 255, 255) : Px(0, 0, 0));
  const auto out = Encode(b, false);
  const TBlock d = Decode(out.data(), false);
  for (int i = 8; i < 16; ++i) EXPECT_EQ(d[i], b[i]) << i;
}

TEST(DxtBlock, DecodeEqualEndpointsUsesThreeColours) {
  const std::uint8_t block[8] = {0x1F, 0x00, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};  // 0,1,2,3 per row
  const TBlock d = Decode(block, true);
  EXPECT_EQ(d[0], Px(0, 0, 255));
  EXPECT_EQ(d[1], Px(0, 0, 255));
  EXPECT_EQ(d[2], Px(0, 0, 255));
  EXPECT_EQ(d[3], 0u);
  // The same colour block inside DXT5 always decodes with four colours.
  std::uint8_t dxt5[16] = {255, 255, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 8; ++i) dxt5[8 + i] = block[i];
  EXPECT_EQ(Decode(dxt5, false)[3], Px(0, 0, 255));
}

TEST(DxtBlock, DecodesAlphaPalettes) {
  // 8-value palette a0 = 200 > a1 = 10, and 6-value palette 10 < 200 with 0 and 255.
  std::uint8_t block[16] = {200, 10};
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= std::uint64_t(i) << (3 * i);
  for (int i = 0; i < 6; ++i) block[2 + i] = std::uint8_t(bits >> (8 * i));
  TBlock d = Decode(block, false);
  const unsigned eight[8] = {200, 10, (6 * 200 + 10) / 7, (5 * 200 + 2 * 10) / 7, (4 * 200 + 3 * 10) / 7,
                             (3 * 200 + 4 * 10) / 7, (2 * 200 + 5 * 10) / 7, (200 + 6 * 10) / 7};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d[i] >> 24, eight[i]) << i;
  block[0] = 10, block[1] = 200;
  d = Decode(block, false);
  const unsigned six[8] = {10, 200, (4 * 10 + 200) / 5, (3 * 10 + 2 * 200) / 5, (2 * 10 + 3 * 200) / 5,
                           (10 + 4 * 200) / 5, 0, 255};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(d[i] >> 24, six[i]) << i;
}

TEST(DxtBlock, EdgeBlocksOfA6x6ImageUseThreeColours) {
  TBitmap32 image;
  image.SetSize(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) image.At(x, y) = Px(40 * x, 40 * y, 128);
  std::uint8_t out[4 * 8];
  EncodeDXTImage(out, DxtFlagDXT1, 6, FetchBitmapBlock, &image, 6);
  EXPECT_GT(C0(out), C1(out));  // the inner block is opaque: 4-colour mode
  for (int block = 1; block < 4; ++block) EXPECT_LE(C0(out + 8 * block), C1(out + 8 * block)) << block;
  TBitmap32 decoded;
  decoded.SetSize(6, 6);
  DecodeDXTImage(out, true, 6, StoreBitmapBlock, &decoded, 6);
  for (std::uint32_t p : decoded.Pixels) EXPECT_EQ(p >> 24, 255u);  // the outside was dropped
}

TEST(DxtBlock, ClusterFitIsCloseOnSmoothBlocks) {
  // A gradient between two 5:6:5 colours: the fit must land on the exact endpoints.
  TBlock b;
  const unsigned r0 = X5(4), r1 = X5(28), g0 = X6(60), g1 = X6(2), b0 = X5(9), b1 = X5(25);
  const unsigned steps[4] = {0, 1, 2, 3};
  for (int i = 0; i < 16; ++i) {
    const unsigned t = steps[i % 4];
    b[i] = Px(((3 - t) * r0 + t * r1) / 3, ((3 - t) * g0 + t * g1) / 3, ((3 - t) * b0 + t * b1) / 3);
  }
  const auto out = Encode(b, true);
  const TBlock d = Decode(out.data(), true);
  for (int i = 0; i < 16; ++i) {
    for (int s = 0; s < 24; s += 8)
      EXPECT_LE(std::abs(int((d[i] >> s) & 255) - int((b[i] >> s) & 255)), 1) << i;
  }
}

// A block of nearly one colour may be best as one palette entry between the endpoints. Such a
// split puts every colour in one cluster, where least squares has no answer; its endpoints were
// rounding noise. Over many such blocks the encoder must do at least as well as encoding the
// rounded mean colour alone, which the exact single-colour path does.
TEST(DxtBlock, NearlyFlatBlocksDoAtLeastAsWellAsTheirMeanColour) {
  std::mt19937 rng(5);
  for (const bool dxt1 : {true, false}) {
    double ours = 0, mean = 0;
    for (int trial = 0; trial < 4000; ++trial) {
      TBlock b;
      const int r = int(rng() % 250), g = int(rng() % 250), bl = int(rng() % 250);
      for (auto& p : b) p = Px(unsigned(r + int(rng() % 3)), unsigned(g + int(rng() % 3)), unsigned(bl + int(rng() % 3)));
      int sum[3] = {0, 0, 0};
      for (std::uint32_t p : b)
        for (int c = 0; c < 3; ++c) sum[c] += int((p >> (8 * c)) & 255);
      TBlock flat;
      flat.fill(Px(unsigned((sum[2] + 8) / 16), unsigned((sum[1] + 8) / 16), unsigned((sum[0] + 8) / 16)));
      const auto error = [&](const TBlock& decoded) {
        double e = 0;
        for (int i = 0; i < 16; ++i)
          for (int c = 0; c < 3; ++c) {
            const double d = double((b[i] >> (8 * c)) & 255) - double((decoded[i] >> (8 * c)) & 255);
            e += d * d;
          }
        return e;
      };
      const auto fitted = Encode(b, dxt1);
      const auto single = Encode(flat, dxt1);
      ours += error(Decode(fitted.data(), dxt1));
      mean += error(Decode(single.data(), dxt1));
    }
    EXPECT_LE(ours, mean) << "dxt1=" << dxt1;
  }
}
