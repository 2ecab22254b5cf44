#include "common/sibling_file.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

namespace ashtint {

std::string SiblingTempName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  // Seeded once per thread from time, thread and the system's randomness (opening that costs a
  // file per call), so two runs or threads writing the same target never pick the same name.
  thread_local std::mt19937 gen = [] {
    std::seed_seq seed{static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()),
                       static_cast<unsigned>(std::hash<std::thread::id>{}(std::this_thread::get_id())),
                       counter.fetch_add(1), static_cast<unsigned>(std::random_device{}())};
    return std::mt19937(seed);
  }();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(gen()));
  return target + ".~" + buf + ".tmp";
}

bool ReplaceFileWith(const std::string& tempFile, const std::string& target, std::error_code& ec) {
  ec.clear();
  std::filesystem::rename(tempFile, target, ec);
  if (!ec) return true;
  std::error_code ignored;
  std::filesystem::remove(tempFile, ignored);
  return false;
}

}  // namespace ashtint
