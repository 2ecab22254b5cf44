#include "platform/disk_space.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <filesystem>

namespace ashtint {

namespace {

// The path itself when it exists, else its nearest existing parent ("." for a relative path
// none of whose parts exist yet). Empty when even that cannot be examined.
std::string NearestExisting(const std::string& path) {
  std::filesystem::path p(path.empty() ? std::string(".") : path);
  struct stat st {};
  for (;;) {
    const std::string s = p.empty() ? std::string(".") : p.string();
    if (::stat(s.c_str(), &st) == 0) return s;
    if (p.empty()) return {};
    const std::filesystem::path parent = p.parent_path();
    if (parent == p) return {};
    p = parent;
  }
}

}  // namespace

std::string PathDrive(std::string_view path) {
  return !path.empty() && path.front() == '/' ? std::string("/") : std::string();
}

std::optional<std::uint64_t> VolumeFreeBytes(const std::string& path) {
  const std::string existing = NearestExisting(path);
  if (existing.empty()) return std::nullopt;
  struct statvfs vfs {};
  if (::statvfs(existing.c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(vfs.f_bfree) * static_cast<std::uint64_t>(vfs.f_frsize);
}

bool SameVolume(const std::string& a, const std::string& b) {
  const std::string ea = NearestExisting(a), eb = NearestExisting(b);
  if (ea.empty() || eb.empty()) return false;
  struct stat sa {}, sb {};
  if (::stat(ea.c_str(), &sa) != 0 || ::stat(eb.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev;
}

}  // namespace ashtint
