#include "net/internet.h"

namespace ashtint {

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
