// The fetch operations over the Windows internet client (WinInet).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <thread>

#include "common/text.h"
#include "net/internet.h"
#include "net/internet_errors.h"
#include "common/sibling_file.h"

namespace ashtint {

namespace {

constexpr auto kAttemptPause = std::chrono::milliseconds(500);
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;

class Handle {
 public:
  explicit Handle(HINTERNET h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_) InternetCloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

std::int32_t LastError() {
  const DWORD e = GetLastError();
  return e != 0 ? static_cast<std::int32_t>(e) : ErrInternetInternalError;
}

using Clock = std::chrono::steady_clock;

Clock::time_point DeadlineAfter(std::int32_t totalTimeoutMs) {
  return totalTimeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(totalTimeoutMs);
}

// A blocking call's time-out: the one asked for (negative: the system's own), but never past the
// fetch's deadline, which WinInet's calls know nothing about; a stalled server would otherwise
// hold a read for the system's whole receive time-out. (Wine 8 ignores receive time-outs.)
std::int32_t BoundedTimeout(std::int32_t ms, Clock::time_point deadline) {
  if (deadline == Clock::time_point::max()) return ms;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  const auto bound = static_cast<std::int32_t>(std::clamp<long long>(left, 1, std::numeric_limits<std::int32_t>::max()));
  return ms < 0 ? bound : std::min(ms, bound);
}

void SetTimeout(HINTERNET handle, DWORD option, std::int32_t ms) {
  if (ms < 0) return;
  DWORD value = static_cast<DWORD>(ms);
  InternetSetOptionA(handle, option, &value, sizeof value);
}

// The time-outs of what is opened from the session next: connect, send and receive.
void SetSessionTimeouts(HINTERNET session, std::int32_t connectMs, std::int32_t dataMs, Clock::time_point deadline) {
  SetTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, BoundedTimeout(connectMs, deadline));
  SetTimeout(session, INTERNET_OPTION_SEND_TIMEOUT, BoundedTimeout(dataMs, deadline));
  SetTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, BoundedTimeout(dataMs, deadline));
}

// The body length the answer announced; -1 when it names none.
long long AnnouncedLength(HINTERNET url) {
  char text[32] = {};
  DWORD length = sizeof text;
  if (!HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) return -1;
  char* end = nullptr;
  const long long n = std::strtoll(text, &end, 10);
  return end != text && n >= 0 ? n : -1;
}

std::string HeaderLine(const char* name, const std::string& value) {
  return value.empty() ? std::string() : std::string(name) + ": " + value + "\r\n";
}

// The status of the answer; 0 when there is none (not HTTP).
std::int32_t HttpStatusOf(HINTERNET url) {
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) return 0;
  return static_cast<std::int32_t>(status);
}

// Reads the whole answer through the sink; 0 when it ended cleanly, else the error code. Each
// read waits at most dataMs (negative: the system's time-out) and never past the deadline.
// A connection that closes before the announced length has come is a broken transfer, not the
// end of the answer.
template <typename Sink>
std::int32_t ReadAll(HINTERNET url, DWORD chunkSize, std::int32_t dataMs, Clock::time_point deadline, Sink&& sink) {
  const long long announced = AnnouncedLength(url);
  long long received = 0;
  std::string chunk;
  for (;;) {
    if (Clock::now() >= deadline) return ErrInternetTimeout;
    SetTimeout(url, INTERNET_OPTION_RECEIVE_TIMEOUT, BoundedTimeout(dataMs, deadline));
    DWORD available = 0;
    if (!InternetQueryDataAvailable(url, &available, 0, 0)) return LastError();
    DWORD read = 0;
    if (available != 0) {
      const DWORD want = chunkSize != 0 ? chunkSize : available;
      chunk.resize(want);
      if (!InternetReadFile(url, chunk.data(), want, &read)) return LastError();
    }
    if (read == 0) return announced >= 0 && received < announced ? ErrInternetConnectionAborted : 0;
    received += read;
    const std::int32_t sinkError = sink(chunk.data(), read);
    if (sinkError != 0) return sinkError;
  }
}

}  // namespace

void DownloadString(const RIRequest& request, RIStringResult& result) noexcept {
  result.Error = false;
  result.Code = 0;
  result.Body.clear();
  result.Empty = true;
  result.HttpStatus = 0;
  try {
    const Clock::time_point deadline = DeadlineAfter(request.TotalTimeout);
    Handle session(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) {
      result.Error = true;
      result.Code = LastError();
      return;
    }
    if (request.Attempts <= 0) {
      result.Error = true;
      result.Code = ErrInvalidParameter;
      return;
    }
    const std::string headers = HeaderLine("User-Agent", request.UserAgent) +
                                HeaderLine("Accept-Language", request.AcceptLanguage) +
                                HeaderLine("Accept", request.Accept);
    for (std::int32_t attempt = 1; attempt <= request.Attempts; ++attempt) {
      result.Error = false;
      std::int32_t code = 0;
      try {
        result.Body.clear();
        // The string fetch has no data time-out of its own: only the deadline bounds its waits.
        SetSessionTimeouts(session.get(), request.ConnectTimeout, -1, deadline);
        Handle url(InternetOpenUrlA(session.get(), request.URL.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                    headers.empty() ? 0 : static_cast<DWORD>(-1), kOpenFlags, 0));
        code = url ? 0 : LastError();
        if (url) {
          result.HttpStatus = HttpStatusOf(url.get());
          code = ReadAll(url.get(), 0, -1, deadline, [&](const char* data, DWORD size) {
            if (request.MaxSize > 0 && result.Body.size() + size > static_cast<std::uint64_t>(request.MaxSize))
              return ErrResponseTooLarge;
            result.Body.append(data, size);
            return std::int32_t{0};
          });
        }
        if (code == 0) break;
        result.Error = true;
        result.Code = code;
      } catch (...) {
        result.Error = true;
        result.Code = ErrException;
      }
      // A broken transfer is not a result: its partial body is dropped.
      result.Body.clear();
      // Another attempt would meet the same oversized answer, and none fits after the deadline.
      if (code == ErrResponseTooLarge || Clock::now() >= deadline) break;
      if (attempt < request.Attempts) std::this_thread::sleep_for(kAttemptPause);
    }
  } catch (...) {
    result.Error = true;
    result.Code = ErrException;
    result.Body.clear();
  }
  result.Empty = result.Body.empty();
  if (!result.Error) result.Code = 200;
}

void DownloadToFile(const RIFileRequest& request, const std::string& fileName, RIFileResult& result) noexcept {
  namespace fs = std::filesystem;
  result.Error = false;
  result.Code = 0;
  result.Size = 0;
  result.HttpStatus = 0;
  result.Refusal.clear();
  result.ErrorText.clear();
  std::string temp;
  try {
    const std::string folder = ExtractFilePath(fileName);
    if (!folder.empty()) {
      std::error_code ec;
      fs::create_directories(folder, ec);
      if (ec || !fs::is_directory(folder)) {
        result.Error = true;
        result.Code = ec ? ec.value() : static_cast<std::int32_t>(ERROR_DIRECTORY);
        result.Size = -1;
        result.ErrorText = "Cannot create folder \"" + folder + "\". " + FetchErrorText(result.Code);
        return;
      }
    }
    const Clock::time_point deadline = DeadlineAfter(request.TotalTimeout);
    Handle session(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) {
      result.Error = true;
      result.Code = LastError();
      return;
    }
    if (request.Attempts <= 0) {
      result.Error = true;
      result.Code = ErrInvalidParameter;
      return;
    }
    const std::string headers = HeaderLine("User-Agent", request.UserAgent);
    const DWORD buffer = static_cast<DWORD>(request.BufferSize > 0 ? request.BufferSize : BrowserRequest.BufferSize);
    temp = SiblingTempName(fileName);
    for (std::int32_t attempt = 1; attempt <= request.Attempts; ++attempt) {
      result.Error = false;
      HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        // The file cannot be created: no attempt can do better.
        result.Error = true;
        result.Code = LastError();
        break;
      }
      std::int32_t code = 0;
      TDownloadGuard guard(request);
      try {
        SetSessionTimeouts(session.get(), request.ConnectTimeout, request.DataTimeout, deadline);
        Handle url(InternetOpenUrlA(session.get(), request.URL.c_str(), headers.empty() ? nullptr : headers.c_str(),
                                    headers.empty() ? 0 : static_cast<DWORD>(-1), kOpenFlags, 0));
        code = url ? 0 : LastError();
        if (url) {
          result.HttpStatus = HttpStatusOf(url.get());
          guard.SetStatus(result.HttpStatus);
          code = ReadAll(url.get(), buffer, request.DataTimeout, deadline, [&](const char* data, DWORD size) {
            if (!guard.Take(data, size)) return guard.TooLarge() ? ErrResponseTooLarge : ErrContentRefused;
            DWORD written = 0;
            if (!WriteFile(file, data, size, &written, nullptr) || written != size) return LastError();
            return std::int32_t{0};
          });
        }
        if (code == 0 && !guard.Finish()) code = ErrContentRefused;
      } catch (...) {
        code = ErrException;
      }
      if (!guard.Refusal().empty()) result.Refusal = guard.Refusal();
      if (!CloseHandle(file) && code == 0) code = LastError();
      if (code == 0) break;
      result.Error = true;
      result.Code = code;
      // Another attempt would get the same answer: refused, too large, or no room to write it.
      if (code == ErrContentRefused || code == ErrResponseTooLarge || code == ERROR_DISK_FULL ||
          code == ERROR_HANDLE_DISK_FULL)
        break;
      if (Clock::now() >= deadline) break;
      if (attempt < request.Attempts) std::this_thread::sleep_for(kAttemptPause);
    }
    if (!result.Error && request.Accept) {
      result.Refusal = request.Accept(temp, result.HttpStatus);
      if (!result.Refusal.empty()) {
        result.Error = true;
        result.Code = ErrContentRefused;
      }
    }
    if (!result.Error) {
      std::error_code ec;
      if (!ReplaceFileWith(temp, fileName, ec)) {
        result.Error = true;
        result.Code = ec.value() != 0 ? ec.value() : ErrInternetInternalError;
      }
    }
    if (!result.Error) {
      std::error_code ec;
      const auto size = fs::file_size(fileName, ec);
      result.Size = ec ? 0 : static_cast<std::int64_t>(size);
    }
  } catch (...) {
    result.Error = true;
    result.Code = ErrException;
  }
  if (result.Error && !temp.empty()) {
    std::error_code ignored;
    fs::remove(temp, ignored);
  }
  if (result.Error && result.ErrorText.empty())
    result.ErrorText = !result.Refusal.empty() ? result.Refusal : FetchErrorText(result.Code);
  if (!result.Error) result.Code = 200;
}

}  // namespace ashtint
