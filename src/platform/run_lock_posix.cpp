#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/text.h"
#include "platform/run_lock.h"
#include "platform/temp_folder.h"

namespace ashtint {

std::string PrivateRunFolder() {
  // The session's runtime folder when there is one, else the temporary folder; either way a
  // folder of this user alone, since the files in it say which folders a later run may delete.
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string base = (runtime != nullptr && runtime[0] == '/') ? IncludeTrailingPathDelimiter(runtime)
                                                                      : SystemTempFolder();
  const std::string folder = base + "ashtint-" + std::to_string(::geteuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
      (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return "";
  return folder + "/";
}

bool CreateFileExclusive(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

TRunLock::~TRunLock() { Release(); }

bool TRunLock::Acquire(const std::string& path, const std::string& content) {
  Release();
  // Made locked under a hidden name and only then given its own, so nobody ever finds the file
  // without its lock and takes it for a dead run's.
  const std::string hidden = ExtractFilePath(path) + "." + ExtractFileName(path);
  const int fd = ::open(hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                  ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
                  ::link(hidden.c_str(), path.c_str()) == 0;  // never over an existing file
  ::unlink(hidden.c_str());
  if (!ok) {
    ::close(fd);
    return false;
  }
  path_ = path;
  handle_ = fd;
  return true;
}

void TRunLock::Release() {
  if (handle_ < 0) return;
  ::unlink(path_.c_str());  // first, so nobody takes the file for a dead run's
  ::close(static_cast<int>(handle_));
  handle_ = -1;
  path_.clear();
}

void TRunLock::Abandon() {
  if (handle_ < 0) return;
  ::close(static_cast<int>(handle_));
  handle_ = -1;
  path_.clear();
}

TRunLockState ProbeRunLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno == ENOENT ? TRunLockState::Missing : TRunLockState::Held;
  const bool free = ::flock(fd, LOCK_SH | LOCK_NB) == 0;
  ::close(fd);
  return free ? TRunLockState::Free : TRunLockState::Held;
}

}  // namespace ashtint
