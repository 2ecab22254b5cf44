#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/guid.h"

namespace ashtint {

namespace {

bool FromGetrandom(std::uint8_t* out, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::getrandom(out + done, size - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FromUrandom(std::uint8_t* out, std::size_t size) {
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return done == size;
}

}  // namespace

std::string NewGuidText() {
  std::array<std::uint8_t, 16> bytes{};
  if (!FromGetrandom(bytes.data(), bytes.size()) && !FromUrandom(bytes.data(), bytes.size()))
    throw std::system_error(errno, std::generic_category(), "no random bytes for a GUID");
  // Random identifier: version 4, RFC 4122 variant.
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
  return GuidBytesToText(bytes);
}

}  // namespace ashtint
