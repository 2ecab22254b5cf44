// Small HTTP(S) fetches: into a string, into a string decoded from UTF-8, into a file.
// Every operation makes a fixed number of attempts and reports through its result record;
// none of them ever throws.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ashtint {

// A string fetch.
struct RIRequest {
  std::string URL;             // absolute http or https URL
  std::string UserAgent;       // "User-Agent: " header when not empty
  std::string AcceptLanguage;  // "Accept-Language: " header when not empty
  std::string Accept;          // "Accept: " header when not empty
  std::int32_t ConnectTimeout = -1;  // ms; negative leaves the system default
  std::int32_t DataTimeout = -1;     // ms; kept for the record, the string fetch does not apply it
  std::int32_t Attempts = 0;         // 0 or less makes no try
  // Limits that keep a misbehaving server from filling memory or holding the caller: a longer
  // body fails the fetch, and so does a fetch (all attempts together) that outlasts TotalTimeout.
  std::int64_t MaxSize = 4 * 1024 * 1024;  // bytes; 0 = no cap
  std::int32_t TotalTimeout = 20000;       // ms; negative = no deadline
};

// A file fetch; the user agent is the only header sent.
struct RIFileRequest {
  std::string URL;
  std::string UserAgent;
  std::int32_t ConnectTimeout = -1;  // ms; negative leaves the system default
  std::int32_t DataTimeout = -1;     // ms, send and receive; negative leaves the system default
  std::int32_t Attempts = 0;
  std::int32_t BufferSize = 65536;   // bytes read per call
  std::int32_t TotalTimeout = 120000;  // ms for all attempts together; negative = no deadline
  // Looks at a complete download (the file beside the target, the HTTP status) before it
  // replaces the target: an empty text accepts it, any other text is why it is refused.
  std::function<std::string(const std::string& file, std::int32_t httpStatus)> Accept;
  // A longer answer is cut off where it passes this many bytes and refused; 0 = no cap.
  std::int64_t MaxSize = 0;
  // Looks at the first HeadSize bytes (all of a shorter answer) as soon as they have arrived:
  // an empty text lets the download go on, any other text stops it as refused.
  std::function<std::string(std::string_view head)> CheckHead;
  std::size_t HeadSize = 64;
};

struct RIStringResult {
  bool Error = false;
  std::int32_t Code = 0;  // 200 on success, else a system-style error code, -1 after an exception
  std::string Body;
  bool Empty = true;
  std::int32_t HttpStatus = 0;  // the server's status of the last answer; 0 when none came
};

struct RIFileResult {
  bool Error = false;
  std::int32_t Code = 0;   // as in RIStringResult
  std::int64_t Size = 0;   // size of the written file; -1 when its folder could not be created
  std::int32_t HttpStatus = 0;
  std::string Refusal;     // why the request's Accept or CheckHead refused the download
  std::string ErrorText;   // the system's words for a failure
};

// What a file download has received so far, kept against the request's cap and head check.
class TDownloadGuard {
 public:
  explicit TDownloadGuard(const RIFileRequest& request) : request_(request) {}
  // The status of the answer whose bytes follow; the head of an error answer is not looked at
  // (the status itself refuses it).
  void SetStatus(std::int32_t status) { status_ = status; }
  // False when the transfer is to stop here: past the cap, or the head refused.
  bool Take(const char* data, std::size_t size);
  // At the end of the answer: checks a head shorter than HeadSize. False when refused.
  bool Finish();
  bool TooLarge() const { return tooLarge_; }
  const std::string& Refusal() const { return refusal_; }

 private:
  bool CheckHead();
  const RIFileRequest& request_;
  std::int64_t received_ = 0;
  std::int32_t status_ = 200;
  std::string head_;
  bool headChecked_ = false;
  bool tooLarge_ = false;
  std::string refusal_;
};

// The words for a fetch result code: the internet client's failures, or the system's text for
// a system error number (a file that cannot be written: "No space left on device").
std::string FetchErrorText(std::int32_t code);

// Whether an HTTP status is a success (2xx).
inline bool IsHttpSuccess(std::int32_t status) { return status >= 200 && status <= 299; }

// The request values used everywhere in the system: one constant record.
struct RBrowserRequest {
  const char* UserAgent;
  const char* AcceptLanguage;  // string fetches
  const char* Accept;          // string fetches
  std::int32_t ConnectTimeout;
  std::int32_t DataTimeout;
  std::int32_t Attempts;
  std::int32_t BufferSize;     // file fetches
};

inline constexpr RBrowserRequest BrowserRequest{
    "Mozilla/5.0 (Windows NT 10.0) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/94.0.4606.81 "
    "Safari/537.36",
    "ru-RU,ru;q=0.9,en-US;q=0.8,en;q=0.7",
    "text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,image/apng,*/*;q=0.8,"
    "application/signed-exchange;v=b3",
    5000,
    3000,
    2,
    65536,
};

void InitRequest(std::string_view url, std::string_view userAgent, std::string_view acceptLanguage,
                 std::string_view accept, std::int32_t connectTimeout, std::int32_t dataTimeout,
                 std::int32_t attempts, RIRequest& request);
void InitFileRequest(std::string_view url, std::string_view userAgent, std::int32_t connectTimeout,
                     std::int32_t dataTimeout, std::int32_t attempts, std::int32_t bufferSize,
                     RIFileRequest& request);

// The browser request settings applied to a URL.
RIRequest BrowserStringRequest(std::string_view url);
RIFileRequest BrowserFileRequest(std::string_view url);

// Success for a caller: Error false and Empty false. The HTTP status is not examined here (an
// error page the server sends is a successful fetch of that page): callers look at HttpStatus.
void DownloadString(const RIRequest& request, RIStringResult& result) noexcept;

// DownloadString, then a non-empty body is decoded from UTF-8 (a leading byte-order mark
// dropped) into the program's single-byte text.
void DownloadText(const RIRequest& request, RIStringResult& result) noexcept;

// Success for a caller: Error false, Size above 0 and the file present. The download goes into
// a file beside the target and replaces the target only when it is complete and the request's
// Accept takes it, so a failed or refused fetch leaves an existing file as it was.
void DownloadToFile(const RIFileRequest& request, const std::string& fileName,
                    RIFileResult& result) noexcept;

}  // namespace ashtint
