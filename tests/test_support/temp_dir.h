// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace test_support {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("ashtint-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace test_support
