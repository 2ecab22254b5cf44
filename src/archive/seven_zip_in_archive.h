// Reading archives: list items and extract one item at a time into a stream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/seven_zip_abi.h"
#include "common/streams.h"

namespace ashtint {

// A reading archive. One object per thread: objects may be used in parallel, one object may not.
class I7zInArchive {
 public:
  virtual ~I7zInArchive() = default;

  // Opens the file (others may read and write it meanwhile). A file the handler does not
  // recognise, and a damaged archive (cut short, broken headers), raise E7zError.
  virtual void OpenFile(const std::string& fileName) = 0;
  // Same over a whole stream (read from its start) that the caller keeps alive until Close.
  virtual void OpenStream(TStream& stream) = 0;
  virtual std::uint32_t ItemCount() = 0;
  // The item's path with '\' between folders; UTF-8.
  virtual std::string ItemPath(std::uint32_t index) = 0;
  virtual bool ItemIsFolder(std::uint32_t index) = 0;
  // Unpacked size.
  virtual std::uint64_t ItemSize(std::uint32_t index) = 0;
  // Writes the unpacked bytes of the item at the stream's position (test: check only, write
  // nothing). A data or CRC error of the item raises E7zError.
  virtual void ExtractItem(std::uint32_t index, TStream& stream, bool test = false) = 0;
  virtual void Close() = 0;
};

using I7zInArchivePtr = std::shared_ptr<I7zInArchive>;

// A new reading archive over the library at libraryPath for the handler classId
// (szabi::CLSID_CFormatZip for zip packages).
I7zInArchivePtr CreateInArchive(const szabi::GUID& classId, const std::string& libraryPath);

}  // namespace ashtint
