// The engine's optional run log: one framed block per run, one time-stamped line per event.
#pragma once

#include <cstdio>
#include <string>

#include "common/log_proc.h"

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

TLogProc LogProcOf(TLog* log);

// "yyyy-mm-dd hh:nn:ss.zzz: " for the current local time.
std::string LogTimeStamp();

}  // namespace ashtint
