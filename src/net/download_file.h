// Fetching one file with the browser request settings (the archive library download).
#pragma once

#include <string>

namespace ashtint {

// Downloads URL into File with the browser request settings and the 65536-byte read buffer.
// True when the download ended without error, File exists and is not empty. An existing File
// is replaced only by a complete download.
bool DownloadFile(const std::string& url, const std::string& file) noexcept;

}  // namespace ashtint
