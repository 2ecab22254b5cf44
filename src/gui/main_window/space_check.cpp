#include "gui/main_window/space_check.h"

#include <QFile>

#include "platform/disk_space.h"
#include "platform/temp_folder.h"

namespace ashtint {

RVolumes RVolumes::System() {
  return {VolumeFreeBytes, ashtint::SameVolume, SystemTempFolder()};
}

int MissingSpaceText(const RGuiSettings& s, int megabytes, const RVolumes& volumes) {
  // Ten per cent more than the packages: the file system's own overhead, the log, the configs.
  const auto need = static_cast<std::uint64_t>(megabytes * 1.1 * 1048576.0);
  const bool ownFolder = s.ModsPathEnable && !s.ModsPath.isEmpty();
  const std::string destination = QFile::encodeName(ownFolder ? s.ModsPath : s.WotPath).toStdString();
  const auto fits = [&](const std::string& path, std::uint64_t bytes) {
    const std::optional<std::uint64_t> free = volumes.FreeBytes(path);
    return !free || *free >= bytes;
  };
  if (!fits(destination, need)) return ownFolder ? 49 : 50;
  if (!s.NoWotmod) {
    // On one volume the gathered files and the finished packages need room at the same time.
    const std::uint64_t factor = volumes.SameVolume(volumes.TempFolder, destination) ? 2 : 1;
    if (!fits(volumes.TempFolder, factor * need)) return 48;
  }
  return -1;
}

}  // namespace ashtint
