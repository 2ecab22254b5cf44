// Multi-threaded encoding gives the single-threaded bytes, and takes the workers only when it
// should.
#include <gtest/gtest.h>

#include <thread>

#include "texture_corpus.h"
#include "texture_test_util.h"
#include "textures/dxt_mt.h"

using namespace ashtint;
using namespace ashtint::testutil;

namespace {

std::vector<std::uint8_t> EncodeMT(const TBitmap32& image, bool dxt1) {
  const std::size_t blocks = std::size_t((image.Width + 3) / 4) * ((image.Height + 3) / 4);
  std::vector<std::uint8_t> out(blocks * (dxt1 ? 8 : 16), 0xCD);
  EncodeDXTImageMT(out.data(), dxt1, image.Width, FetchBitmapBlock, &image, image.Height);
  return out;
}

}  // namespace

TEST(DxtMT, SameBytesAsSingleThreadedOnRandomImages) {
  // Odd sizes put transparent edge pixels into the last blocks.
  for (bool dxt1 : {true, false}) {
    const TBitmap32 image = RandomImage(514, 386, dxt1 ? 1 : 2, !dxt1);
    EXPECT_EQ(EncodeMT(image, dxt1), EncodeImage(image, dxt1)) << dxt1;
  }
}

TEST(DxtMT, SameBytesAsSingleThreadedOnRealImages) {
  for (const char* name : {"frontH.png", "snowy_tree1.png"}) {
    TBitmap32 image;
    for (const auto& img : corpus::CorpusImages()) {
      if (corpus::ShortName(img.Path) == name) {
        ASSERT_TRUE(corpus::LoadCorpusImage(img.Path, image)) << img.Path;
      }
    }
    ASSERT_GT(image.Width, 0) << name;
    for (bool dxt1 : {true, false}) EXPECT_EQ(EncodeMT(image, dxt1), EncodeImage(image, dxt1)) << name;
  }
}

TEST(DxtMT, WorkersOnlyAboveOneHundredBlocks) {
  const TBitmap32 small = RandomImage(40, 40, 3, false);   // 100 blocks
  const TBitmap32 larger = RandomImage(44, 40, 4, false);  // 110 blocks
  const auto before = DxtMTStatistics();
  EXPECT_EQ(EncodeMT(small, true), EncodeImage(small, true));
  EXPECT_EQ(DxtMTStatistics().ThreadedImages, before.ThreadedImages);
  EXPECT_EQ(EncodeMT(larger, true), EncodeImage(larger, true));
  const auto after = DxtMTStatistics();
  if (DxtProcessorCount() > 1) {
    EXPECT_EQ(after.ThreadedImages, before.ThreadedImages + 1);
    EXPECT_GT(after.QueuedJobs, before.QueuedJobs);
  } else {
    EXPECT_EQ(after.ThreadedImages, before.ThreadedImages);
  }
}

TEST(DxtMT, UniformImageQueuesNothing) {
  TBitmap32 image;
  image.SetSize(256, 200, 0xFF336699u);  // opaque: the DXT5 alpha is binary too
  const auto before = DxtMTStatistics();
  for (bool dxt1 : {true, false}) EXPECT_EQ(EncodeMT(image, dxt1), EncodeImage(image, dxt1));
  EXPECT_EQ(DxtMTStatistics().QueuedJobs, before.QueuedJobs);
}

TEST(DxtMT, ConcurrentCallersGetTheirOwnResults) {
  const TBitmap32 a = RandomImage(200, 200, 5, false), b = RandomImage(160, 240, 6, true);
  const auto expectedA = EncodeImage(a, true), expectedB = EncodeImage(b, false);
  std::vector<std::uint8_t> gotA, gotB, gotSmall;
  const TBitmap32 small = RandomImage(16, 16, 9, true);
  std::thread ta([&] { gotA = EncodeMT(a, true); });
  std::thread tb([&] { gotB = EncodeMT(b, false); });
  std::thread ts([&] { gotSmall = EncodeMT(small, false); });
  ta.join();
  tb.join();
  ts.join();
  EXPECT_EQ(gotA, expectedA);
  EXPECT_EQ(gotB, expectedB);
  EXPECT_EQ(gotSmall, EncodeImage(small, false));
}

namespace {

// Blocks of 16, 2 and 1 colours in turn, with smooth alpha (alpha jobs) on every other block
// row: queue slots are reused by jobs with fewer colours than the one before.
TBitmap32 MixedImage(int w, int h) {
  TBitmap32 image;
  image.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int block = (y / 4) * (w / 4) + x / 4, pixel = (y % 4) * 4 + x % 4;
      const unsigned alpha = (y / 4) % 2 ? 40u + 10u * unsigned(pixel) : 255u;
      std::uint32_t rgb;
      switch (block % 3) {
        case 0: rgb = 0x00102030u * unsigned(pixel + 1) + unsigned(block); break;
        case 1: rgb = pixel % 2 ? 0x00F08010u : 0x00103070u; break;
        default: rgb = 0x00808080u; break;
      }
      image.At(x, y) = alpha << 24 | (rgb & 0x00FFFFFFu);
    }
  }
  return image;
}

// Blocks needing the workers' colour fit or alpha fit, as the calling thread sees them.
std::uint64_t HeavyJobs(const TBitmap32& image, bool dxt1) {
  std::uint64_t jobs = 0;
  std::uint32_t pixels[16];
  for (int y = 0; y < image.Height; y += 4) {
    for (int x = 0; x < image.Width; x += 4) {
      FetchBitmapBlock(&image, x, y, pixels);
      TDxtColorSet set;
      PrepareDxtColorSet(pixels, dxt1, set);
      if (set.Count >= 2) ++jobs;
      bool allTransparent = true;
      for (std::uint32_t p : pixels) allTransparent = allTransparent && (p >> 24) == 0;
      if (!dxt1 && !set.AlphaIsBinary && !allTransparent) ++jobs;
    }
  }
  return jobs;
}

}  // namespace

TEST(DxtMT, ReusedQueueSlotsAndBuffersKeepTheBytes) {
  // Three encodes in a row: the job buffers change hands between images as well.
  const TBitmap32 image = MixedImage(512, 384);
  for (bool dxt1 : {true, false}) {
    const auto expected = EncodeImage(image, dxt1);
    for (int round = 0; round < 3; ++round) EXPECT_EQ(EncodeMT(image, dxt1), expected) << dxt1 << round;
  }
}

TEST(DxtMT, EveryHeavyBlockRunsOnceWhetherQueuedOrRunByTheCaller) {
  // Large enough for the calling thread to fill the queue while the workers are busy; a block
  // that finds the queue full is encoded at once by the caller.
  const TBitmap32 image = RandomImage(1024, 512, 11, true);
  for (bool dxt1 : {true, false}) {
    const auto before = DxtMTStatistics();
    EXPECT_EQ(EncodeMT(image, dxt1), EncodeImage(image, dxt1)) << dxt1;
    const auto after = DxtMTStatistics();
    if (DxtProcessorCount() > 1) {
      EXPECT_EQ((after.QueuedJobs - before.QueuedJobs) + (after.FullQueueJobs - before.FullQueueJobs),
                HeavyJobs(image, dxt1))
          << dxt1;
      EXPECT_GT(after.QueuedJobs, before.QueuedJobs) << dxt1;
    }
  }
}
