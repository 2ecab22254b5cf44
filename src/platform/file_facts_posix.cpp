#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/file_facts.h"
#include "common/exceptions.h"

namespace ashtint {

namespace {
constexpr std::uint64_t kUnixEpochInFileTime = 116444736000000000ull;  // 1970-01-01 in 100 ns ticks since 1601

std::uint64_t ToFileTime(const timespec& t) {
  if (t.tv_sec < 0) return 0;
  return kUnixEpochInFileTime + static_cast<std::uint64_t>(t.tv_sec) * 10000000ull +
         static_cast<std::uint64_t>(t.tv_nsec) / 100;
}
}  // namespace

TFileFacts ReadFileFacts(const std::string& fileName) {
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0)
    throw EInOutError("Cannot read the attributes of file \"" + fileName + "\". " + std::strerror(errno));
  TFileFacts facts;
  facts.Size = static_cast<std::uint64_t>(st.st_size);
  // Zip readers on Unix take the mode from the high 16 bits (0x8000 marks it as present); an entry
  // without it is extracted with no permissions at all. Stored files are made readable by all.
  const std::uint32_t mode = S_IFREG | ((st.st_mode & 07777) | 0444);
  facts.Attributes = 0x8000u | (mode << 16);
  if (!(st.st_mode & S_IWUSR)) facts.Attributes |= 0x1;  // read-only
  facts.LastWriteTime = ToFileTime(st.st_mtim);
  facts.CreationTime = facts.LastWriteTime;  // no creation time on most Linux file systems
  return facts;
}

}  // namespace ashtint
