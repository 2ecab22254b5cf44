// Helpers of the archive tests: temporary folders, files, and the independent zip tools.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/module_loader.h"
#include "common/exceptions.h"
#include "common/streams.h"

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

// A read-only stream over bytes that may report another size than it holds (a file cut
// meanwhile); beforeRead runs before every read and may throw, like a failing disk.
class TTestSource final : public TStream {
 public:
  explicit TTestSource(std::string bytes, std::int64_t reportedSize = -1)
      : bytes_(std::move(bytes)), size_(reportedSize < 0 ? std::int64_t(bytes_.size()) : reportedSize) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (beforeRead) beforeRead();
    const std::size_t n = std::min(count, bytes_.size() - std::min(bytes_.size(), pos_));
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  std::size_t Write(const void*, std::size_t) override { throw EInOutError("read only"); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    const std::int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? std::int64_t(pos_) : size_;
    pos_ = std::size_t(base + offset);
    return std::int64_t(pos_);
  }
  void SetSize(std::int64_t) override { throw EInOutError("read only"); }
  std::int64_t Size() override { return size_; }

  std::function<void()> beforeRead;

 private:
  std::string bytes_;
  std::int64_t size_;
  std::size_t pos_ = 0;
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
