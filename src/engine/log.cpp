#include "engine/log.h"

#include <chrono>
#include <ctime>

#include "common/file_system.h"

namespace ashtint {

namespace {
const std::string kOpeningLine = "/" + std::string(90, '-') + "\\\r\n";
const std::string kClosingLine = "\\" + std::string(90, '-') + "/\r\n";

std::FILE* OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  return _fsopen(name.c_str(), mode, 0x40 /* _SH_DENYNO */);
#else
  return std::fopen(name.c_str(), mode);
#endif
}

bool WriteAll(std::FILE* f, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
}
}  // namespace

std::string LogTimeStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm local = LocalTime(t);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d: ", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
  return buf;
}

TLog::TLog(const std::string& fileName, bool rewrite, const std::string& header) {
  if (rewrite) {
    if (std::FILE* f = OpenFile(fileName, "wb")) std::fclose(f);
  }
  // "ab+" creates a missing file and always writes at the end, which is what a log needs.
  file_ = OpenFile(fileName, "ab+");
  if (!file_) return;
  bool ok = std::fseek(file_, 0, SEEK_END) == 0;
  const long length = ok ? std::ftell(file_) : -1;
  ok = ok && length >= 0;
  if (ok && length > 0) ok = WriteAll(file_, "\r\n");
  ok = ok && WriteAll(file_, kOpeningLine) && WriteAll(file_, header + "\r\n\r\n");
  if (!ok) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

TLog::~TLog() {
  if (!file_) return;
  WriteAll(file_, kClosingLine);
  std::fclose(file_);
}

void TLog::Write(const std::string& text) {
  if (!file_) return;
  WriteAll(file_, LogTimeStamp() + text + "\r\n");
}

TLogProc LogProcOf(TLog* log) {
  if (!log) return {};
  return [log](const std::string& text) { log->Write(text); };
}

}  // namespace ashtint
