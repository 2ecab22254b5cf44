#include <algorithm>
#include <vector>

#include "common/exceptions.h"
#include "common/streams.h"

namespace ashtint {

std::int64_t TStream::Size() {
  const std::int64_t here = Position();
  const std::int64_t end = Seek(0, TSeekOrigin::soEnd);
  SetPosition(here);
  return end;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  auto* p = static_cast<std::uint8_t*>(buffer);
  while (count > 0) {
    const std::size_t got = Read(p, count);
    if (got == 0) throw EInOutError("Stream read error");
    p += got;
    count -= got;
  }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  std::vector<std::uint8_t> buffer(1 << 20);
  std::int64_t done = 0;
  while (count < 0 || done < count) {
    std::size_t want = buffer.size();
    if (count >= 0) want = static_cast<std::size_t>(std::min<std::int64_t>(count - done, static_cast<std::int64_t>(want)));
    const std::size_t got = source.Read(buffer.data(), want);
    if (got == 0) {
      if (count >= 0) throw EInOutError("Stream read error");
      break;
    }
    WriteBuffer(buffer.data(), got);
    done += static_cast<std::int64_t>(got);
  }
  return done;
}

}  // namespace ashtint
