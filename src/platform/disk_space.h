// Free space and identity of the volume that holds a path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ashtint {

// The drive part of a path: "C:" or "\\server\share" on Windows. Elsewhere every absolute path
// gives "/" (one tree; which file system holds it is found from the path itself), a relative
// path gives the empty text on every system.
std::string PathDrive(std::string_view path);

// Total free bytes of the volume holding `path` (all of them, not only the caller's quota);
// empty when the system cannot tell. The path need not exist yet.
std::optional<std::uint64_t> VolumeFreeBytes(const std::string& path);

// True when both paths lie on one volume: one file system on Linux (found from the nearest
// existing folder of each path), one drive part without regard to letter case on Windows.
// False when either cannot be examined.
bool SameVolume(const std::string& a, const std::string& b);

}  // namespace ashtint
