// A fresh folder under the system temporary folder for one test, removed with everything in it
// (also read-only leftovers) when the test ends.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace test_support {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
      auto candidate = std::filesystem::temp_directory_path() /
                       ("ashtint-test-" + std::to_string(rd()) + std::to_string(rd()));
      if (std::filesystem::create_directory(candidate)) {  // never reuse a folder that exists
        path_ = candidate;
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary folder");
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string() + "/"; }  // with the trailing separator
  std::string operator/(std::string_view name) const { return (path_ / std::string(name)).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
