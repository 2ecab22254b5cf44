#include <algorithm>
#include <cstring>
#include <new>

#include "common/exceptions.h"
#include "common/streams.h"

namespace ashtint {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const auto size = static_cast<std::int64_t>(data_.size());
  if (position_ >= size || count == 0) return 0;
  const std::size_t n = std::min(count, static_cast<std::size_t>(size - position_));
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += static_cast<std::int64_t>(n);
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  const std::size_t position = static_cast<std::size_t>(position_);
  if (position > data_.size()) data_.resize(position);  // a gap after a seek past the end becomes zeros
  // Over what is there, then appended: new bytes are copied once, never zeroed first.
  const std::size_t inside = std::min(count, data_.size() - position);
  if (inside > 0) std::memcpy(data_.data() + position, bytes, inside);  // an empty block has no data pointer
  data_.insert(data_.end(), bytes + inside, bytes + count);
  position_ = static_cast<std::int64_t>(position + count);
  return count;
}

void TMemoryStream::Expect(std::uint64_t bytes) {
  // A size read from a damaged or hostile archive may be anything: beyond this the block grows
  // as the bytes really arrive.
  constexpr std::uint64_t kLargestHint = 256u << 20;
  if (bytes == 0 || bytes > kLargestHint) return;
  try {
    data_.reserve(std::max(data_.size(), static_cast<std::size_t>(position_) + static_cast<std::size_t>(bytes)));
  } catch (const std::bad_alloc&) {
    // only a hint: the writes themselves will say whether memory runs out
  }
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == TSeekOrigin::soCurrent) base = position_;
  if (origin == TSeekOrigin::soEnd) base = static_cast<std::int64_t>(data_.size());
  const std::int64_t target = base + offset;
  if (target < 0) throw EInOutError("Stream seek before the start");
  position_ = target;
  return position_;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  if (newSize < 0) throw EInOutError("Negative stream size");
  data_.resize(static_cast<std::size_t>(newSize));
  if (position_ > newSize) position_ = newSize;
}

}  // namespace ashtint
