#include <cstdlib>

#include "platform/user_config_folder.h"

namespace ashtint {

std::string UserConfigFolder() {
  // A relative XDG_CONFIG_HOME is invalid by the XDG rules and ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return {};
  return std::string(home) + "/.config";
}

}  // namespace ashtint
