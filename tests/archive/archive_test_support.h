// Helpers of the archive tests: temporary folders, files, and the independent zip tools.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/module_loader.h"

namespace ashtint::test {

inline std::string LibraryPath() { return DefaultSevenZipLibraryPath(); }

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("ashtint_archive_" + std::to_string(::getpid()) + "_" + std::to_string(counter++)))
                .string() + "/";
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string Quote(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

// Runs a shell command and returns its standard output; the exit status goes to status.
inline std::string Capture(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  const int rc = ::pclose(p);
  if (status) *status = rc;
  return out;
}

inline std::string ZipTool() { return "python3 " + Quote(std::string(ASHTINT_SOURCE_DIR) + "/tests/archive/zip_tool.py"); }

// One entry as python's zipfile sees it.
struct TZipEntry {
  std::string name;
  int method = -1;
  unsigned long long size = 0;
  std::string crc, flags, mode, extras;
};

// Entries of a zip and whether python's full data check passed.
inline std::vector<TZipEntry> PythonList(const std::string& zip, bool* testOk = nullptr) {
  int rc = 0;
  const std::string out = Capture(ZipTool() + " list " + Quote(zip) + " 2>&1", &rc);
  std::vector<TZipEntry> entries;
  std::istringstream lines(out);
  std::string line;
  bool ok = false;
  while (std::getline(lines, line)) {
    if (line == "TEST OK") { ok = true; continue; }
    std::istringstream f(line);
    TZipEntry e;
    std::string method, size;
    if (!std::getline(f, e.name, '\t') || !std::getline(f, method, '\t') || !std::getline(f, size, '\t') ||
        !std::getline(f, e.crc, '\t') || !std::getline(f, e.flags, '\t') || !std::getline(f, e.mode, '\t') ||
        !std::getline(f, e.extras))
      continue;
    e.method = std::stoi(method);
    e.size = std::stoull(size);
    entries.push_back(e);
  }
  if (testOk) *testOk = ok && rc == 0;
  return entries;
}

}  // namespace ashtint::test
