// Opens a web address or a folder with whatever the user's desktop uses for it.
#pragma once

#include <string>

namespace ashtint {

// True when the opener could be started; it runs on by itself.
bool OpenDocument(const std::string& target);

}  // namespace ashtint
