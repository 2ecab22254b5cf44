#include "net/download_file.h"

#include <filesystem>

#include "net/internet.h"

namespace ashtint {

bool DownloadFile(const std::string& url, const std::string& file) noexcept {
  try {
    RIFileRequest request;
    InitFileRequest(url, BrowserRequest.UserAgent, BrowserRequest.ConnectTimeout, BrowserRequest.DataTimeout,
                    BrowserRequest.Attempts, BrowserRequest.BufferSize, request);
    RIFileResult result;
    DownloadToFile(request, file, result);
    std::error_code ec;
    return !result.Error && result.Size > 0 && std::filesystem::is_regular_file(file, ec);
  } catch (...) {
    return false;
  }
}

}  // namespace ashtint
