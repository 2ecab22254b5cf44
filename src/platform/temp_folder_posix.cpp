#include "platform/temp_folder.h"

#include <cstdlib>

#include "common/text.h"

namespace ashtint {

std::string SystemTempFolder() {
  const char* dir = std::getenv("TMPDIR");
  if (dir == nullptr || *dir == '\0') return "/tmp/";
  return IncludeTrailingPathDelimiter(dir);
}

}  // namespace ashtint
