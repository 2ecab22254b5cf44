#include "common/text.h"
#include "platform/executable_path.h"

namespace ashtint {

std::string ExecutableFolder() { return ExtractFilePath(ExecutableFile()); }

}  // namespace ashtint
