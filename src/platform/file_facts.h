// What the archive writer records about a file on disk.
#pragma once

#include <cstdint>
#include <string>

namespace ashtint {

struct TFileFacts {
  std::uint64_t Size = 0;
  std::uint32_t Attributes = 0;     // ready for the zip entry's external attributes
  std::uint64_t CreationTime = 0;   // 100 ns ticks since 1601-01-01 UTC
  std::uint64_t LastWriteTime = 0;
};

// Raises EInOutError when the file cannot be examined.
TFileFacts ReadFileFacts(const std::string& fileName);

}  // namespace ashtint
