#include <windows.h>

#include "common/text.h"
#include "platform/run_lock.h"
#include "platform/temp_folder.h"

namespace ashtint {

std::string PrivateRunFolder() {
  // Windows gives every user a temporary folder of their own.
  const std::string folder = SystemTempFolder() + "AshtintCreator2.runs";
  if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return "";
  return folder + "\\";
}

bool CreateFileExclusive(const std::string& path) {
  const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

TRunLock::~TRunLock() { Release(); }

bool TRunLock::Acquire(const std::string& path, const std::string& content) {
  Release();
  // Others may read the file and test its lock; it goes when the handle closes, also when the
  // process is killed.
  // Made locked under a hidden name and only then given its own, so nobody ever finds the file
  // without its lock and takes it for a dead run's.
  const std::string hidden = ExtractFilePath(path) + "." + ExtractFileName(path);
  const HANDLE h = ::CreateFileA(hidden.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED at{};
  DWORD written = 0;
  // The lock covers a range beyond the content, so readers can still read what it says.
  at.Offset = 0x7FFFFFF0u;
  if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) ||
      !::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
      written != content.size() || !::MoveFileExA(hidden.c_str(), path.c_str(), 0)) {
    ::DeleteFileA(hidden.c_str());
    ::CloseHandle(h);
    return false;
  }
  path_ = path;
  handle_ = reinterpret_cast<long long>(h);
  return true;
}

void TRunLock::Release() {
  if (handle_ < 0) return;
  ::DeleteFileA(path_.c_str());
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  path_.clear();
}

void TRunLock::Abandon() {
  if (handle_ < 0) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  path_.clear();
}

TRunLockState ProbeRunLock(const std::string& path) {
  const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = ::GetLastError();
    return (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? TRunLockState::Missing : TRunLockState::Held;
  }
  OVERLAPPED at{};
  at.Offset = 0x7FFFFFF0u;
  const bool free = ::LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
  if (free) ::UnlockFileEx(h, 0, 1, 0, &at);
  ::CloseHandle(h);
  return free ? TRunLockState::Free : TRunLockState::Held;
}

}  // namespace ashtint
