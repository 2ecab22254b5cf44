#include "mods/space_bin_patch.h"

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "config/sign_match.h"
#include "mods/byte_helpers.h"
#include "textures/dds_creator.h"

namespace ashtint {

namespace {

// Reads a space.bin within [pos, end) and refuses anything that would leave it.
class TBoundedReader {
 public:
  TBoundedReader(const TBytesArray& data, std::uint64_t pos, std::uint64_t end) : data_(data), pos_(pos), end_(end) {}

  std::uint32_t U32() {
    Need(4, "a number");
    std::uint32_t v;
    std::memcpy(&v, data_.data() + pos_, 4);  // little-endian on every system we build for
    pos_ += 4;
    return v;
  }
  void Skip(std::uint64_t count, const char* what) {
    Need(count, what);
    pos_ += count;
  }
  std::uint64_t Pos() const { return pos_; }

 private:
  void Need(std::uint64_t count, const char* what) const {
    if (count > end_ - pos_)
      throw ESpaceBinError(std::string("space.bin is damaged: ") + what + " runs past the end of its section");
  }

  const TBytesArray& data_;
  std::uint64_t pos_;
  std::uint64_t end_;
};

std::uint32_t U32At(const TBytesArray& data, std::size_t at) {
  std::uint32_t v;
  std::memcpy(&v, data.data() + at, 4);
  return v;
}

}  // namespace

std::vector<RSpaceBinTexture> ReadSpaceBinTextures(const TBytesArray& data) {
  std::vector<RSpaceBinTexture> textures;
  std::size_t row = std::string::npos;
  for (std::size_t i = 0; i <= 1000 && i + 4 <= data.size(); ++i) {
    if (std::memcmp(data.data() + i, "BSMA", 4) == 0) {
      row = i;
      break;
    }
  }
  if (row == std::string::npos) return textures;
  if (row + 20 > data.size()) throw ESpaceBinError("space.bin is damaged: its section table is cut short");
  const std::uint64_t offset = U32At(data, row + 8);
  const std::uint32_t length = U32At(data, row + 16);
  if (length == 0 || static_cast<std::int32_t>(length) < 0) return textures;
  if (offset > data.size() || length > data.size() - offset)
    throw ESpaceBinError("space.bin is damaged: its BSMA section lies outside the file");

  TBoundedReader r(data, offset, offset + length);
  for (int block = 0; block < 5; ++block) {
    const std::uint64_t size = r.U32();
    const std::uint64_t count = r.U32();
    r.Skip(size * count, "a block");  // both below 2^32: the product fits 64 bits
  }
  // Each entry takes at least 24 bytes, so a lying count ends at the section's end, never in a
  // long loop or a huge allocation.
  const std::uint32_t entries = r.U32();
  for (std::uint32_t e = 0; e < entries; ++e) {
    r.Skip(12, "a texture entry");
    RSpaceBinTexture t;
    t.Length = r.U32();
    t.Offset = r.Pos();
    r.Skip(t.Length, "a texture");
    r.Skip(r.U32(), "a texture's block");
    const std::uint32_t nameLength = r.U32();
    const std::uint64_t nameAt = r.Pos();
    r.Skip(nameLength, "a texture name");
    t.Name.assign(reinterpret_cast<const char*>(data.data() + nameAt), nameLength);
    textures.push_back(std::move(t));
  }
  return textures;
}

void ThSpaceBinPatch::SetFiles(const ARFiles& roots, const std::string& color, std::uint32_t minSize) {
  for (const RFiles& root : roots) {
    const std::size_t signs = std::min<std::size_t>(root.Signs.size(), std::max(root.SignCount, 0));
    for (std::size_t i = 0; i < signs; ++i) {
      const RSign& sign = root.Signs[i];
      if (sign.WordCount <= 0 || sign.Words.empty()) continue;
      const std::size_t words = std::min<std::size_t>(sign.Words.size(), sign.WordCount);
      if (sign.Words[words - 1].find("_hd.dds") != std::string::npos) continue;  // as written
      RDDSFile f;
      f.Words.push_back(root.Name);
      f.Words.insert(f.Words.end(), sign.Words.begin(), sign.Words.begin() + static_cast<std::ptrdiff_t>(words));
      for (auto& w : f.Words) {
        w = LowerCase(w);
        std::replace(w.begin(), w.end(), '\\', '/');
      }
      f.WordCount = static_cast<std::int32_t>(f.Words.size());
      f.Color = color;
      Files.push_back(std::move(f));
    }
  }
  if (minSize != 0) MinSize = minSize;
}

void ThSpaceBinPatch::Execute() {
  if (Files.empty()) return;
  // Each attempt counts afresh: textures patched by a failed attempt are not in its result.
  RunAttempts(true, MinSize);
}

bool ThSpaceBinPatch::ProcessItem(I7zInArchive& archive, std::uint32_t index) {
  const std::string path = archive.ItemPath(index);
  if (LowerCase(path).find("space.bin") == std::string::npos) return true;
  ItemIndex = static_cast<std::int32_t>(index);
  ItemPath = path;
  const std::string outFile = OutputPathOf(OutDir, ItemPath);
  AddLog("Extract \t" + ItemPath);

  // Extracted into memory: only a patched file ever reaches the output folder, and whole.
  Data.clear();
  try {
    TMemoryStream stream;
    archive.ExtractItem(index, stream);
    Data = std::move(stream.Bytes());
  } catch (const std::exception&) {
    Data.clear();
  }
  if (Data.empty()) {
    ErrorText = Report(ItemPath, "I/O", "Failed to extract file!");
    return false;
  }

  bool changed = false;
  for (const RSpaceBinTexture& t : ReadSpaceBinTextures(Data)) {
    const std::string lower = LowerCase(t.Name);
    Color.clear();
    for (const RDDSFile& f : Files) {
      if (WordsMatch(f.Words, f.WordCount, lower)) {
        Color = f.Color;
        break;
      }
    }
    if (Color.empty()) continue;
    const auto begin = Data.begin() + static_cast<std::ptrdiff_t>(t.Offset);
    Texture.assign(begin, begin + static_cast<std::ptrdiff_t>(t.Length));
    Repainted = false;
    Synchronize([this] { Repainted = RepaintDDS(Texture, AddAlpha ? Color + "FF" : Color); });
    if (!Repainted) throw Exception(t.Name + " - failed to repaint the texture!");
    // A texture that grew (a fuller mip chain than the original) cannot fit its slot: the slot
    // keeps its old bytes. The length in the file never changes.
    if (!Texture.empty() && Texture.size() <= t.Length) {
      std::copy(Texture.begin(), Texture.end(), begin);
      ++FilesWritten;
      changed = true;
    }
    Texture.clear();
  }

  if (changed) {
    AddLog("Write \t" + outFile);
    Saved = false;
    Synchronize([&] { Saved = SaveOutput(Data, outFile); });
    if (!Saved) ErrorText = SaveErrorReport(PkgFile, ItemPath, SaveFailure);
  }
  Data.clear();
  Data.shrink_to_fit();
  return false;  // only the first space.bin of a package
}

}  // namespace ashtint
