// How runs of the engine know of each other: each live run holds a lock on a small file of its
// own in a folder private to the user. A lock the system lets go when its process ends, however
// it ends, so a file whose lock is free was left by a run that no longer lives.
#pragma once

#include <string>

namespace ashtint {

// The user's own folder for these files (made when missing, ends with the separator); empty
// when there is none that only this user can write.
std::string PrivateRunFolder();

// Creates the file only when no file of that name exists. False when it exists or cannot be made.
bool CreateFileExclusive(const std::string& path);

// A lock file held for the life of the run.
class TRunLock {
 public:
  TRunLock() = default;
  ~TRunLock();
  TRunLock(const TRunLock&) = delete;
  TRunLock& operator=(const TRunLock&) = delete;

  // Creates the file (never over an existing one), writes content into it and locks it.
  bool Acquire(const std::string& path, const std::string& content);
  // Unlocks and deletes the file.
  void Release();
  // Unlocks and leaves the file, for a later run to find as that of an ended run.
  void Abandon();

 private:
  std::string path_;
  long long handle_ = -1;
};

enum class TRunLockState { Held, Free, Missing };

// Held while a live process holds the file's lock; Free when the file is there but its run has
// ended; Missing when there is no such file.
TRunLockState ProbeRunLock(const std::string& path);

}  // namespace ashtint
