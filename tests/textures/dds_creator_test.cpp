// Colour texts, uniform textures, repainting, translucency, halving and resampling.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>

#include "texture_test_util.h"
#include "textures/bitmap32.h"
#include "textures/dds_creator.h"
#include "textures/dds_file.h"
#include "textures/dxt_mt.h"

using namespace ashtint;
using namespace ashtint::testutil;

// The largest single allocation since the last reset: shows whether a texture was decoded.
static std::atomic<std::size_t> g_largestAllocation{0};

void* operator new(std::size_t size) {
  std::size_t seen = g_largestAllocation.load();
  while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // the replacement new above uses malloc
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// 128 is not on the 5:6:5 grid: visible pixels decode within a few steps of it. The hidden
// colour of fully transparent pixels weighs almost nothing in the fit.
// Soft alpha is encoded again, so it may move by a few steps.
void ExpectGrey(std::uint32_t pixel, unsigned alpha, std::size_t i, int alphaTolerance = 0) {
  EXPECT_LE(std::abs(int(pixel >> 24) - int(alpha)), alphaTolerance) << i;
  if (alpha == 0) {
    EXPECT_EQ(pixel >> 24, 0u) << i;  // binary alpha values stay exact
    return;
  }
  for (int s = 0; s < 24; s += 8) EXPECT_LE(std::abs(int((pixel >> s) & 255) - 128), 4) << i;
}

// A DDS file of the image in the given format, with or without its chain.
TBytesArray MakeDDS(const TBitmap32& image, int format, bool chain) {
  std::vector<std::uint64_t> sizes;
  EXPECT_TRUE(DDSLevelSizes(format, image.Width, image.Height, chain, sizes));
  TDDSHeader header;
  BuildDDSHeader(image.Width, image.Height, int(sizes.size()), header, format);
  TBytesArray file(DDSHeaderBytes);
  StoreDDSHeader(header, file.data());
  TBitmap32 level = image;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i) HalveBitmap(level);
    const auto data = EncodeImage(level, format == DDSFormatDXT1);
    file.insert(file.end(), data.begin(), data.end());
  }
  return file;
}

TBitmap32 Level0(const TBytesArray& file, TDDSInfo& info) {
  EXPECT_TRUE(ReadDDSInfo(file, info));
  return DecodeImage(TBytesArray(file.begin() + DDSHeaderBytes, file.end()),
                     info.Format == DDSFormatDXT1, info.Width, info.Height);
}

std::uint32_t Field(const TBytesArray& file, std::size_t offset) {
  return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
         std::uint32_t(file[offset + 3]) << 24;
}

}  // namespace

TEST(ColorText, Parsing) {
  std::uint32_t c = 0;
  ASSERT_TRUE(ParseColorText("FF8000", c));
  EXPECT_EQ(c, 0xFFFF8000u);
  ASSERT_TRUE(ParseColorText("#FF8000", c));
  EXPECT_EQ(c, 0xFFFF8000u);
  ASSERT_TRUE(ParseColorText("$ff8000", c));
  EXPECT_EQ(c, 0xFFFF8000u);
  ASSERT_TRUE(ParseColorText("FF800080", c));
  EXPECT_EQ(c, 0x80FF8000u);
  ASSERT_TRUE(ParseColorText("", c));
  EXPECT_EQ(c, 0xFF000000u);
  ASSERT_TRUE(ParseColorText("FF80008", c));  // an alpha pair cut short: one digit
  EXPECT_EQ(c, 0x08FF8000u);
  ASSERT_TRUE(ParseColorText("12345", c));  // blue cut short
  EXPECT_EQ(c, 0xFF123405u);
  for (const char* bad : {"GG0000", "FF80", "#", "##FF8000", "FF8000GG", "FF 800"}) {
    EXPECT_FALSE(ParseColorText(bad, c)) << bad;
  }
  TBytesArray stream{9};
  EXPECT_FALSE(CreateColorDDS(stream, 16, 16, "GG0000"));
  EXPECT_EQ(stream, TBytesArray{9});
}

TEST(ColorDDS, CrashTextureFile) {
  const std::string path = std::string(ASHTINT_BINARY_DIR) + "/tank_crash_test.dds";
  std::remove(path.c_str());
  ASSERT_TRUE(CreateColorDDSFile(path, 16, 16, "#FFFFFF"));
  std::ifstream in(path, std::ios::binary);
  const TBytesArray file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), 312u);
  EXPECT_EQ(Field(file, 8), 0x000A1007u);  // mipmap count and linear size, as the game's own
  EXPECT_EQ(Field(file, 28), 5u);
  EXPECT_EQ(Field(file, 108), 0x00401008u);
  EXPECT_EQ(Field(file, 20), 128u);
  for (std::size_t b = 128; b < file.size(); b += 8) {
    EXPECT_EQ(Field(file, b), 0xFFFFFFFFu) << b;  // c0 = c1 = 0xFFFF
  }
  EXPECT_FALSE(CreateColorDDSFile(path + ".bad", 16, 16, "nothex"));
  EXPECT_FALSE(std::ifstream(path + ".bad").good());
  EXPECT_FALSE(CreateColorDDSFile(std::string(ASHTINT_BINARY_DIR) + "/no/such/folder/x.dds", 16, 16, "FFFFFF"));
  std::remove(path.c_str());
}

TEST(RepaintDDS, ColourWithAlphaKeepsTheHoles) {
  TBitmap32 image = RandomImage(32, 16, 21, false);
  for (int i = 0; i < 512; i += 3) image.Pixels[i] &= 0x00FFFFFFu;  // alpha 0
  for (int i = 1; i < 512; i += 7) image.Pixels[i] = (image.Pixels[i] & 0x00FFFFFFu) | 0x40000000u;
  TBytesArray file = MakeDDS(image, DDSFormatDXT5, true);
  TDDSInfo info;
  const TBitmap32 before = Level0(file, info);
  ASSERT_TRUE(RepaintDDS(file, "808080FF"));
  const TBitmap32 after = Level0(file, info);
  EXPECT_EQ(info.Format, DDSFormatDXT5);
  EXPECT_TRUE(info.HasChain);
  EXPECT_EQ(file.size(), MakeDDS(image, DDSFormatDXT5, true).size());
  for (std::size_t i = 0; i < after.Pixels.size(); ++i) {
    ExpectGrey(after.Pixels[i], (before.Pixels[i] >> 24) == 0 ? 0 : 255, i);
  }
}

TEST(RepaintDDS, ColourWithoutAlphaKeepsAlpha) {
  TBitmap32 image = RandomImage(16, 16, 22, true);
  TBytesArray file = MakeDDS(image, DDSFormatDXT5, false);
  TDDSInfo info;
  const TBitmap32 before = Level0(file, info);
  ASSERT_TRUE(RepaintDDS(file, "#808080"));
  EXPECT_EQ(file.size(), 128u + 256u);  // still no chain
  const TBitmap32 after = Level0(file, info);
  EXPECT_FALSE(info.HasChain);
  for (std::size_t i = 0; i < after.Pixels.size(); ++i)
    ExpectGrey(after.Pixels[i], before.Pixels[i] >> 24, i, 12);
}

TEST(RepaintDDS, SmallTextureGrowsToFourByFour) {
  TBitmap32 image;
  image.SetSize(2, 2, 0xFF102030u);
  TBytesArray file = MakeDDS(image, DDSFormatDXT1, true);
  ASSERT_TRUE(RepaintDDS(file, "FF0000FF"));
  TDDSInfo info;
  const TBitmap32 after = Level0(file, info);
  EXPECT_EQ(info.Width, 4);
  EXPECT_EQ(info.Height, 4);
  EXPECT_EQ(Field(file, 28), 3u);  // 4x4, 2x2, 1x1
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(after.At(x, y), x < 2 && y < 2 ? 0xFFFF0000u : 0u) << x << y;
}

TEST(RepaintDDS, MipmapCountOneMeansNoChain) {
  TBitmap32 image;
  image.SetSize(8, 8, 0xFF445566u);
  TBytesArray file = MakeDDS(image, DDSFormatDXT1, false);
  file[28] = 1;
  ASSERT_TRUE(RepaintDDS(file, "00FF00"));
  EXPECT_EQ(file.size(), 128u + 32u);
  EXPECT_EQ(Field(file, 28), 0u);
}

TEST(RepaintDDS, TextureTooLargeToWriteIsRefusedBeforeItIsDecoded) {
  // 8192 x 8192 with a chain needs 14 levels: no texture of it can be written, and its 256 MB
  // of pixels are never decoded.
  TDDSHeader header;
  BuildDDSHeader(8192, 8192, 14, header, DDSFormatDXT1);
  TBytesArray file(DDSHeaderBytes + DXTLevelSize(DDSFormatDXT1, 8192, 8192));
  StoreDDSHeader(header, file.data());
  const TBytesArray original = file;
  constexpr std::size_t kDecodedBytes = std::size_t(8192) * 8192 * 4;
  g_largestAllocation = 0;
  EXPECT_FALSE(RepaintDDS(file, "FF0000"));
  EXPECT_FALSE(MakeTranslucentDDS(file, 50, 0));
  EXPECT_LT(g_largestAllocation.load(), kDecodedBytes / 4);
  EXPECT_TRUE(file == original);
}

TEST(TranslucentDDS, VisibilityAndSizes) {
  TBitmap32 image;
  image.SetSize(64, 64, 0xFFFFFFFFu);
  for (int i = 0; i < 64; ++i) image.Pixels[i] = 0x00FFFFFFu;  // top row transparent
  const TBytesArray source = MakeDDS(image, DDSFormatDXT5, true);
  TDDSInfo info;

  TBytesArray file = source;
  ASSERT_TRUE(MakeTranslucentDDS(file, 100, 0));
  EXPECT_EQ(file, source);  // unchanged image, same encoder
  file = source;
  ASSERT_TRUE(MakeTranslucentDDS(file, 0, 0));
  TBitmap32 out = Level0(file, info);
  for (int i = 0; i < 64 * 64; ++i) ASSERT_EQ(out.Pixels[i], i < 64 ? 0u : 0xFF000000u) << i;
  file = source;
  ASSERT_TRUE(MakeTranslucentDDS(file, 50, 0));
  out = Level0(file, info);
  // 255 * 50 / 100 = 127; 127 is not on the 5:6:5 grid, the codec gets the nearest values.
  const std::uint32_t p = out.At(5, 5);
  EXPECT_EQ(p >> 24, 255u);
  EXPECT_LE(std::abs(int((p >> 16) & 255) - 127), 2);
  EXPECT_LE(std::abs(int((p >> 8) & 255) - 127), 1);

  file = source;
  ASSERT_TRUE(MakeTranslucentDDS(file, 100, 8));  // 8 would be below 16
  out = Level0(file, info);
  EXPECT_EQ(info.Width, 16);
  EXPECT_EQ(info.Height, 16);
  EXPECT_TRUE(info.HasChain);

  TBitmap32 big;
  big.SetSize(1024, 1024, 0xFF808080u);
  file = MakeDDS(big, DDSFormatDXT1, false);
  ASSERT_TRUE(MakeTranslucentDDS(file, 100, 4));
  Level0(file, info);
  EXPECT_EQ(info.Width, 256);
  EXPECT_EQ(info.Height, 256);
  EXPECT_FALSE(info.HasChain);

  TBitmap32 narrow;
  narrow.SetSize(8, 32, 0xFF808080u);
  file = MakeDDS(narrow, DDSFormatDXT1, false);
  ASSERT_TRUE(MakeTranslucentDDS(file, 100, 1));
  Level0(file, info);
  EXPECT_EQ(info.Width, 16);
  EXPECT_EQ(info.Height, 32);

  TBitmap32 line;
  line.SetSize(1, 32, 0xFF808080u);
  const TBytesArray lineFile = MakeDDS(line, DDSFormatDXT1, false);
  file = lineFile;
  EXPECT_FALSE(MakeTranslucentDDS(file, 100, 2));  // one pixel wide: cannot resample
  EXPECT_EQ(file, lineFile);
}

TEST(Bitmap, HalvingPairsRowsFromTheBottom) {
  TBitmap32 image;
  image.SetSize(6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) image.At(x, y) = std::uint32_t(10 * y + x) * 0x01010101u;
  HalveBitmap(image);
  ASSERT_EQ(image.Width, 3);
  ASSERT_EQ(image.Height, 2);
  // Bottom row: rows 3 and 4; top row: rows 1 and 2; columns (0,1), (2,3), (4,5).
  EXPECT_EQ(image.At(0, 1), ((30 + 31 + 40 + 41) >> 2) * 0x01010101u);
  EXPECT_EQ(image.At(2, 0), ((14 + 15 + 24 + 25) >> 2) * 0x01010101u);

  TBitmap32 column;
  column.SetSize(1, 4);
  for (int y = 0; y < 4; ++y) column.At(0, y) = std::uint32_t(4 * y + 1) * 0x01010101u;
  HalveBitmap(column);  // the single column is used twice
  ASSERT_EQ(column.Width, 1);
  ASSERT_EQ(column.Height, 2);
  EXPECT_EQ(column.At(0, 0), ((1 + 1 + 5 + 5) >> 2) * 0x01010101u);
  EXPECT_EQ(column.At(0, 1), ((9 + 9 + 13 + 13) >> 2) * 0x01010101u);

  TBitmap32 one;
  one.SetSize(1, 1, 0x12345678u);
  HalveBitmap(one);
  EXPECT_EQ(one.Width, 1);
  EXPECT_EQ(one.Pixels[0], 0x12345678u);
}

TEST(Bitmap, ResamplingArithmetic) {
  // 3x2 to 4x4: sx = 4 / 2 = 2, sy = 4 / 1 = 4; source positions X / 2 and Y / 4.
  TBitmap32 image;
  image.SetSize(3, 2);
  const unsigned v[2][3] = {{0, 100, 200}, {40, 140, 240}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) image.At(x, y) = v[y][x] * 0x01010101u;
  ASSERT_TRUE(ResampleBitmap(image, 4, 4));
  ASSERT_EQ(image.Width, 4);
  ASSERT_EQ(image.Height, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const float u = x / 2.0f, w = y / 4.0f;
      const int i = int(u), j = int(w);
      const float fx = u - i, fy = w - j;
      const float s = v[j][i] * (1 - fx) * (1 - fy) + v[j][std::min(i + 1, 2)] * fx * (1 - fy) +
                      v[j + 1][i] * (1 - fx) * fy + v[j + 1][std::min(i + 1, 2)] * fx * fy;
      EXPECT_EQ(image.At(x, y) & 255, unsigned(s)) << x << "," << y;
    }
  }
  EXPECT_EQ(image.At(0, 0) & 255, 0u);
  EXPECT_EQ(image.At(1, 2) & 255, 70u);  // (1/2, 1/2): mean of 0, 100, 40, 140
  TBitmap32 line;
  line.SetSize(1, 5, 0xFFFFFFFFu);
  EXPECT_FALSE(ResampleBitmap(line, 16, 16));
  EXPECT_EQ(line.Width, 1);
}
