// The fetch operations over libcurl.
#include <curl/curl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "common/text.h"
#include "net/internet.h"
#include "net/internet_errors.h"
#include "common/sibling_file.h"

namespace ashtint {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kAttemptPause = std::chrono::milliseconds(500);
// Without a data timeout of its own a fetch still gives up on a server that stops sending, as
// the Windows internet client does with its default receive timeout.
constexpr std::int32_t kDefaultDataTimeoutMs = 30000;
constexpr long kMaxRedirects = 10;
constexpr long kMinBuffer = 1024;  // libcurl's smallest receive buffer

bool GlobalInit() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

struct EasyDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using MultiPtr = std::unique_ptr<CURLM, MultiDeleter>;
using SlistPtr = std::unique_ptr<curl_slist, SlistDeleter>;

// What the callbacks of one attempt share with it.
struct Transfer {
  std::string* body = nullptr;
  std::uint64_t maxBody = 0;  // 0: no cap
  bool tooLarge = false;
  std::FILE* file = nullptr;
  bool connected = false;
  Clock::time_point lastActivity = Clock::now();
  bool threw = false;
  int writeErrno = 0;
  TDownloadGuard* guard = nullptr;  // file fetches: the cap and the head check
  bool refused = false;
};

std::size_t WriteToString(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  t->lastActivity = Clock::now();
  if (t->maxBody != 0 && t->body->size() + size * count > t->maxBody) {
    t->tooLarge = true;
    return 0;
  }
  try {
    t->body->append(data, size * count);
  } catch (...) {
    t->threw = true;
    return 0;
  }
  return size * count;
}

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  t->lastActivity = Clock::now();
  if (t->guard && !t->guard->Take(data, size * count)) {
    (t->guard->TooLarge() ? t->tooLarge : t->refused) = true;
    return 0;
  }
  const std::size_t written = std::fwrite(data, 1, size * count, t->file);
  if (written != size * count) t->writeErrno = errno != 0 ? errno : EIO;
  return written;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  t->lastActivity = Clock::now();
  // Each answer (a redirection's too) begins with its status line; the last one owns the body.
  const std::string_view line(data, size * count);
  if (t->guard && line.substr(0, 5) == "HTTP/") {
    const auto space = line.find(' ');
    if (space != std::string_view::npos) t->guard->SetStatus(std::atoi(std::string(line.substr(space + 1, 3)).c_str()));
  }
  return size * count;
}

// Called once the connection stands; from here on the data timeout governs, before it the
// connection timeout.
int OnConnected(void* user, char*, char*, int, int) {
  auto* t = static_cast<Transfer*>(user);
  t->connected = true;
  t->lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

std::int32_t MapCurlError(CURLcode code, const Transfer& t) {
  if (t.threw) return ErrException;
  if (t.tooLarge || code == CURLE_FILESIZE_EXCEEDED) return ErrResponseTooLarge;
  if (t.refused) return ErrContentRefused;
  if (code == CURLE_WRITE_ERROR && t.writeErrno != 0) return t.writeErrno;
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return ErrInternetNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return ErrInternetCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return ErrInternetTimeout;
    case CURLE_URL_MALFORMAT:
      return ErrInternetInvalidUrl;
    case CURLE_UNSUPPORTED_PROTOCOL:
      return ErrInternetUnrecognizedScheme;
    case CURLE_TOO_MANY_REDIRECTS:
      return ErrHttpRedirectFailed;
    case CURLE_PEER_FAILED_VERIFICATION:
      return ErrInternetInvalidCA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
      return ErrInternetSecurityChannelError;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_BAD_CONTENT_ENCODING:
      return ErrHttpInvalidServerResponse;
    case CURLE_PARTIAL_FILE:
      return ErrInternetConnectionAborted;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return ErrInternetConnectionReset;
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
      return ErrInternetOutOfHandles;
    default:
      return ErrInternetInternalError;
  }
}

// Builds the easy handle of one attempt: redirects followed (http and https only), nothing from
// any cache, the given header lines.
EasyPtr NewEasy(const std::string& url, curl_slist* headers, std::int32_t connectTimeout, Transfer& t) {
  EasyPtr easy(curl_easy_init());
  if (!easy) return easy;
  CURL* e = easy.get();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 0L);
  if (connectTimeout >= 0) curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout));
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(e, CURLOPT_PREREQDATA, &t);
  return easy;
}

// Runs one transfer; ends it when no byte has arrived for dataTimeout ms after the connection
// stood, or at the deadline. Returns 0 on success, else the error code of the result records;
// httpStatus gets the status of the last answer (0 when none came).
std::int32_t Perform(CURL* easy, Transfer& t, std::int32_t dataTimeout, Clock::time_point deadline,
                     std::int32_t& httpStatus) {
  httpStatus = 0;
  MultiPtr multi(curl_multi_init());
  if (!multi) return ErrInternetOutOfHandles;
  if (curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return ErrInternetOutOfHandles;
  t.connected = false;
  t.lastActivity = Clock::now();
  CURLcode result = CURLE_OK;
  bool done = false;
  bool stalled = false;
  while (!done) {
    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
      result = CURLE_OUT_OF_MEMORY;
      break;
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
      if (msg->msg == CURLMSG_DONE) {
        result = msg->data.result;
        done = true;
      }
    }
    if (done || running == 0) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      stalled = true;
      break;
    }
    long waitMs = static_cast<long>(std::min<long long>(1000, left));
    long curlWait = -1;
    if (curl_multi_timeout(multi.get(), &curlWait) == CURLM_OK && curlWait >= 0) waitMs = std::min(waitMs, curlWait);
    if (t.connected) {
      const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t.lastActivity).count();
      if (idle >= dataTimeout) {
        stalled = true;
        break;
      }
      waitMs = std::min<long>(waitMs, static_cast<long>(dataTimeout - idle));
    }
    curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(std::max(waitMs, 1L)), nullptr);
  }
  curl_multi_remove_handle(multi.get(), easy);
  long status = 0;
  if (curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK) httpStatus = static_cast<std::int32_t>(status);
  if (stalled) return ErrInternetTimeout;
  if (result == CURLE_OK && !t.threw) return 0;
  return MapCurlError(result, t);
}

// Appends a header line; an empty value removes the header libcurl would add on its own.
void AddHeader(SlistPtr& list, const char* name, const std::string& value) {
  std::string line = std::string(name) + ":";
  if (!value.empty()) line += " " + value;
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (!grown) throw std::bad_alloc();
  list.release();
  list.reset(grown);
}

void AddNoCacheHeaders(SlistPtr& list) {
  AddHeader(list, "Pragma", "no-cache");
  AddHeader(list, "Cache-Control", "no-cache");
}

// The moment a whole fetch must have ended by; far away when there is no deadline.
Clock::time_point DeadlineAfter(std::int32_t totalTimeoutMs) {
  return totalTimeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(totalTimeoutMs);
}

bool PastDeadline(Clock::time_point deadline) { return Clock::now() >= deadline; }

// Zero would give up before the first byte could arrive; like a negative value it keeps the default.
std::int32_t EffectiveDataTimeout(std::int32_t requested) {
  return requested > 0 ? requested : kDefaultDataTimeoutMs;
}

}  // namespace

void DownloadString(const RIRequest& request, RIStringResult& result) noexcept {
  result.Error = false;
  result.Code = 0;
  result.Body.clear();
  result.Empty = true;
  result.HttpStatus = 0;
  try {
    if (!GlobalInit()) {
      result.Error = true;
      result.Code = ErrInternetOutOfHandles;
      return;
    }
    if (request.Attempts <= 0) {
      result.Error = true;
      result.Code = ErrInvalidParameter;
      return;
    }
    // Extra headers in their fixed order; only the ones with a value are sent.
    SlistPtr headers;
    if (!request.UserAgent.empty()) AddHeader(headers, "User-Agent", request.UserAgent);
    if (!request.AcceptLanguage.empty()) AddHeader(headers, "Accept-Language", request.AcceptLanguage);
    AddHeader(headers, "Accept", request.Accept);
    AddNoCacheHeaders(headers);
    const Clock::time_point deadline = DeadlineAfter(request.TotalTimeout);
    for (std::int32_t attempt = 1; attempt <= request.Attempts; ++attempt) {
      result.Error = false;
      std::int32_t code = 0;
      try {
        result.Body.clear();
        Transfer t;
        t.body = &result.Body;
        t.maxBody = request.MaxSize > 0 ? static_cast<std::uint64_t>(request.MaxSize) : 0;
        EasyPtr easy = NewEasy(request.URL, headers.get(), request.ConnectTimeout, t);
        if (!easy) throw std::bad_alloc();
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, WriteToString);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &t);
        if (request.MaxSize > 0)
          curl_easy_setopt(easy.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.MaxSize));
        code = Perform(easy.get(), t, kDefaultDataTimeoutMs, deadline, result.HttpStatus);
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
      if (code == ErrResponseTooLarge || PastDeadline(deadline)) break;
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
        result.Code = ec ? ec.value() : ENOTDIR;
        result.Size = -1;
        result.ErrorText = "Cannot create folder \"" + folder + "\". " + FetchErrorText(result.Code);
        return;
      }
    }
    if (!GlobalInit()) {
      result.Error = true;
      result.Code = ErrInternetOutOfHandles;
      return;
    }
    if (request.Attempts <= 0) {
      result.Error = true;
      result.Code = ErrInvalidParameter;
      return;
    }
    SlistPtr headers;
    if (!request.UserAgent.empty()) AddHeader(headers, "User-Agent", request.UserAgent);
    AddHeader(headers, "Accept", "");
    AddNoCacheHeaders(headers);
    const long buffer = std::clamp<long>(request.BufferSize > 0 ? request.BufferSize : BrowserRequest.BufferSize,
                                         kMinBuffer, CURL_MAX_READ_SIZE);
    temp = SiblingTempName(fileName);
    const Clock::time_point deadline = DeadlineAfter(request.TotalTimeout);
    for (std::int32_t attempt = 1; attempt <= request.Attempts; ++attempt) {
      result.Error = false;
      std::FILE* file = std::fopen(temp.c_str(), "wb");
      if (!file) {
        // The file cannot be created: no attempt can do better.
        result.Error = true;
        result.Code = errno != 0 ? errno : EIO;
        break;
      }
      std::int32_t code = 0;
      TDownloadGuard guard(request);
      try {
        Transfer t;
        t.file = file;
        t.guard = &guard;
        EasyPtr easy = NewEasy(request.URL, headers.get(), request.ConnectTimeout, t);
        if (!easy) throw std::bad_alloc();
        curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, WriteToFile);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(easy.get(), CURLOPT_BUFFERSIZE, buffer);
        // An answer that announces more than the cap is refused before its first byte.
        if (request.MaxSize > 0)
          curl_easy_setopt(easy.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.MaxSize));
        code = Perform(easy.get(), t, EffectiveDataTimeout(request.DataTimeout), deadline, result.HttpStatus);
        if (code == 0 && !guard.Finish()) code = ErrContentRefused;
      } catch (...) {
        code = ErrException;
      }
      if (!guard.Refusal().empty()) result.Refusal = guard.Refusal();
      if (std::fclose(file) != 0 && code == 0) code = errno != 0 ? errno : EIO;
      if (code == 0) break;
      result.Error = true;
      result.Code = code;
      // Another attempt would get the same answer: refused, too large, or no room to write it.
      if (code == ErrContentRefused || code == ErrResponseTooLarge || code == ENOSPC || code == EDQUOT) break;
      if (PastDeadline(deadline)) break;
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
        result.Code = ec.value() != 0 ? ec.value() : EIO;
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
