// Quality of dimmed camouflages against the exact result: the source decoded, every channel
// dimmed with truncation, then halved level by level as the mipmap chain is built. The error is
// alpha-weighted RGB (each pixel counts by its exact alpha), level 0 and the smaller levels
// apart, summed over every texture before the PSNR is taken.
//
//   bench_camo_quality dirs VISIBILITY SOURCE_DIR RESULT_DIR [LABEL]
//       every .dds below RESULT_DIR against the file of the same path below SOURCE_DIR
//   bench_camo_quality corpus VISIBILITY
//       the real images of the test corpus as DXT5 and DXT1 textures with chains, dimmed by the
//       engine's operation and by a re-encode of the exactly dimmed level 0 (the former way),
//       with the processor time of each
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "texture_corpus.h"
#include "textures/bitmap32.h"
#include "textures/dds_creator.h"
#include "textures/dds_file.h"
#include "textures/dxt_codec.h"
#include "textures/dxt_dim.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct TError {
  double Squared = 0, Weight = 0;
  void Add(const TError& o) { Squared += o.Squared, Weight += o.Weight; }
  double Psnr() const {
    if (Weight == 0) return 0;
    const double mse = Squared / (3 * Weight);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
  }
};

struct TQuality {
  TError Level0, Mips;
  int Textures = 0;
};

bool ReadFile(const fs::path& p, TBytesArray& bytes) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

void Dim(TBitmap32& image, int visibility) {
  if (visibility >= 100) return;
  for (std::uint32_t& p : image.Pixels) {
    std::uint32_t out = p & 0xFF000000u;
    if (visibility >= 1)
      for (int shift = 0; shift < 24; shift += 8)
        out |= std::uint32_t(visibility * int((p >> shift) & 255) / 100) << shift;
    p = out;
  }
}

// The exact levels of the dimmed source, as many as the result holds.
bool ExactLevels(const TBytesArray& source, int visibility, std::vector<TBitmap32>& levels, TDDSInfo& info) {
  if (!ReadDDSInfo(source, info)) return false;
  TBitmap32 image;
  image.SetSize(info.Width, info.Height);
  DecodeDXTImage(source.data() + DDSHeaderBytes, info.Format == DDSFormatDXT1, info.Width, StoreBitmapBlock, &image,
                 info.Height);
  Dim(image, visibility);
  std::vector<std::uint64_t> sizes;
  if (!DDSLevelSizes(info.Format, info.Width, info.Height, info.HasChain, sizes)) return false;
  levels.clear();
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    if (k > 0) HalveBitmap(image);
    levels.push_back(image);
  }
  return true;
}

TError Compare(const TBitmap32& exact, const std::uint8_t* blocks, bool isDXT1) {
  TBitmap32 decoded;
  decoded.SetSize(exact.Width, exact.Height);
  DecodeDXTImage(blocks, isDXT1, exact.Width, StoreBitmapBlock, &decoded, exact.Height);
  TError e;
  for (std::size_t i = 0; i < exact.Pixels.size(); ++i) {
    const std::uint32_t x = exact.Pixels[i], y = decoded.Pixels[i];
    const double a = double(x >> 24);
    double s = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const double d = double((x >> shift) & 255) - double((y >> shift) & 255);
      s += d * d;
    }
    e.Squared += a * s;
    e.Weight += a;
  }
  return e;
}

// Adds the errors of a result file against its source; false when they do not pair up.
bool Measure(const TBytesArray& source, const TBytesArray& result, int visibility, TQuality& q) {
  std::vector<TBitmap32> levels;
  TDDSInfo info, out;
  if (!ExactLevels(source, visibility, levels, info) || !ReadDDSInfo(result, out)) return false;
  if (out.Width != info.Width || out.Height != info.Height || out.Format != info.Format) return false;
  std::size_t offset = DDSHeaderBytes;
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const std::uint64_t size = DXTLevelSize(info.Format, levels[k].Width, levels[k].Height);
    if (offset + size > result.size()) return false;
    const TError e = Compare(levels[k], result.data() + offset, info.Format == DDSFormatDXT1);
    (k == 0 ? q.Level0 : q.Mips).Add(e);
    offset += std::size_t(size);
  }
  ++q.Textures;
  return true;
}

// The former way: every level, level 0 included, encoded from the exactly dimmed pixels.
TBytesArray ReencodeAll(const TBytesArray& source, int visibility) {
  std::vector<TBitmap32> levels;
  TDDSInfo info;
  if (!ExactLevels(source, visibility, levels, info)) return {};
  std::vector<std::uint64_t> sizes;
  DDSLevelSizes(info.Format, info.Width, info.Height, info.HasChain, sizes);
  std::uint64_t total = DDSHeaderBytes;
  for (auto s : sizes) total += s;
  TBytesArray file(std::size_t(total), 0);
  TDDSHeader header;
  BuildDDSHeader(info.Width, info.Height, int(sizes.size()), header, info.Format);
  StoreDDSHeader(header, file.data());
  std::size_t offset = DDSHeaderBytes;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    EncodeDXTImage(file.data() + offset, info.Format == DDSFormatDXT1 ? DxtFlagDXT1 : 0, levels[k].Width,
                   FetchBitmapBlock, &levels[k], levels[k].Height);
    offset += std::size_t(sizes[k]);
  }
  return file;
}

void Print(const char* label, const TQuality& q) {
  std::printf("%-28s %4d textures  level 0 %6.2f dB  mip levels %6.2f dB\n", label, q.Textures, q.Level0.Psnr(),
              q.Mips.Psnr());
}

int Dirs(int visibility, const fs::path& sourceDir, const fs::path& resultDir, const char* label) {
  TQuality q;
  int unpaired = 0;
  for (const auto& entry : fs::recursive_directory_iterator(resultDir)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".dds") continue;
    TBytesArray source, result;
    const fs::path rel = fs::relative(entry.path(), resultDir);
    if (!ReadFile(sourceDir / rel, source) || !ReadFile(entry.path(), result) ||
        !Measure(source, result, visibility, q))
      ++unpaired;
  }
  Print(label, q);
  if (unpaired) std::printf("  %d results without a matching source\n", unpaired);
  return unpaired ? 1 : 0;
}

// A texture with its full chain made from a corpus image, as the game ships them.
TBytesArray MakeTexture(TBitmap32 image, bool isDXT1) {
  const int format = isDXT1 ? DDSFormatDXT1 : DDSFormatDXT5;
  std::vector<std::uint64_t> sizes;
  if (!DDSLevelSizes(format, image.Width, image.Height, true, sizes)) return {};
  std::uint64_t total = DDSHeaderBytes;
  for (auto s : sizes) total += s;
  TBytesArray file(std::size_t(total), 0);
  TDDSHeader header;
  BuildDDSHeader(image.Width, image.Height, int(sizes.size()), header, format);
  StoreDDSHeader(header, file.data());
  std::size_t offset = DDSHeaderBytes;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    if (k > 0) HalveBitmap(image);
    EncodeDXTImage(file.data() + offset, isDXT1 ? DxtFlagDXT1 : 0, image.Width, FetchBitmapBlock, &image,
                   image.Height);
    offset += std::size_t(sizes[k]);
  }
  return file;
}

int Corpus(int visibility) {
  int missing = 0;
  for (const bool isDXT1 : {false, true}) {
    TQuality before, after;
    double beforeCpu = 0, afterCpu = 0, encode0 = 0, dim0 = 0, blocks0 = 0;
    for (const auto& item : corpus::CorpusImages()) {
      TBitmap32 image;
      if (!corpus::LoadCorpusImage(item.Path, image)) {
        ++missing;
        continue;
      }
      if (std::max(image.Width, image.Height) > 4096) continue;  // no chain can describe it
      const TBytesArray source = MakeTexture(image, isDXT1);
      double t = CpuSeconds();
      const TBytesArray old = ReencodeAll(source, visibility);
      beforeCpu += CpuSeconds() - t;
      TBytesArray now = source;
      t = CpuSeconds();
      const bool ok = MakeTranslucentDDS(now, visibility, 0);
      afterCpu += CpuSeconds() - t;
      {
        // Level 0 alone: encoding the exactly dimmed pixels against dimming the blocks.
        std::vector<TBitmap32> levels;
        TDDSInfo info;
        ExactLevels(source, visibility, levels, info);
        const std::size_t blocks = std::size_t(info.Width / 4) * std::size_t(info.Height / 4);
        TBytesArray out(blocks * (isDXT1 ? 8 : 16));
        t = CpuSeconds();
        EncodeDXTImage(out.data(), isDXT1 ? DxtFlagDXT1 : 0, info.Width, FetchBitmapBlock, &levels[0], info.Height);
        encode0 += CpuSeconds() - t;
        t = CpuSeconds();
        DimDXTBlocks(source.data() + DDSHeaderBytes, out.data(), blocks, isDXT1, visibility);
        dim0 += CpuSeconds() - t;
        blocks0 += double(blocks);
      }
      if (!ok || !Measure(source, old, visibility, before) || !Measure(source, now, visibility, after)) ++missing;
    }
    std::printf("corpus %s, visibility %d:\n", isDXT1 ? "DXT1" : "DXT5", visibility);
    Print("  re-encoded (before)", before);
    Print("  engine (after)", after);
    std::printf("  level 0 alone: encoding %.0f ns per block, dimming the blocks %.0f ns per block\n",
                encode0 / blocks0 * 1e9, dim0 / blocks0 * 1e9);
    std::printf("  processor time: before %.2f s, after %.2f s (ratio %.2f)\n", beforeCpu, afterCpu,
                beforeCpu > 0 ? afterCpu / beforeCpu : 0);
  }
  if (missing) std::printf("%d corpus images missing or failed\n", missing);
  return missing ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "dirs" && argc >= 5) return Dirs(std::atoi(argv[2]), argv[3], argv[4], argc > 5 ? argv[5] : "result");
  if (mode == "corpus" && argc >= 3) return Corpus(std::atoi(argv[2]));
  std::fprintf(stderr,
               "usage: bench_camo_quality dirs VISIBILITY SOURCE_DIR RESULT_DIR [LABEL]\n"
               "       bench_camo_quality corpus VISIBILITY\n");
  return 2;
}
