// Fetching one file with the browser request settings (the archive library download).
#pragma once

#include <functional>
#include <string>

namespace ashtint {

// Looks at a complete download before it takes its name: empty when it is fit, else why not.
using TDownloadCheck = std::function<std::string(const std::string& downloadedFile)>;

// Downloads URL into File with the browser request settings and the 65536-byte read buffer.
// The download is kept only when the server answered with a success status and a non-empty
// body that check (when given) accepts; only then does it replace File. True when File exists
// and is not empty afterwards. failure, when given, receives why the download was not kept.
bool DownloadFile(const std::string& url, const std::string& file, const TDownloadCheck& check = {},
                  std::string* failure = nullptr) noexcept;

}  // namespace ashtint
