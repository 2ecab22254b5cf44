#include "common/sibling_file.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

namespace ashtint {

namespace {

std::mutex tagMutex;
std::string& Tag() {
  static std::string tag;
  return tag;
}

}  // namespace

void SetSiblingTempTag(const std::string& tag) {
  std::lock_guard lock(tagMutex);
  Tag() = tag;
}

std::optional<std::string> SiblingTempTagOf(const std::string& name, const std::string& target) {
  if (name.size() < target.size() + 2 + 8 + 4 || name.compare(0, target.size(), target) != 0) return std::nullopt;
  const std::string rest = name.substr(target.size());
  if (rest.compare(0, 2, ".~") != 0 || rest.compare(rest.size() - 4, 4, ".tmp") != 0) return std::nullopt;
  const std::string middle = rest.substr(2, rest.size() - 6);
  const auto dash = middle.rfind('-');
  const std::string random = dash == std::string::npos ? middle : middle.substr(dash + 1);
  if (random.size() != 8 || random.find_first_not_of("0123456789abcdef") != std::string::npos) return std::nullopt;
  return dash == std::string::npos ? std::string() : middle.substr(0, dash);
}

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
  std::string tag;
  {
    std::lock_guard lock(tagMutex);
    tag = Tag();
  }
  return target + ".~" + (tag.empty() ? std::string() : tag + "-") + buf + ".tmp";
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
