// The codec on whole images: agreement with libsquish both ways, the search forms against each
// other, and quality against libsquish's cluster fit.
#include <gtest/gtest.h>
#include <squish.h>

#include <cmath>

#include "texture_corpus.h"
#include "texture_test_util.h"
#include "textures/dxt_cluster_search.h"
#include "textures/dxt_internal.h"

using namespace ashtint;
using namespace ashtint::testutil;

namespace {

TBitmap32 LoadOrFail(const std::string& name) {
  for (const auto& img : corpus::CorpusImages()) {
    if (corpus::ShortName(img.Path) == name) {
      TBitmap32 image;
      if (corpus::LoadCorpusImage(img.Path, image)) return image;
      ADD_FAILURE() << "cannot read " << img.Path << " (install python3-skimage and extremetuxracer-data)";
      return image;
    }
  }
  ADD_FAILURE() << name << " is not in the corpus";
  return {};
}

TBitmap32 SquishDecode(const std::vector<std::uint8_t>& data, bool dxt1, int w, int h) {
  std::vector<std::uint8_t> rgba(std::size_t(w) * h * 4);
  squish::DecompressImage(rgba.data(), w, h, data.data(), dxt1 ? squish::kDxt1 : squish::kDxt5);
  TBitmap32 image;
  image.SetSize(w, h);
  for (std::size_t i = 0; i < image.Pixels.size(); ++i)
    image.Pixels[i] = std::uint32_t(rgba[4 * i + 3]) << 24 | std::uint32_t(rgba[4 * i]) << 16 |
                      std::uint32_t(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
  return image;
}

// Largest channel difference between two decodings.
int MaxDifference(const TBitmap32& a, const TBitmap32& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); ++i)
    for (int s = 0; s < 32; s += 8)
      worst = std::max(worst, std::abs(int((a.Pixels[i] >> s) & 255) - int((b.Pixels[i] >> s) & 255)));
  return worst;
}

struct TFormGuard {
  TClusterSearchForm saved = ActiveClusterSearchForm();
  ~TFormGuard() { SetClusterSearchForm(saved); }
};

const char* const kSampleImages[] = {"astronaut.png", "rock01.png", "herring.png", "flag.png"};

}  // namespace

TEST(DxtImage, DecoderAgreesWithLibsquish) {
  // libsquish encodes, both decoders decode: they may differ only by libsquish's rounding of
  // the interpolated palette entries (at most 1 per channel).
  for (const char* name : kSampleImages) {
    const TBitmap32 image = LoadOrFail(name);
    const auto rgba = ToRgba(image);
    for (bool dxt1 : {true, false}) {
      const int flags = (dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit;
      std::vector<std::uint8_t> data(squish::GetStorageRequirements(image.Width, image.Height, flags));
      squish::CompressImage(rgba.data(), image.Width, image.Height, data.data(), flags);
      const TBitmap32 ours = DecodeImage(data, dxt1, image.Width, image.Height);
      EXPECT_LE(MaxDifference(ours, SquishDecode(data, dxt1, image.Width, image.Height)), 1)
          << name << " dxt1 " << dxt1;
    }
  }
}

TEST(DxtImage, LibsquishDecodesOurOutputLikeOurDecoder) {
  for (const char* name : kSampleImages) {
    const TBitmap32 image = LoadOrFail(name);
    for (bool dxt1 : {true, false}) {
      const auto data = EncodeImage(image, dxt1);
      EXPECT_LE(MaxDifference(DecodeImage(data, dxt1, image.Width, image.Height),
                              SquishDecode(data, dxt1, image.Width, image.Height)), 1)
          << name << " dxt1 " << dxt1;
    }
  }
}

TEST(DxtImage, VectorFormsMatchTheScalarFormWithTheSameReciprocal) {
  // SSE and AVX2 must give the very bytes of the scalar search that takes 1/d from the same
  // approximate reciprocal instruction: the lanes do the same operations in the same order.
  TFormGuard guard;
  if (!ClusterSearchFormAvailable(TClusterSearchForm::SSE)) GTEST_SKIP() << "no SSE here";
  std::vector<TBitmap32> images = {RandomImage(64, 64, 7, false), RandomImage(64, 64, 8, true)};
  for (const char* name : kSampleImages) images.push_back(LoadOrFail(name));
  for (const TBitmap32& image : images) {
    for (bool dxt1 : {true, false}) {
      ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::ScalarRcp));
      const auto reference = EncodeImage(image, dxt1);
      ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::SSE));
      EXPECT_EQ(EncodeImage(image, dxt1), reference) << "SSE " << image.Width << " dxt1 " << dxt1;
      if (SetClusterSearchForm(TClusterSearchForm::AVX2)) {
        EXPECT_EQ(EncodeImage(image, dxt1), reference) << "AVX2 " << image.Width << " dxt1 " << dxt1;
      }
    }
  }
}

TEST(DxtImage, ExactAndApproximateReciprocalDifferRarelyAndSlightly) {
  // The exact division and the approximate reciprocal may snap a channel differently only near
  // a rounding boundary: on real images at most 1 block in 100 may differ, and the RGB error of
  // the whole image may differ by at most 0.1%.
  TFormGuard guard;
  if (!ClusterSearchFormAvailable(TClusterSearchForm::SSE)) GTEST_SKIP() << "no SSE here";
  for (const char* name : kSampleImages) {
    const TBitmap32 image = LoadOrFail(name);
    ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::Scalar));
    const auto exact = EncodeImage(image, true);
    ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::SSE));
    const auto approximate = EncodeImage(image, true);
    std::size_t differing = 0;
    for (std::size_t b = 0; b < exact.size(); b += 8)
      differing += !std::equal(exact.begin() + b, exact.begin() + b + 8, approximate.begin() + b);
    EXPECT_LE(differing * 100, exact.size() / 8) << name;
    double e1, e2, unused;
    SquaredErrors(image, DecodeImage(exact, true, image.Width, image.Height), e1, unused);
    SquaredErrors(image, DecodeImage(approximate, true, image.Width, image.Height), e2, unused);
    EXPECT_LE(std::abs(e1 - e2), 0.001 * e1) << name;
  }
}

TEST(DxtImage, AlphaFitFormsAgree) {
  std::mt19937 rng(11);
  std::uint32_t pixels[16];
  std::uint8_t a[8], b[8];
  for (int trial = 0; trial < 20000; ++trial) {
    const int lo = rng() % 256, span = rng() % 256;
    for (auto& p : pixels) {
      const int kind = rng() % 8;
      const unsigned alpha = kind == 0 ? 0 : kind == 1 ? 255 : unsigned(std::min(255, lo + int(rng() % (span + 1))));
      p = alpha << 24;
    }
    EncodeDxt5AlphaFitForm(pixels, a, false);
    EncodeDxt5AlphaFitForm(pixels, b, true);
    ASSERT_TRUE(std::equal(a, a + 8, b)) << trial;
  }
}

TEST(DxtImage, AtLeastLibsquishClusterFitQuality) {
  // The colour error as the encoder weighs it (by alpha); on opaque images that is the plain
  // error.
  for (const char* name : kSampleImages) {
    const TBitmap32 image = LoadOrFail(name);
    const auto rgba = ToRgba(image);
    for (bool dxt1 : {true, false}) {
      const int flags = (dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit;
      std::vector<std::uint8_t> theirs(squish::GetStorageRequirements(image.Width, image.Height, flags));
      squish::CompressImage(rgba.data(), image.Width, image.Height, theirs.data(), flags);
      double ourRgb, ourAlpha, theirRgb, theirAlpha;
      SquaredErrors(image, DecodeImage(EncodeImage(image, dxt1), dxt1, image.Width, image.Height),
                    ourRgb, ourAlpha, dxt1, true);
      SquaredErrors(image, DecodeImage(theirs, dxt1, image.Width, image.Height), theirRgb,
                    theirAlpha, dxt1, true);
      if (dxt1) {
        EXPECT_LE(ourRgb, theirRgb) << name;
      } else {
        EXPECT_LE(ourAlpha, theirAlpha) << name;
      }
    }
  }
}
