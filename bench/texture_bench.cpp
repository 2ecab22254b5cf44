// DXT1/DXT5 encoders on the real-image corpus: ours, libsquish's cluster fit and stb_dxt's high
// quality mode, single-threaded, every output decoded by libsquish's decoder. Per image:
// megapixels per second and PSNR; then a corpus summary with the ratios of this run, and our
// multi-threaded encoder against our single-threaded one on a 2048x2048 image, with two threads
// encoding one half each as the reference for what two threads give on the machine.
#include <benchmark/benchmark.h>
#include <squish.h>
#include <stb/stb_dxt.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "texture_corpus.h"
#include "textures/bitmap32.h"
#include "textures/dxt_codec.h"
#include "textures/dxt_mt.h"

using namespace ashtint;

namespace {

enum TEncoder { Ours, Squish, Stb };
const char* const kEncoderNames[] = {"ours", "squish-cluster", "stb-hq"};

struct TImage {
  std::string Name, Group;
  TBitmap32 Bitmap;
  std::vector<std::uint8_t> Rgba;
};

struct TResult {
  double Pixels = 0, Seconds = 0, PsnrRgb = 0, PsnrAlpha = 0, PsnrWeighted = 0;
};

// Processor time of the calling thread: single-threaded encoders compared on a shared machine.
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

std::vector<TImage> images;
std::map<std::string, TResult> results;  // key: encoder/format/image

std::vector<std::uint8_t> ToRgba(const TBitmap32& image) {
  std::vector<std::uint8_t> rgba(image.Pixels.size() * 4);
  for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
    const std::uint32_t p = image.Pixels[i];
    rgba[4 * i] = std::uint8_t(p >> 16), rgba[4 * i + 1] = std::uint8_t(p >> 8);
    rgba[4 * i + 2] = std::uint8_t(p), rgba[4 * i + 3] = std::uint8_t(p >> 24);
  }
  return rgba;
}

void Encode(TEncoder encoder, bool dxt1, const TImage& image, std::vector<std::uint8_t>& out) {
  const int w = image.Bitmap.Width, h = image.Bitmap.Height;
  const int blockBytes = dxt1 ? 8 : 16;
  out.resize(std::size_t(w / 4) * (h / 4) * blockBytes);
  switch (encoder) {
    case Ours:
      EncodeDXTImage(out.data(), dxt1 ? DxtFlagDXT1 : 0, w, FetchBitmapBlock, &image.Bitmap, h);
      break;
    case Squish:
    case Stb: {
      // Block by block on this thread: Debian's squish::CompressImage spreads over every core
      // with OpenMP, which one thread's processor time would not count.
      unsigned char block[64];
      std::uint8_t* dst = out.data();
      for (int y = 0; y < h; y += 4) {
        for (int x = 0; x < w; x += 4) {
          for (int r = 0; r < 4; ++r)
            std::memcpy(block + 16 * r, image.Rgba.data() + (std::size_t(y + r) * w + x) * 4, 16);
          if (encoder == Squish)
            squish::Compress(block, dst, (dxt1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit);
          else
            stb_compress_dxt_block(dst, block, dxt1 ? 0 : 1, STB_DXT_HIGHQUAL);
          dst += blockBytes;
        }
      }
      break;
    }
  }
}

// PSNR of red, green and blue together (DXT1: over the pixels it keeps visible, alpha >= 128),
// the same with each pixel's colour error weighted by (alpha / 255)^2 (the colour as it shows
// when blended, which is what the encoders that weigh by alpha optimise), and of alpha; all
// after decoding with libsquish.
void Psnr(const TImage& image, const std::vector<std::uint8_t>& data, bool dxt1, double& rgb,
          double& weighted, double& alpha) {
  const int w = image.Bitmap.Width, h = image.Bitmap.Height;
  std::vector<std::uint8_t> decoded(std::size_t(w) * h * 4);
  squish::DecompressImage(decoded.data(), w, h, data.data(), dxt1 ? squish::kDxt1 : squish::kDxt5);
  double se = 0, seAlpha = 0, n = 0, seWeighted = 0, nWeighted = 0;
  for (std::size_t i = 0; i < decoded.size(); i += 4) {
    if (!dxt1 || image.Rgba[i + 3] >= 128) {
      const double w = (image.Rgba[i + 3] / 255.0) * (image.Rgba[i + 3] / 255.0);
      for (int c = 0; c < 3; ++c) {
        const double d = double(decoded[i + c]) - image.Rgba[i + c];
        se += d * d;
        seWeighted += w * d * d;
      }
      n += 3;
      nWeighted += 3 * w;
    }
    const double d = double(decoded[i + 3]) - image.Rgba[i + 3];
    seAlpha += d * d;
  }
  auto toPsnr = [](double mse) { return mse <= 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse); };
  rgb = toPsnr(n > 0 ? se / n : 0);
  weighted = toPsnr(nWeighted > 0 ? seWeighted / nWeighted : 0);
  alpha = toPsnr(seAlpha / (double(decoded.size()) / 4));
}

void EncodeBenchmark(benchmark::State& state, TEncoder encoder, bool dxt1, std::size_t index) {
  const TImage& image = images[index];
  std::vector<std::uint8_t> out;
  Encode(encoder, dxt1, image, out);  // warm-up, and the output to measure
  double seconds = 0;
  std::int64_t runs = 0;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    Encode(encoder, dxt1, image, out);
    seconds += ThreadSeconds() - start;
    ++runs;
    benchmark::DoNotOptimize(out.data());
  }
  TResult r;
  r.Pixels = double(image.Bitmap.Pixels.size());
  r.Seconds = seconds / double(runs);
  Psnr(image, out, dxt1, r.PsnrRgb, r.PsnrWeighted, r.PsnrAlpha);
  results[std::string(kEncoderNames[encoder]) + (dxt1 ? "/dxt1/" : "/dxt5/") + image.Name] = r;
  state.counters["Mpix/s"] = r.Pixels / r.Seconds / 1e6;
  state.counters["PSNR_rgb"] = r.PsnrRgb;
  if (image.Group == "alpha") state.counters["PSNR_rgb_by_alpha"] = r.PsnrWeighted;
  if (!dxt1 && image.Group == "alpha") state.counters["PSNR_alpha"] = r.PsnrAlpha;
}

TBitmap32 large;                  // 2048x2048, the skybox tiled 2x2
TBitmap32 largeTop, largeBottom;  // its two halves, for the two-thread reference

enum TLargeMode { LargeSingle, LargeMulti, LargeHalves };
const char* const kLargeModeNames[] = {"single-thread", "multi-thread", "two-halves"};
struct TLargeTotals {
  double Seconds = 0, ProcessSeconds = 0;
  std::int64_t Runs = 0;
};
TLargeTotals largeTotals[3];

double ProcessSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Single-threaded, multi-threaded, and as a reference for what two threads can give on this
// machine: two threads encoding one half each with no queue in between.
void LargeBenchmark(benchmark::State& state, TLargeMode mode) {
  std::vector<std::uint8_t> out(std::size_t(large.Width / 4) * (large.Height / 4) * 8);
  TLargeTotals& totals = largeTotals[mode];
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ProcessSeconds();
    if (mode == LargeMulti) {
      EncodeDXTImageMT(out.data(), true, large.Width, FetchBitmapBlock, &large, large.Height);
    } else if (mode == LargeSingle) {
      EncodeDXTImage(out.data(), DxtFlagDXT1, large.Width, FetchBitmapBlock, &large, large.Height);
    } else {
      std::uint8_t* bottom = out.data() + out.size() / 2;
      std::thread other([&] {
        EncodeDXTImage(bottom, DxtFlagDXT1, largeBottom.Width, FetchBitmapBlock, &largeBottom,
                       largeBottom.Height);
      });
      EncodeDXTImage(out.data(), DxtFlagDXT1, largeTop.Width, FetchBitmapBlock, &largeTop, largeTop.Height);
      other.join();
    }
    totals.ProcessSeconds += ProcessSeconds() - cpuStart;
    totals.Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++totals.Runs;
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["Mpix/s"] = benchmark::Counter(double(large.Pixels.size()) / 1e6 * double(state.iterations()),
                                                benchmark::Counter::kIsRate);
}

void PrintLargeSummary() {
  const TLargeTotals& single = largeTotals[LargeSingle];
  if (single.Runs == 0) return;
  std::printf("\n2048x2048 DXT1, mean over all runs of this program (wall ms, process processor ms, "
              "speed-up over single-thread)\n");
  for (int m = 0; m < 3; ++m) {
    const TLargeTotals& t = largeTotals[m];
    if (t.Runs == 0) continue;
    const double ms = 1e3 * t.Seconds / double(t.Runs);
    std::printf("%-14s %8.1f ms %8.1f ms cpu  x%.2f\n", kLargeModeNames[m], ms,
                1e3 * t.ProcessSeconds / double(t.Runs), 1e3 * single.Seconds / double(single.Runs) / ms);
  }
}

const TResult* Find(int encoder, bool dxt1, const std::string& name) {
  const auto it = results.find(std::string(kEncoderNames[encoder]) + (dxt1 ? "/dxt1/" : "/dxt5/") + name);
  return it == results.end() ? nullptr : &it->second;
}

void PrintSummary() {
  for (int f = 0; f < 2; ++f) {
    const bool dxt1 = f == 0;
    std::printf("\n%s per image: Mpix/s (processor time of one thread) and PSNR in dB, decoded by "
                "libsquish; 'by alpha' weighs colour errors by (alpha/255)^2\n", dxt1 ? "DXT1" : "DXT5");
    std::printf("%-22s %7s %7s %7s | %6s %6s %6s | %6s %6s | %6s %6s %6s\n", "image", "ours", "squish",
                "stb", "ours", "squish", "stb", "ours", "squish", "ours", "squish", "stb");
    std::printf("%-22s %23s | %20s | %13s | %20s\n", "", "Mpix/s", "RGB PSNR", "by alpha", "alpha PSNR");
    for (const auto& image : images) {
      const TResult* r[3] = {Find(Ours, dxt1, image.Name), Find(Squish, dxt1, image.Name), Find(Stb, dxt1, image.Name)};
      if (!r[0] || !r[1] || !r[2]) continue;
      std::printf("%-22s %7.2f %7.2f %7.1f | %6.2f %6.2f %6.2f", image.Name.c_str(), r[0]->Pixels / r[0]->Seconds / 1e6,
                  r[1]->Pixels / r[1]->Seconds / 1e6, r[2]->Pixels / r[2]->Seconds / 1e6, r[0]->PsnrRgb,
                  r[1]->PsnrRgb, r[2]->PsnrRgb);
      if (image.Group == "alpha") {
        std::printf(" | %6.2f %6.2f", r[0]->PsnrWeighted, r[1]->PsnrWeighted);
        if (!dxt1) std::printf(" | %6.2f %6.2f %6.2f", r[0]->PsnrAlpha, r[1]->PsnrAlpha, r[2]->PsnrAlpha);
      }
      std::printf("\n");
    }
  }
  std::printf("\nCorpus summary (%zu images; one run; Mpix/s = all pixels / all processor time; PSNR "
              "averaged over the images, alpha over the alpha images)\n", images.size());
  std::printf("%-16s %-5s %10s %10s %10s\n", "encoder", "fmt", "Mpix/s", "RGB dB", "alpha dB");
  double mpix[3][2] = {};
  for (int f = 0; f < 2; ++f) {
    const bool dxt1 = f == 0;
    for (int e = 0; e < 3; ++e) {
      double pixels = 0, seconds = 0, rgb = 0, alpha = 0;
      int n = 0, na = 0;
      for (const auto& image : images) {
        const TResult* r = Find(e, dxt1, image.Name);
        if (!r) continue;
        pixels += r->Pixels, seconds += r->Seconds, rgb += r->PsnrRgb, ++n;
        if (image.Group == "alpha") alpha += r->PsnrAlpha, ++na;
      }
      if (n == 0) continue;
      mpix[e][f] = pixels / seconds / 1e6;
      std::printf("%-16s %-5s %10.2f %10.2f", kEncoderNames[e], dxt1 ? "DXT1" : "DXT5", mpix[e][f], rgb / n);
      if (!dxt1 && na) std::printf(" %10.2f", alpha / na);
      std::printf("\n");
    }
  }
  for (int f = 0; f < 2; ++f) {
    if (mpix[Ours][f] > 0 && mpix[Squish][f] > 0)
      std::printf("%s speed ratio: ours / squish-cluster = %.2f\n", f == 0 ? "DXT1" : "DXT5",
                  mpix[Ours][f] / mpix[Squish][f]);
    if (mpix[Ours][f] > 0 && mpix[Stb][f] > 0)
      std::printf("%s speed ratio: ours / stb-hq = %.3f\n", f == 0 ? "DXT1" : "DXT5",
                  mpix[Ours][f] / mpix[Stb][f]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const auto& entry : corpus::CorpusImages()) {
    TImage image;
    image.Name = corpus::ShortName(entry.Path);
    image.Group = entry.Group;
    if (!corpus::LoadCorpusImage(entry.Path, image.Bitmap)) {
      std::fprintf(stderr, "cannot read %s (install python3-skimage and extremetuxracer-data)\n",
                   entry.Path.c_str());
      return 1;
    }
    image.Rgba = ToRgba(image.Bitmap);
    if (image.Name == "frontH.png") {
      large.SetSize(2 * image.Bitmap.Width, 2 * image.Bitmap.Height);
      for (int y = 0; y < large.Height; ++y)
        for (int x = 0; x < large.Width; ++x)
          large.At(x, y) = image.Bitmap.At(x % image.Bitmap.Width, y % image.Bitmap.Height);
      largeTop.SetSize(large.Width, large.Height / 2);
      largeBottom.SetSize(large.Width, large.Height / 2);
      const std::size_t half = largeTop.Pixels.size();
      std::copy(large.Pixels.begin(), large.Pixels.begin() + std::ptrdiff_t(half), largeTop.Pixels.begin());
      std::copy(large.Pixels.begin() + std::ptrdiff_t(half), large.Pixels.end(), largeBottom.Pixels.begin());
    }
    images.push_back(std::move(image));
  }
  for (int f = 0; f < 2; ++f) {
    for (int e = 0; e < 3; ++e) {
      for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string name = std::string(kEncoderNames[e]) + (f == 0 ? "/DXT1/" : "/DXT5/") + images[i].Name;
        benchmark::RegisterBenchmark(name.c_str(), EncodeBenchmark, TEncoder(e), f == 0, i)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.3);
      }
    }
  }
  if (large.Width > 0) {
    for (int m = 0; m < 3; ++m)
      benchmark::RegisterBenchmark((std::string("ours/DXT1/2048x2048/") + kLargeModeNames[m]).c_str(),
                                   LargeBenchmark, TLargeMode(m))
          ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  PrintLargeSummary();
  return 0;
}
