#include <windows.h>

#include "platform/file_facts.h"
#include "common/exceptions.h"

namespace ashtint {

TFileFacts ReadFileFacts(const std::string& fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(fileName.c_str(), GetFileExInfoStandard, &data))
    throw EInOutError("Cannot read the attributes of file \"" + fileName + "\". Code: " + std::to_string(GetLastError()));
  TFileFacts facts;
  facts.Size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  facts.Attributes = data.dwFileAttributes;
  facts.CreationTime = (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
  facts.LastWriteTime =
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return facts;
}

}  // namespace ashtint
