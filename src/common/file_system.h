// Questions about files and folders that never throw. Paths are the program's byte strings
// (UTF-8 on Linux, the ANSI code page on Windows), which is what std::filesystem::path takes
// from a narrow string on both.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace ashtint {

inline bool FileExists(const std::string& path) {  // a regular file; a folder does not count
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

inline bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(std::filesystem::path(path), ec);
}

// The local calendar time of t, thread-safe on every system.
inline std::tm LocalTime(std::time_t t) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

}  // namespace ashtint
