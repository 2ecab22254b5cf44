// What the workers of a mod produce for its package, held in memory until the package is
// written: a work folder of loose files would be created, written, read back and deleted for
// nothing. Past a memory limit further files go to the work folder as before and are packed
// from there, so memory stays bounded whatever the client's size. Large files (patched
// space.bin files, big camouflages) stay in memory below the limit like the others: through
// the work folder each was written to the disk twice.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "archive/seven_zip_out_archive.h"
#include "common/arrays.h"

namespace ashtint {

class TPackageContent {
 public:
  // root: the package root (ends with the separator); every file saved lies below it.
  TPackageContent(std::string root, std::uint64_t memoryLimit);

  // Takes the file that would be written at fileName (below the root); false when it cannot
  // be kept (a path outside the root, or a failed write once the limit is passed); failure,
  // when given, then gets why.
  bool Save(TBytesArray bytes, const std::string& fileName, std::string* failure = nullptr);
  // Nothing held in memory (files past the limit are in the root folder).
  bool Empty() const { return items_.empty(); }
  std::uint64_t MemoryBytes() const { return memoryBytes_; }
  // Adds every file held in memory to the archive, subfolders before the files beside them.
  void AddTo(I7zOutArchive& archive) const;
  void Clear();

 private:
  std::string root_;
  std::uint64_t memoryLimit_;
  std::uint64_t memoryBytes_ = 0;
  std::map<std::string, std::shared_ptr<const TBytesArray>> items_;  // by archive path
  std::set<std::string> onDisk_;                                    // archive paths spilled
};

// The default memory limit of a package's content: 384 MiB.
inline constexpr std::uint64_t PackageContentMemoryLimit = 384ull << 20;

}  // namespace ashtint
