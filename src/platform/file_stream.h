// Files on disk as byte streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/streams.h"

namespace ashtint {

enum class TFileMode {
  fmOpenRead,       // existing file, read only; other readers and writers are allowed
  fmOpenReadWrite,  // existing file, read and write
  fmCreate,         // created or emptied, read and write
};

// A file on disk with 64-bit positions.
class TFileStream final : public TStream {
 public:
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  std::int64_t Size() override;

  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace ashtint
