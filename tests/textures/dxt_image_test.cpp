// The codec on whole images: agreement with libsquish both ways, the search forms against each
// other, and quality against libsquish's cluster fit.
#include <gtest/gtest.h>
#include <squish.h>

#include <algorithm>
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
  // approximate reciprocal instruction and rounds like them (AVX2 fuses multiply-add): the lanes
  // do the same operations in the same order.
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
      if (ClusterSearchFormAvailable(TClusterSearchForm::AVX2)) {
        ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::ScalarRcpFused));
        const auto fused = EncodeImage(image, dxt1);
        ASSERT_TRUE(SetClusterSearchForm(TClusterSearchForm::AVX2));
        EXPECT_EQ(EncodeImage(image, dxt1), fused) << "AVX2 " << image.Width << " dxt1 " << dxt1;
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

// The alpha fit as plainly as it can be written: every candidate pair assigned index by index
// (nearest entry, the lower one midway), the first smallest error kept. The encoder measures candidates without their indices; it must choose the same.
void PlainAlphaFit(const std::uint32_t* pixels, std::uint8_t* out) {
  int alpha[16];
  for (int i = 0; i < 16; ++i) alpha[i] = int(pixels[i] >> 24);
  struct TTry { int A0 = -1, A1 = -1, Error = 1 << 30; int Index[16] = {}; };
  const auto fit = [&](bool eight) {
    int lo = 255, hi = 0;
    for (int v : alpha)
      if (eight || (v != 0 && v != 255)) lo = std::min(lo, v), hi = std::max(hi, v);
    const int inset = ((hi - lo) * 1928) >> 16;
    int a0 = eight ? hi - inset : lo + inset, a1 = eight ? lo + inset : hi - inset;
    TTry best;
    for (int round = 0; round < 9; ++round) {
      TTry win;
      for (int c0 = std::max(0, a0 - 3); c0 <= std::min(255, a0 + 3); ++c0)
        for (int c1 = std::max(0, a1 - 3); c1 <= std::min(255, a1 + 3); ++c1) {
          if (c0 == c1 || (eight ? c0 < c1 : c0 > c1)) continue;
          int pal[8] = {c0, c1, 0, 0, 0, 0, 0, 255};
          for (int i = 2; i < 8; ++i)
            if (eight) pal[i] = ((8 - i) * c0 + (i - 1) * c1) / 7;
            else if (i < 6) pal[i] = ((6 - i) * c0 + (i - 1) * c1) / 5;
          TTry t;
          t.A0 = c0, t.A1 = c1, t.Error = 0;
          for (int p = 0; p < 16; ++p) {
            // entries in ascending value, equal values in the encoder's listed order
            static constexpr int kAscending8[8] = {1, 7, 6, 5, 4, 3, 2, 0}, kAscending6[8] = {6, 0, 2, 3, 4, 5, 1, 7};
            int bestK = -1;
            for (int k : eight ? kAscending8 : kAscending6)
              if (bestK < 0 || std::abs(alpha[p] - pal[k]) < std::abs(alpha[p] - pal[bestK])) bestK = k;
            t.Index[p] = bestK, t.Error += (alpha[p] - pal[bestK]) * (alpha[p] - pal[bestK]);
          }
          if (t.Error < win.Error) win = t;
        }
      if (win.A0 == best.A0 && win.A1 == best.A1) break;
      if (win.Error < best.Error) best = win;
      // least squares on the winner's indices, in the encoder's 15-bit fixed point
      const auto m = [](std::int64_t x, std::int64_t y) { return (x * y + 16384) >> 15; };
      std::int64_t P = 0, Q = 0, R = 0, X = 0, Y = 0;
      for (int p = 0; p < 16; ++p) {
        const int k = win.Index[p];
        if (!eight && (alpha[p] == 0 || alpha[p] == 255 || k >= 6)) continue;
        const std::int64_t s = k == 0 ? 32767 : k == 1 ? 0 : eight ? (8 - k) * 4681 : (6 - k) * 6554, t = 32767 - s;
        P += m(s, s), Q += m(t, t), R += m(s, t), X += s * alpha[p], Y += t * alpha[p];
      }
      const std::int64_t d = m(P, Q) - m(R, R);
      std::int64_t v0 = 0, v1 = 0;
      if (d != 0) {
        const std::int64_t r = (std::int64_t(1) << 30) / d;
        v0 = std::clamp<std::int64_t>((m(m(Q, X) - m(R, Y), r) + 16384) >> 15, 0, 255);
        v1 = std::clamp<std::int64_t>((m(m(P, Y) - m(R, X), r) + 16384) >> 15, 0, 255);
        if (eight ? v0 < v1 : v0 > v1) std::swap(v0, v1);
      }
      a0 = int(v0), a1 = int(v1);
    }
    return best;
  };
  const TTry six = fit(false), eight = fit(true);
  const TTry& best = six.Error <= eight.Error ? six : eight;
  std::uint64_t bits = 0;
  for (int p = 0; p < 16; ++p) bits |= std::uint64_t(best.Index[p]) << (3 * p);
  out[0] = std::uint8_t(best.A0), out[1] = std::uint8_t(best.A1);
  for (int i = 0; i < 6; ++i) out[2 + i] = std::uint8_t(bits >> (8 * i));
}

TEST(DxtImage, AlphaFitFormsAgree) {
  std::mt19937 rng(11);
  std::uint32_t pixels[16];
  std::uint8_t a[8], b[8], plain[8];
  for (int trial = 0; trial < 20000; ++trial) {
    const int lo = rng() % 256, span = rng() % 256;
    for (auto& p : pixels) {
      const int kind = rng() % 8;
      const unsigned alpha = kind == 0 ? 0 : kind == 1 ? 255 : unsigned(std::min(255, lo + int(rng() % (span + 1))));
      p = alpha << 24;
    }
    EncodeDxt5AlphaFitForm(pixels, a, TAlphaFitForm::Plain);
    for (const TAlphaFitForm form : {TAlphaFitForm::SSE2, TAlphaFitForm::AVX2}) {
      if (!AlphaFitFormAvailable(form)) continue;
      EncodeDxt5AlphaFitForm(pixels, b, form);
      ASSERT_TRUE(std::equal(a, a + 8, b)) << trial << " form " << int(form);
    }
    if (trial % 4 == 0) {
      PlainAlphaFit(pixels, plain);
      ASSERT_TRUE(std::equal(a, a + 8, plain)) << trial;
    }
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
