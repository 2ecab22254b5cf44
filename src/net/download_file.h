// Fetching one file with the browser request settings (the archive library download).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ashtint {

// Looks at a complete download before it takes its name: empty when it is fit, else why not.
using TDownloadCheck = std::function<std::string(const std::string& downloadedFile)>;
// Looks at the first bytes of the answer as they arrive: empty lets the download go on.
using TDownloadHeadCheck = std::function<std::string(std::string_view head)>;

// Far above the few MB of the archive library; an answer passing it is cut off and refused.
inline constexpr std::int64_t DownloadFileMaxSize = 64ll * 1024 * 1024;

// Downloads URL into File with the browser request settings and the 65536-byte read buffer.
// The download is kept only when the server answered with a success status and a non-empty
// body that check (when given) accepts; only then does it replace File. True when File exists
// and is not empty afterwards. failure, when given, receives why the download was not kept, in
// the system's words where the system said why. An answer longer than maxSize, or whose first
// bytes headCheck refuses, is broken off at once.
bool DownloadFile(const std::string& url, const std::string& file, const TDownloadCheck& check = {},
                  std::string* failure = nullptr, const TDownloadHeadCheck& headCheck = {},
                  std::int64_t maxSize = DownloadFileMaxSize) noexcept;

}  // namespace ashtint
