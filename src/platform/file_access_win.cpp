#include <windows.h>

#include "platform/file_access.h"

namespace ashtint {

// Access rights on Windows are best answered by trying: a probe file that deletes itself.
bool IsFolderWritable(const std::string& folder) {
  if (folder.empty()) return false;
  std::string probe = folder;
  if (probe.back() != '\\' && probe.back() != '/') probe.push_back('\\');
  probe += "~ashtint_write_probe.tmp";
  const HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace ashtint
