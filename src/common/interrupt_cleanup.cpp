#include "common/interrupt_cleanup.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace ashtint {

namespace {

std::mutex& Mutex() {
  static std::mutex m;
  return m;
}

std::map<std::uint64_t, std::string>& Paths() {
  static std::map<std::uint64_t, std::string> paths;
  return paths;
}

std::uint64_t next = 1;

}  // namespace

TCleanupEntry::TCleanupEntry(std::string path) {
  std::lock_guard lock(Mutex());
  id_ = next++;
  Paths().emplace(id_, std::move(path));
}

TCleanupEntry::~TCleanupEntry() {
  std::lock_guard lock(Mutex());
  Paths().erase(id_);
}

std::mutex& OutputWriteMutex() {
  static std::mutex m;
  return m;
}

void RemoveRegisteredPaths() {
  OutputWriteMutex().lock();  // never released: no write may follow the removal
  std::lock_guard lock(Mutex());
  for (auto it = Paths().rbegin(); it != Paths().rend(); ++it) {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(it->second), ec);  // links are removed, not followed
  }
  Paths().clear();
}

}  // namespace ashtint
