// Camouflages dimmed block by block: what a player sees must be at least as close to the exactly
// dimmed texture as a full re-encode was, alpha and transparency must not move at all, and a
// fully visible camouflage stays the game's file.
#include <gtest/gtest.h>

#include <vector>

#include "texture_corpus.h"
#include "texture_test_util.h"
#include "textures/dds_creator.h"
#include "textures/dds_file.h"
#include "textures/dxt_dim.h"
#include "textures/dxt_dim_search.h"

using namespace ashtint;
using namespace ashtint::testutil;

namespace {

void DimPixels(TBitmap32& image, int visibility) {
  for (auto& p : image.Pixels) {
    std::uint32_t out = p & 0xFF000000u;
    for (int s = 0; s < 24; s += 8) out |= std::uint32_t(visibility * int((p >> s) & 255) / 100) << s;
    p = out;
  }
}

// Alpha-weighted squared RGB error of a decoded level against the exact pixels.
double WeightedError(const TBitmap32& exact, const TBitmap32& got) {
  double sum = 0;
  for (std::size_t i = 0; i < exact.Pixels.size(); ++i) {
    const std::uint32_t x = exact.Pixels[i], y = got.Pixels[i];
    for (int s = 0; s < 24; s += 8) {
      const double d = double((x >> s) & 255) - double((y >> s) & 255);
      sum += double(x >> 24) * d * d;
    }
  }
  return sum;
}

std::vector<std::uint8_t> Dim(const std::vector<std::uint8_t>& blocks, bool dxt1, int visibility) {
  std::vector<std::uint8_t> out(blocks.size());
  DimDXTBlocks(blocks.data(), out.data(), blocks.size() / (dxt1 ? 8 : 16), dxt1, visibility);
  return out;
}

TBytesArray WithChain(TBitmap32 image, bool dxt1) {
  const int format = dxt1 ? DDSFormatDXT1 : DDSFormatDXT5;
  std::vector<std::uint64_t> sizes;
  EXPECT_TRUE(DDSLevelSizes(format, image.Width, image.Height, true, sizes));
  TDDSHeader header;
  BuildDDSHeader(image.Width, image.Height, int(sizes.size()), header, format);
  TBytesArray file(DDSHeaderBytes);
  StoreDDSHeader(header, file.data());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i) HalveBitmap(image);
    const auto data = EncodeImage(image, dxt1);
    file.insert(file.end(), data.begin(), data.end());
  }
  return file;
}

}  // namespace

TEST(DimBlocks, AlphaAndTransparencyStayExactlyAsTheyWere) {
  for (const bool dxt1 : {true, false}) {
    const TBitmap32 image = RandomImage(64, 32, 7, true);
    const auto source = EncodeImage(image, dxt1);
    for (const int visibility : {0, 1, 37, 99}) {
      const auto dimmed = Dim(source, dxt1, visibility);
      const TBitmap32 before = DecodeImage(source, dxt1, 64, 32), after = DecodeImage(dimmed, dxt1, 64, 32);
      for (std::size_t i = 0; i < before.Pixels.size(); ++i) {
        ASSERT_EQ(after.Pixels[i] >> 24, before.Pixels[i] >> 24) << dxt1 << " " << visibility << " " << i;
        if (visibility == 0) {
          ASSERT_EQ(after.Pixels[i] & 0xFFFFFFu, 0u);
        }
      }
      for (std::size_t b = 0; !dxt1 && b < source.size(); b += 16) {
        ASSERT_TRUE(std::equal(source.begin() + b, source.begin() + b + 8, dimmed.begin() + b));
      }
    }
  }
}

// Summed over the images: on a single image a re-encode may come slightly closer (the encoder's
// single palette entry for nearly flat blocks helps it most), but not on the whole.
TEST(DimBlocks, RealTexturesComeCloserToTheExactResultThanAReencode) {
  std::vector<TBitmap32> images;
  for (const char* name : {"rock01.png", "astronaut.png", "shrub.png", "splash_1.png"}) {
    bool loaded = false;
    images.emplace_back();
    for (const auto& img : corpus::CorpusImages())
      if (corpus::ShortName(img.Path) == name) loaded = corpus::LoadCorpusImage(img.Path, images.back());
    ASSERT_TRUE(loaded) << name << " (install python3-skimage and extremetuxracer-data)";
  }
  for (const bool dxt1 : {true, false}) {
    for (const int visibility : {20, 30, 65}) {
      double reencoded = 0, dimmed = 0;
      for (const TBitmap32& image : images) {
        const auto source = EncodeImage(image, dxt1);
        TBitmap32 exact = DecodeImage(source, dxt1, image.Width, image.Height);
        DimPixels(exact, visibility);
        reencoded += WeightedError(exact, DecodeImage(EncodeImage(exact, dxt1), dxt1, exact.Width, exact.Height));
        dimmed += WeightedError(exact, DecodeImage(Dim(source, dxt1, visibility), dxt1, exact.Width, exact.Height));
      }
      EXPECT_LE(dimmed, reencoded) << "dxt1=" << dxt1 << " visibility " << visibility;
    }
  }
}

TEST(DimBlocks, VectorSearchChoosesThePairsOfThePlainOne) {
  // Both forms of the mappings' measure and of the search around the tabled pairs must choose
  // the very same mappings and endpoints, also next to the ends of the grid (random colours, visibilities near 0 and 100) and in the
  // 3-colour mode of DXT1.
  struct TGuard {
    ~TGuard() { SetDimNearVector(true); }
  } guard;
  if (!SetDimNearVector(true)) GTEST_SKIP() << "no AVX2 here";
  std::vector<TBitmap32> images = {RandomImage(64, 64, 11, true), RandomImage(64, 32, 12, false)};
  for (const char* name : {"rock01.png", "astronaut.png"}) {
    for (const auto& img : corpus::CorpusImages())
      if (corpus::ShortName(img.Path) == name && corpus::LoadCorpusImage(img.Path, images.emplace_back())) break;
    ASSERT_FALSE(images.back().Pixels.empty()) << name << " (install python3-skimage and extremetuxracer-data)";
  }
  for (const TBitmap32& image : images) {
    for (const bool dxt1 : {true, false}) {
      const auto source = EncodeImage(image, dxt1);
      for (const int visibility : {0, 1, 30, 65, 99}) {
        SetDimNearVector(false);
        const auto plain = Dim(source, dxt1, visibility);
        SetDimNearVector(true);
        EXPECT_EQ(Dim(source, dxt1, visibility), plain) << image.Width << " dxt1=" << dxt1 << " " << visibility;
      }
    }
  }
}

TEST(TranslucentDDS, LevelZeroDimmedInPlaceAndSmallerLevelsFromTheExactPixels) {
  for (const auto& [w, h] : {std::pair{40, 24}, std::pair{30, 10}}) {  // whole blocks, and cut ones
    const TBitmap32 image = RandomImage(w, h, 3, true);
    const TBytesArray source = WithChain(image, false);
    TBytesArray file = source;
    ASSERT_TRUE(MakeTranslucentDDS(file, 45, 0));
    ASSERT_EQ(file.size(), source.size());
    const std::size_t level0 = std::size_t(DXTLevelSize(DDSFormatDXT5, w, h));
    const std::vector<std::uint8_t> blocks(source.begin() + DDSHeaderBytes, source.begin() + DDSHeaderBytes + level0);
    const auto dimmed = Dim(blocks, false, 45);
    EXPECT_TRUE(std::equal(dimmed.begin(), dimmed.end(), file.begin() + DDSHeaderBytes)) << w;
    // Level 1 is encoded from the exactly dimmed level 0, halved.
    TBitmap32 exact = DecodeImage(blocks, false, w, h);
    DimPixels(exact, 45);
    HalveBitmap(exact);
    const auto level1 = EncodeImage(exact, false);
    EXPECT_TRUE(std::equal(level1.begin(), level1.end(), file.begin() + DDSHeaderBytes + level0)) << w;
  }
}

TEST(TranslucentDDS, FullyVisibleWithoutDownsizingKeepsTheFileByteForByte) {
  for (const bool dxt1 : {true, false}) {
    TBytesArray source = WithChain(RandomImage(32, 32, 5, true), dxt1);
    source[8] ^= 0x40;          // header flags other than the engine writes
    source[28] = 1;             // a mipmap count read as no chain
    source.push_back(0x5A);     // and bytes after the data
    TBytesArray file = source;
    ASSERT_TRUE(MakeTranslucentDDS(file, 100, 0));
    EXPECT_EQ(file, source);
    ASSERT_TRUE(MakeTranslucentDDS(file, 100, 1));  // 32 x 32 by 1: no resampling either
    EXPECT_EQ(file, source);
  }
}
