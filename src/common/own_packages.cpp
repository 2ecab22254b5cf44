#include "common/own_packages.h"

#include <filesystem>

#include "common/file_names.h"
#include "common/text.h"

namespace ashtint {

namespace fs = std::filesystem;

bool IsOldWotmodName(const std::string& fileName) {
  // Either package extension: a client may have moved from one publisher's to the other's.
  return (EndsText(".wotmod", fileName) || EndsText(".mtmod", fileName)) &&
         LowerCase(fileName).find("mod.ashtintcreator.") != std::string::npos;
}

TStrArray FindOldWotmods(const std::string& folder) {
  TStrArray found;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const auto& entry = *it;
    std::error_code sec;
    const std::string name = entry.path().filename().string();
    // A link is never followed: only what really sits in the mods folder is ours to delete.
    if (entry.is_symlink(sec)) continue;
    if (entry.is_directory(sec)) {
      const TStrArray sub = FindOldWotmods(IncludeTrailingPathDelimiter(entry.path().string()));
      found.insert(found.end(), sub.begin(), sub.end());
    } else if (IsOldWotmodName(name)) {
      found.push_back(IncludeTrailingPathDelimiter(folder) + name);
    }
  }
  return found;
}

}  // namespace ashtint
