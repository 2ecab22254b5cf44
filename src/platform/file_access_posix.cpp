#include <unistd.h>

#include "platform/file_access.h"

namespace ashtint {

bool IsFolderWritable(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace ashtint
