#include <algorithm>
#include <cstring>

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
  const std::size_t end = static_cast<std::size_t>(position_) + count;
  if (end > data_.size()) data_.resize(end);  // a gap after a seek past the end becomes zeros
  std::memcpy(data_.data() + position_, buffer, count);
  position_ = static_cast<std::int64_t>(end);
  return count;
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
