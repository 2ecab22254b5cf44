// Byte streams: the common shape of files (platform/file_stream.h) and memory blocks that the archive layer, the package
// workers and the texture code pass around.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/arrays.h"

namespace ashtint {

enum class TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Reads up to count bytes at the position; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes count bytes at the position, or throws EInOutError; returns count.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position and returns it. A position before the start throws EInOutError; a position
  // past the end is allowed (a later write fills the gap with zeros).
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  // Cuts or extends the stream; the position is kept unless it lies past the new end.
  virtual void SetSize(std::int64_t newSize) = 0;
  virtual std::int64_t Size();
  // A hint that about bytes more are coming at the position: a memory block makes room for
  // them at once instead of growing and copying as they arrive. It never fails.
  virtual void Expect(std::uint64_t bytes) { (void)bytes; }

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  // Exactly count bytes or EInOutError.
  void ReadBuffer(void* buffer, std::size_t count);
  void WriteBuffer(const void* buffer, std::size_t count) { Write(buffer, count); }
  // Copies count bytes (all up to the end when count is negative) from source at its position.
  std::int64_t CopyFrom(TStream& source, std::int64_t count = -1);
};

// A growable block of memory.
class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(TBytesArray bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void Expect(std::uint64_t bytes) override;

  void Clear() { data_.clear(); position_ = 0; }
  const TBytesArray& Bytes() const { return data_; }
  TBytesArray& Bytes() { return data_; }

 private:
  TBytesArray data_;
  std::int64_t position_ = 0;
};

}  // namespace ashtint
