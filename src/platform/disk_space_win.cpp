#include "platform/disk_space.h"

#include <windows.h>

#include "common/text.h"

namespace ashtint {

namespace {
bool IsSlash(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string PathDrive(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  // \\server\share: up to, not including, the separator after the share name.
  if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
    std::size_t i = 2;
    int parts = 0;
    while (i < path.size()) {
      if (IsSlash(path[i]) && ++parts == 2) break;
      ++i;
    }
    return std::string(path.substr(0, i));
  }
  return {};
}

std::optional<std::uint64_t> VolumeFreeBytes(const std::string& path) {
  const std::string drive = PathDrive(path);
  const std::string root = drive.empty() ? std::string() : drive + "\\";
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!GetDiskFreeSpaceExA(root.empty() ? nullptr : root.c_str(), &available, &total, &totalFree))
    return std::nullopt;
  return static_cast<std::uint64_t>(totalFree.QuadPart);
}

bool SameVolume(const std::string& a, const std::string& b) {
  return SameText(PathDrive(a), PathDrive(b));
}

}  // namespace ashtint
