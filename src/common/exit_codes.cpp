#include "common/exit_codes.h"

#include "common/file_names.h"

namespace ashtint {

const std::array<std::string, 100>& ExitCodeTexts() {
  static const std::array<std::string, 100> texts = [] {
    std::array<std::string, 100> t{};
    t[1] = "The required \"wot-path\" key is not specified";
    t[2] = "The game client configuration or version is not recognized";
    t[3] = "File \"WorldOfTanks.exe\" or \"Tanki.exe\" not found";
    t[4] = "There are no pkg-files in the game folder \"res\\packages\\\" or the folder itself";
    t[5] = "File \"CrashTanks.cfg\" not found";
    t[6] = "File \"MapTanks.cfg\" not found";
    t[7] = "File \"MapTrains.cfg\" not found";
    t[8] = "File \"Camouflage.cfg\" not found";
    t[9] = std::string("The file \"") + SevenZipLibraryName +
           "\" was not found or it could not be downloaded from the program website";
    t[10] = "Not enough free disk space";
    for (int stage = 1; stage <= 6; ++stage) {
      t[10 * stage + StageErrorWorker] = "Error when processing one of the pkg-archives";
      t[10 * stage + StageErrorPacking] = "Error creating wotmod-package";
    }
    t[12] = t[22] = "Model visual-files not found";
    t[32] = t[42] = t[62] = "Texture dds-files not found";
    t[52] = "Map space.bin-files not found";
    t[91] = "Files for packaging into a single wotmod-package have not been created";
    t[92] = "Error when creating a single wotmod-package";
    return t;
  }();
  return texts;
}

std::string ExitCodeText(int code) {
  const int index = code - ExitCodeBase;
  if (index < 0 || index >= static_cast<int>(ExitCodeTexts().size())) return {};
  return ExitCodeTexts()[static_cast<std::size_t>(index)];
}

int ToProcessExitStatus(int code) {
#ifdef _WIN32
  return code;
#else
  return code & 0xFF;
#endif
}

int FromProcessExitStatus(int status) {
  constexpr int low = ExitCodeFirst & 0xFF;   // 129
  constexpr int high = ExitCodeLast & 0xFF;   // 220
  if (status >= low && status <= high) return ExitCodeFirst + (status - low);
  return status;
}

}  // namespace ashtint
