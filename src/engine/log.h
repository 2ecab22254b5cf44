// The engine's optional run log: one framed block per run, one time-stamped line per event.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace ashtint {

class TLog {
 public:
  // Opens or creates the file and writes the block's opening; any failure leaves the log
  // without a file, silently, and the run goes on.
  TLog(const std::string& fileName, bool rewrite, const std::string& header);
  ~TLog();  // writes the closing line
  TLog(const TLog&) = delete;
  TLog& operator=(const TLog&) = delete;

  void Write(const std::string& text);
  bool HasFile() const { return file_ != nullptr; }

 private:
  std::FILE* file_ = nullptr;
};

// A log's line writer, or none (empty) when the run has no log; receivers skip an empty one.
using TLogProc = std::function<void(const std::string&)>;

TLogProc LogProcOf(TLog* log);

// "yyyy-mm-dd hh:nn:ss.zzz: " for the current local time.
std::string LogTimeStamp();

}  // namespace ashtint
