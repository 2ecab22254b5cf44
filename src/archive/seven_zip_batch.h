// Items waiting to be written and the batches (one output archive each) they are spread over.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/streams.h"

namespace ashtint {

// One item to store.
struct T7zBatchItem {
  enum : std::int32_t { kStream = 0, kFile = 1 };

  std::int32_t Kind = kFile;
  std::shared_ptr<TStream> Stream;  // the caller's data (kind 0)
  std::uint32_t Attributes = 0;     // as the system reports them (Unix mode in the high 16 bits on Linux)
  std::uint64_t CreationTime = 0;   // file times: 100 ns ticks since 1601-01-01 UTC, 0 = none
  std::uint64_t LastWriteTime = 0;
  std::string ArchivePath;          // path inside the archive, '\' between folders, UTF-8
  bool IsFolder = false;
  bool IsAnti = false;
  std::string SourceFile;           // full path of the file on disk (kind 1)
  bool OwnsStream = false;          // the stream dies with the last item holding it
  std::uint64_t Size = 0;

  // Copies every field; a copy shares the stream, so copies never free it twice.
  void Assign(const T7zBatchItem& other) { *this = other; }
};

// The items of one output archive.
class TBatchList {
 public:
  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  T7zBatchItem& operator[](std::size_t index) { return items_.at(index); }
  const T7zBatchItem& operator[](std::size_t index) const { return items_.at(index); }
  T7zBatchItem& Last() { return items_.back(); }
  void Add(T7zBatchItem item) {
    totalSize_ += item.Size;
    items_.push_back(std::move(item));
  }
  void Clear() {
    items_.clear();
    totalSize_ = 0;
  }
  std::uint64_t TotalSize() const { return totalSize_; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<T7zBatchItem> items_;
  std::uint64_t totalSize_ = 0;
};

using ATBatchList = std::vector<TBatchList>;

}  // namespace ashtint
