// Writing archives: collect items, spread them over batches, write each batch as one archive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "archive/seven_zip_abi.h"
#include "archive/seven_zip_batch.h"
#include "common/streams.h"

namespace ashtint {

// A value of a writer option: a number, a switch or a text.
using T7zPropValue = std::variant<std::uint32_t, bool, std::string>;

// A writing archive. One object per thread.
class I7zOutArchive {
 public:
  virtual ~I7zOutArchive() = default;

  // Sets one writer option (for zip: "M" method, "x" level, "tp" time kind, "cu" UTF-8 names...).
  // Options add up: all of them are passed to the library together.
  virtual void SetProperty(const std::string& name, const T7zPropValue& value) = 0;
  // Size limit of one batch in bytes; 0 = no splitting.
  virtual void SetBatchSize(std::int64_t size) = 0;
  // Adds every file below folder matching one of the ';'-separated masks, each folder's subfolders
  // (not those whose name starts with '.') before its own files. Archive paths are relative to
  // folder, behind prefix + '\' when prefix is given. A file of 2 GiB or more raises ERangeError;
  // a folder that cannot be listed raises EInOutError. Nothing is added when the call raises.
  virtual void AddFiles(const std::string& folder, const std::string& prefix, const std::string& masks,
                        bool recurse) = 0;
  // Adds the caller's stream as one item; its data is read from the start when it is written.
  virtual void AddStream(std::shared_ptr<TStream> stream, const std::string& archivePath) = 0;
  // The batches themselves (never empty).
  virtual ATBatchList& GetBatchList() = 0;
  virtual void SetBatchIndex(std::int32_t index) = 0;
  // One batch: exactly fileName. Several: fileName with _Part01, _Part02... before the extension.
  // Each file is written beside its name and renamed into place when complete, so a failed
  // save keeps the file that was there; parts written before it stay. An item whose source
  // delivers another number of bytes than its Size fails the save with EInOutError.
  virtual void SaveToFile(const std::string& fileName) = 0;
  // Writes batch batchIndex as one archive into the stream (which should be empty).
  virtual void SaveToStream(TStream& stream, std::int32_t batchIndex) = 0;
};

using I7zOutArchivePtr = std::shared_ptr<I7zOutArchive>;

I7zOutArchivePtr CreateOutArchive(const szabi::GUID& classId, const std::string& libraryPath);

// The zip method "M" by index: 0 "COPY" (stored), 1 "DEFLATE", 2 "DEFLATE64", 3 "BZIP2".
void SetCompressionMethod(I7zOutArchive& archive, int methodIndex);

// Windows-style file mask test ('*' and '?', letter case ignored, "*.*" takes every name).
bool MatchesMask(const std::string& name, const std::string& mask);

}  // namespace ashtint
