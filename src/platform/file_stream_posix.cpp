#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/exceptions.h"
#include "platform/file_stream.h"

namespace ashtint {

namespace {
std::string ErrnoText() { return std::strerror(errno); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case TFileMode::fmOpenRead: flags |= O_RDONLY; break;
    case TFileMode::fmOpenReadWrite: flags |= O_RDWR; break;
    case TFileMode::fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
  }
  do {
    fd_ = ::open(fileName.c_str(), flags, 0644);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    const char* verb = mode == TFileMode::fmCreate ? "Cannot create file" : "Cannot open file";
    throw EInOutError(std::string(verb) + " \"" + fileName + "\". " + ErrnoText());
  }
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EInOutError("Cannot open file \"" + fileName + "\". " + std::strerror(EISDIR));
  }
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, count);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw EInOutError("Cannot read file \"" + fileName_ + "\". " + ErrnoText());
  }
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  std::size_t left = count;
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EInOutError("Cannot write file \"" + fileName_ + "\". " + ErrnoText());
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return count;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (r < 0) throw EInOutError("Cannot seek in file \"" + fileName_ + "\". " + ErrnoText());
  return static_cast<std::int64_t>(r);
}

void TFileStream::SetSize(std::int64_t newSize) {
  if (::ftruncate(fd_, static_cast<off_t>(newSize)) != 0)
    throw EInOutError("Cannot set the size of file \"" + fileName_ + "\". " + ErrnoText());
  if (Position() > newSize) Seek(newSize, TSeekOrigin::soBeginning);
}

std::int64_t TFileStream::Size() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw EInOutError("Cannot read the size of file \"" + fileName_ + "\". " + ErrnoText());
  return static_cast<std::int64_t>(st.st_size);
}

}  // namespace ashtint
