// Facts about the machine and folder operations the stages rely on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ashtint {

// Logical processors, at least 1; 1 also when the number does not fit 16 bits.
std::uint16_t GetCPUCount();
// The same rule for a number the system reported (0 when it did not say).
std::uint16_t CPUCountFromReported(unsigned long long reported);

// The system temporary folder, ending in the native separator.
std::string GetTempFolder();

// What CheckFreeSpace asks the system; replaceable so the rule can be checked without a full disk.
struct TFreeSpaceQueries {
  std::function<std::string(std::string_view)> drive;                        // drive part, empty when relative
  std::function<std::optional<std::uint64_t>(const std::string&)> freeBytes;  // total free bytes, empty when unknown
  std::function<bool(const std::string&, const std::string&)> sameDrive;     // both paths on one drive
};
TFreeSpaceQueries SystemFreeSpaceQueries();

// True when the drives of modsPath and tempPath have room for a stage needing requiredBytes:
// 1.1 x the need on the mods drive, and on the temporary drive 1.1 x the need again, doubled
// when it is the mods drive too. tempPath is empty when no package is built: then only the
// mods drive counts. A relative modsPath passes untested; a drive the system cannot answer
// for passes too.
bool CheckFreeSpace(const std::string& modsPath, const std::string& tempPath, std::uint64_t requiredBytes);
bool CheckFreeSpace(const std::string& modsPath, const std::string& tempPath, std::uint64_t requiredBytes,
                    const TFreeSpaceQueries& queries);

// True when the folder holds no file at any depth (a missing or unreadable folder is empty).
// A symbolic link counts as an entry and is never followed.
bool IsFolderEmpty(const std::string& folder);

// Deletes the folder with everything in it, as far as it can; what cannot be deleted stays.
// Symbolic links are removed themselves, never followed, so nothing outside the tree is
// touched. An empty path and a file system root are refused.
void DeleteFolderTree(const std::string& folder);

// Empty when files can be written into the folder (made, with its parents, when missing), else
// why not, with the folder's name and the system's words.
std::string FolderWriteProblem(const std::string& folder);

// The text without any trailing native separator.
std::string StripTrailingBackslashes(std::string_view text);

}  // namespace ashtint
