#include "net/download_file.h"

#include <filesystem>

#include "net/internet.h"

namespace ashtint {

bool DownloadFile(const std::string& url, const std::string& file, const TDownloadCheck& check,
                  std::string* failure, const TDownloadHeadCheck& headCheck, std::int64_t maxSize) noexcept {
  try {
    RIFileRequest request;
    InitFileRequest(url, BrowserRequest.UserAgent, BrowserRequest.ConnectTimeout, BrowserRequest.DataTimeout,
                    BrowserRequest.Attempts, BrowserRequest.BufferSize, request);
    // An error page, an empty answer or a body cut short is never saved as the file.
    request.Accept = [&check](const std::string& downloaded, std::int32_t status) -> std::string {
      if (!IsHttpSuccess(status)) return "the server answered with HTTP status " + std::to_string(status);
      std::error_code ec;
      if (std::filesystem::file_size(downloaded, ec) == 0 || ec) return "the server's answer is empty";
      return check ? check(downloaded) : std::string();
    };
    request.MaxSize = maxSize;
    request.CheckHead = headCheck;
    RIFileResult result;
    DownloadToFile(request, file, result);
    if (failure) {
      if (!result.Refusal.empty())
        *failure = result.Refusal;
      else if (result.Error)
        *failure = result.ErrorText.empty() ? "download error " + std::to_string(result.Code) : result.ErrorText;
    }
    std::error_code ec;
    return !result.Error && result.Size > 0 && std::filesystem::is_regular_file(file, ec);
  } catch (...) {
    if (failure) *failure = "unexpected error";
    return false;
  }
}

}  // namespace ashtint
