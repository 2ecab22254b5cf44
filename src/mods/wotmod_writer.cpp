#include "mods/wotmod_writer.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "archive/seven_zip_abi.h"
#include "common/exceptions.h"
#include "common/interrupt_cleanup.h"
#include "common/sibling_file.h"
#include "common/streams.h"
#include "common/text.h"
#include "platform/file_stream.h"

namespace ashtint {

namespace fs = std::filesystem;

namespace {

void Log(const TLogProc& log, const std::string& text) {
  if (log) log(text);
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  fs::remove(fs::path(path), ignored);
}

// Writes through a file beside the target, so the target is either the old file or the
// complete new one.
template <typename WriteProc>
void WriteBeside(const std::string& target, WriteProc&& write) {
  const std::string temp = SiblingTempName(target);
  const TCleanupEntry pending(temp);
  try {
    TFileStream stream(temp, TFileMode::fmCreate);
    write(stream);
  } catch (...) {
    RemoveQuietly(temp);
    throw;
  }
  std::error_code ec;
  if (!ReplaceFileWith(temp, target, ec))
    throw EInOutError("Cannot move \"" + temp + "\" to \"" + target + "\". " + ec.message());
}

void SavePackage(I7zOutArchive& archive, const std::string& target, std::int32_t batch) {
  WriteBeside(target, [&](TStream& stream) {
    archive.SetBatchIndex(batch);
    archive.SaveToStream(stream, batch);
  });
}

// The descriptors are the root's own files, so the walk puts them last; only the last two
// items of the last batch are looked at. A meta.xml in a subfolder does not count: the game
// reads only the root's.
struct Descriptors {
  T7zBatchItem* meta = nullptr;
  T7zBatchItem* properties = nullptr;
};

Descriptors FindDescriptors(TBatchList& last) {
  Descriptors d;
  const std::size_t n = last.Count();
  if (n == 0) return d;
  const auto isNamed = [](const T7zBatchItem& item, const char* name) {
    return SameText(item.ArchivePath, name);
  };
  T7zBatchItem& tail = last[n - 1];
  T7zBatchItem* before = n >= 2 ? &last[n - 2] : nullptr;
  if (isNamed(tail, "properties.xml")) {
    d.properties = &tail;
    if (before && isNamed(*before, "meta.xml")) d.meta = before;
  } else if (isNamed(tail, "meta.xml")) {
    d.meta = &tail;
    if (before && isNamed(*before, "properties.xml")) d.properties = before;
  }
  return d;
}

void WriteParts(I7zOutArchive& archive, const std::string& file, const TLogProc& log,
                std::vector<std::string>& written) {
  ATBatchList& batches = archive.GetBatchList();
  const std::size_t last = batches.size() - 1;
  Log(log, "   formed packages: " + std::to_string(batches.size()));

  const Descriptors found = FindDescriptors(batches[last]);
  if (!found.meta)
    throw Exception("The package needs " + std::to_string(batches.size()) +
                    " parts, but meta.xml is not among the last files of its root folder");
  // Copies, since appending to the batches below may move the items found.
  const T7zBatchItem meta = *found.meta;
  const bool hasProperties = found.properties != nullptr;
  const T7zBatchItem properties = hasProperties ? *found.properties : T7zBatchItem{};
  const std::string metaText = ReadTextFile(meta.SourceFile);

  for (std::size_t i = 0; i < last; ++i) {
    if (hasProperties) batches[i].Add(properties);
    batches[i].Add(meta);
  }

  // Each part is written with its own identifier in meta.xml; the work folder gets its
  // meta.xml back afterwards, so packing the same folder again gives the same parts. A failed
  // restore spoils no package, and after a failure the first error is the one to report.
  const auto restoreMeta = [&]() noexcept {
    try {
      WriteTextFile(meta.SourceFile, metaText);
    } catch (...) {
    }
  };
  const std::string ext = ExtractFileExt(file);
  const std::string stem = file.substr(0, file.size() - ext.size());
  try {
    for (std::size_t i = 0; i <= last; ++i) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, "_Part%d", static_cast<int>(i + 1));
      const std::string partMeta = InsertBeforeId(metaText, suffix);
      WriteTextFile(meta.SourceFile, partMeta);
      // The writer holds every item to the size it announces: this part's meta.xml is longer.
      TBatchList& batch = batches[i];
      for (std::size_t k = 0; k < batch.Count(); ++k)
        if (batch[k].SourceFile == meta.SourceFile) batch[k].Size = partMeta.size();
      Log(log, std::string("   meta-file modified: ") + suffix);

      const std::string part = stem + suffix + ext;
      SavePackage(archive, part, static_cast<std::int32_t>(i));
      written.push_back(part);
      Log(log, "   package created: " + part);
    }
  } catch (...) {
    restoreMeta();
    throw;
  }
  restoreMeta();
}

}  // namespace

I7zOutArchivePtr PrepareWotmod(const std::string& folder, const std::string& libraryPath, std::int64_t batchSize,
                               const TPackageContent* content) {
  auto archive = CreateOutArchive(szabi::CLSID_CFormatZip, libraryPath);
  SetCompressionMethod(*archive, 0);
  archive->SetBatchSize(batchSize);
  if (content) content->AddTo(*archive);  // the folder's own files, the descriptors, stay last
  archive->AddFiles(folder, "", "*.*", true);
  return archive;
}

bool CreateWotmod(const std::string& file, const std::string& folder, const std::string& libraryPath,
                  const TLogProc& log, std::int64_t batchSize, const TPackageContent* content,
                  std::string* failure) {
  std::vector<std::string> written;
  try {
    const std::string target = ExtractFilePath(file);
    if (!target.empty()) {
      std::error_code ec;
      fs::create_directories(fs::path(target), ec);
      if (ec) throw EInOutError("Cannot create folder \"" + target + "\". " + ec.message());
    }
    auto archive = PrepareWotmod(folder, libraryPath, batchSize, content);
    if (archive->GetBatchList().size() < 2)
      SavePackage(*archive, file, 0);
    else
      WriteParts(*archive, file, log, written);
    return true;
  } catch (...) {
    // Some parts of a mod loaded without the others break the game's view of it: all or none.
    for (const auto& part : written) RemoveQuietly(part);
    try {
      throw;
    } catch (const std::exception& e) {
      Log(log, "   error: " + DescribeException(e));
      if (failure) *failure = e.what();
    } catch (...) {
      Log(log, "   error: unknown");
      if (failure) *failure = "unknown error";
    }
    return false;
  }
}

std::string InsertBeforeId(const std::string& text, const std::string& suffix) {
  std::size_t at = text.find("</id>");
  if (at == std::string::npos) return text;
  while (at > 0 && (text[at - 1] == ' ' || text[at - 1] == '\t')) --at;
  std::string result = text;
  result.insert(at, suffix);
  return result;
}

std::string ReadTextFile(const std::string& fileName) {
  TFileStream stream(fileName, TFileMode::fmOpenRead);
  std::string text(static_cast<std::size_t>(stream.Size()), '\0');
  if (!text.empty()) stream.ReadBuffer(text.data(), text.size());
  return text;
}

void WriteTextFile(const std::string& fileName, const std::string& text) {
  if (text.empty()) throw EInOutError("Nothing to write into \"" + fileName + "\"");
  WriteBeside(fileName, [&](TStream& stream) { stream.WriteBuffer(text.data(), text.size()); });
}

}  // namespace ashtint
