#include "net/internet.h"

#include <algorithm>
#include <system_error>

#include "net/internet_errors.h"

namespace ashtint {

bool TDownloadGuard::Take(const char* data, std::size_t size) {
  if (request_.MaxSize > 0 && received_ + static_cast<std::int64_t>(size) > request_.MaxSize) {
    tooLarge_ = true;
    return false;
  }
  received_ += static_cast<std::int64_t>(size);
  if (!headChecked_ && request_.CheckHead) {
    head_.append(data, std::min(size, request_.HeadSize - head_.size()));
    if (head_.size() >= request_.HeadSize) return CheckHead();
  }
  return true;
}

bool TDownloadGuard::Finish() { return headChecked_ || !request_.CheckHead || head_.empty() || CheckHead(); }

bool TDownloadGuard::CheckHead() {
  headChecked_ = true;
  if (!IsHttpSuccess(status_)) return true;
  refusal_ = request_.CheckHead(head_);
  return refusal_.empty();
}

std::string FetchErrorText(std::int32_t code) {
  switch (code) {
    case ErrInternetOutOfHandles: return "the internet client could not start";
    case ErrInternetTimeout: return "the server did not answer in time";
    case ErrInternetInternalError: return "internal error of the internet client";
    case ErrInternetInvalidUrl:
    case ErrInternetUnrecognizedScheme: return "the address is not valid";
    case ErrInternetNameNotResolved: return "the server name could not be resolved";
    case ErrInternetCannotConnect: return "could not connect to the server";
    case ErrInternetConnectionAborted:
    case ErrInternetConnectionReset: return "the connection was broken off";
    case ErrInternetInvalidCA: return "the server's certificate is not trusted";
    case ErrHttpInvalidServerResponse: return "the server's answer is not valid HTTP";
    case ErrHttpRedirectFailed: return "the server's redirections did not end";
    case ErrInternetSecurityChannelError: return "the secure connection failed";
    case ErrResponseTooLarge: return "the answer is larger than allowed";
    case ErrInvalidParameter: return "no attempt allowed";
    case ErrException: return "unexpected error";
    default: return std::system_category().message(code);
  }
}

void InitRequest(std::string_view url, std::string_view userAgent, std::string_view acceptLanguage,
                 std::string_view accept, std::int32_t connectTimeout, std::int32_t dataTimeout,
                 std::int32_t attempts, RIRequest& request) {
  request.URL = url;
  request.UserAgent = userAgent;
  request.AcceptLanguage = acceptLanguage;
  request.Accept = accept;
  request.ConnectTimeout = connectTimeout;
  request.DataTimeout = dataTimeout;
  request.Attempts = attempts;
}

void InitFileRequest(std::string_view url, std::string_view userAgent, std::int32_t connectTimeout,
                     std::int32_t dataTimeout, std::int32_t attempts, std::int32_t bufferSize,
                     RIFileRequest& request) {
  request.URL = url;
  request.UserAgent = userAgent;
  request.ConnectTimeout = connectTimeout;
  request.DataTimeout = dataTimeout;
  request.Attempts = attempts;
  request.BufferSize = bufferSize;
}

RIRequest BrowserStringRequest(std::string_view url) {
  RIRequest r;
  InitRequest(url, BrowserRequest.UserAgent, BrowserRequest.AcceptLanguage, BrowserRequest.Accept,
              BrowserRequest.ConnectTimeout, BrowserRequest.DataTimeout, BrowserRequest.Attempts, r);
  return r;
}

RIFileRequest BrowserFileRequest(std::string_view url) {
  RIFileRequest r;
  InitFileRequest(url, BrowserRequest.UserAgent, BrowserRequest.ConnectTimeout,
                  BrowserRequest.DataTimeout, BrowserRequest.Attempts, BrowserRequest.BufferSize, r);
  return r;
}

}  // namespace ashtint
