#include <windows.h>
#include <shlobj.h>

#include "platform/user_config_folder.h"

namespace ashtint {

std::string UserConfigFolder() {
  char path[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
  return path;
}

}  // namespace ashtint
