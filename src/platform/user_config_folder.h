// Where a user's programs keep their settings.
#pragma once

#include <string>

namespace ashtint {

// %APPDATA% (the roaming application data) on Windows; $XDG_CONFIG_HOME, else ~/.config,
// elsewhere. Empty when the system cannot tell.
std::string UserConfigFolder();

}  // namespace ashtint
