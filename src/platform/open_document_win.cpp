#include <windows.h>
#include <shellapi.h>

#include "platform/open_document.h"

namespace ashtint {

bool OpenDocument(const std::string& target) {
  if (target.empty()) return false;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(GetDesktopWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace ashtint
