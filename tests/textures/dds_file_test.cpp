// DDS headers, level sizes and chains, and what the reader accepts.
#include <gtest/gtest.h>

#include "textures/dds_creator.h"
#include "textures/dds_file.h"

using namespace ashtint;

namespace {

std::uint32_t Field(const TBytesArray& file, std::size_t offset) {
  return file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
         std::uint32_t(file[offset + 3]) << 24;
}

TBytesArray HeaderOnly(int format, int w, int h, int levels) {
  TDDSHeader header;
  BuildDDSHeader(w, h, levels, header, format);
  TBytesArray file(DDSHeaderBytes);
  StoreDDSHeader(header, file.data());
  return file;
}

}  // namespace

TEST(DDSFile, HeaderWithAndWithoutChain) {
  TBytesArray file = HeaderOnly(DDSFormatDXT1, 16, 16, 5);
  const std::uint8_t magic[4] = {0x44, 0x44, 0x53, 0x20};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(file[i], magic[i]);
  EXPECT_EQ(Field(file, 4), 124u);
  EXPECT_EQ(Field(file, 8), 0x000A1007u);  // mipmap count and linear size, as the game's own
  EXPECT_EQ(Field(file, 12), 16u);
  EXPECT_EQ(Field(file, 16), 16u);
  EXPECT_EQ(Field(file, 20), 128u);
  EXPECT_EQ(Field(file, 28), 5u);
  EXPECT_EQ(Field(file, 76), 32u);
  EXPECT_EQ(Field(file, 80), 4u);
  EXPECT_EQ(Field(file, 84), 0x31545844u);
  EXPECT_EQ(Field(file, 108), 0x00401008u);
  for (std::size_t off : {24, 32, 72, 88, 104, 112, 124}) EXPECT_EQ(Field(file, off), 0u) << off;

  for (int levels : {0, 1}) {
    file = HeaderOnly(DDSFormatDXT5, 30, 10, levels);
    EXPECT_EQ(Field(file, 8), 0x00081007u);
    EXPECT_EQ(Field(file, 28), 0u);
    EXPECT_EQ(Field(file, 108), 0x00001000u);
    EXPECT_EQ(Field(file, 84), 0x35545844u);
    EXPECT_EQ(Field(file, 20), 384u);  // 8 x 3 blocks of 16 bytes
  }
}

TEST(DDSFile, LevelSizesAndCounts) {
  std::vector<std::uint64_t> sizes;
  ASSERT_TRUE(DDSLevelSizes(DDSFormatDXT1, 16, 16, true, sizes));
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{128, 32, 8, 8, 8}));
  ASSERT_TRUE(DDSLevelSizes(DDSFormatDXT1, 16, 16, false, sizes));
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{128}));
  ASSERT_TRUE(DDSLevelSizes(DDSFormatDXT1, 64, 16, true, sizes));
  // 64x16, 32x8, 16x4, 8x2, 4x1, 2x1, 1x1
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{512, 128, 32, 16, 8, 8, 8}));
  EXPECT_EQ(DXTLevelSize(DDSFormatDXT5, 30, 10), 384u);
  EXPECT_EQ(DXTLevelSize(DDSFormatDXT1, 1, 1), 8u);
  ASSERT_TRUE(DDSLevelSizes(DDSFormatDXT1, 4096, 4096, true, sizes));
  EXPECT_EQ(sizes.size(), 13u);
  ASSERT_TRUE(DDSLevelSizes(DDSFormatDXT5, 4096, 1, true, sizes));
  EXPECT_EQ(sizes.size(), 13u);
  EXPECT_FALSE(DDSLevelSizes(DDSFormatDXT1, 8192, 8192, true, sizes));
  EXPECT_FALSE(DDSLevelSizes(DDSFormatDXT1, 16, 8192, true, sizes));
  EXPECT_TRUE(DDSLevelSizes(DDSFormatDXT1, 8192, 8192, false, sizes));
  TBytesArray stream{1, 2, 3};
  EXPECT_FALSE(CreateColorDDS(stream, 8192, 8192, "FFFFFF"));
  EXPECT_EQ(stream, (TBytesArray{1, 2, 3}));
}

TEST(DDSFile, ReaderAcceptance) {
  TBytesArray file = HeaderOnly(DDSFormatDXT1, 8, 4, 1);
  file.resize(128 + 16);
  TDDSInfo info;
  ASSERT_TRUE(ReadDDSInfo(file, info));
  EXPECT_EQ(info.Format, DDSFormatDXT1);
  EXPECT_EQ(info.Width, 8);
  EXPECT_EQ(info.Height, 4);
  EXPECT_FALSE(info.HasChain);

  // Nothing but the FourCC and the sizes is looked at.
  TBytesArray odd = file;
  for (std::size_t off : {0, 4, 8, 80, 108}) odd[off] ^= 0x5A;
  EXPECT_TRUE(ReadDDSInfo(odd, info));

  TBytesArray shortLevel = file;
  shortLevel.resize(128 + 15);
  EXPECT_FALSE(ReadDDSInfo(shortLevel, info));
  EXPECT_FALSE(ReadDDSInfo(TBytesArray(file.begin(), file.begin() + 127), info));

  TBytesArray dxt3 = file;
  dxt3[87] = '3';
  EXPECT_FALSE(ReadDDSInfo(dxt3, info));
  TBytesArray negative = file;
  negative[15] = 0x80;  // height negative as a signed value
  EXPECT_FALSE(ReadDDSInfo(negative, info));
  TBytesArray empty = file;
  empty[16] = 0;  // width 0
  EXPECT_FALSE(ReadDDSInfo(empty, info));

  // Rejected files are left as they were by every operation.
  for (const TBytesArray& bad : {dxt3, shortLevel, negative}) {
    TBytesArray copy = bad;
    EXPECT_FALSE(RepaintDDS(copy, "808080FF"));
    EXPECT_EQ(copy, bad);
    EXPECT_FALSE(MakeTranslucentDDS(copy, 50, 0));
    EXPECT_EQ(copy, bad);
  }
}
