// What an interrupted run (Ctrl+C, a closed terminal) must not leave behind: the run's
// temporary folder and files being written beside their final names. Entries register while
// they exist; the interrupt handler removes whatever is registered at that moment.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace ashtint {

class TCleanupEntry {
 public:
  explicit TCleanupEntry(std::string path);  // a file or a folder (removed with its content)
  ~TCleanupEntry();
  TCleanupEntry(const TCleanupEntry&) = delete;
  TCleanupEntry& operator=(const TCleanupEntry&) = delete;

 private:
  std::uint64_t id_;
};

// Held by the thread that writes the run's output while it writes, so the interrupt handler
// never removes a folder that a write then makes again.
std::mutex& OutputWriteMutex();

// From the interrupt handler's thread: waits for the write under way, then removes every
// registered path. The output stays locked: the process is to end right after.
void RemoveRegisteredPaths();

}  // namespace ashtint
