#include <cstdio>
#include <cstring>

#include "platform/sys_error_message.h"

namespace ashtint {

// Linux has no texts for the library's COM result codes, so the Windows texts of the codes the
// library uses are given here; codes it derives from errno (0x8008xxxx) use strerror.
std::string SysErrorMessage(std::int32_t code) {
  const auto u = static_cast<std::uint32_t>(code);
  switch (u) {
    case 0x00000000u: return "The operation completed successfully.";
    case 0x00000001u: return "Incorrect function.";
    case 0x80004001u: return "Not implemented";
    case 0x80004002u: return "No such interface supported";
    case 0x80004003u: return "Invalid pointer";
    case 0x80004004u: return "Operation aborted";
    case 0x80004005u: return "Unspecified error";
    case 0x8007000Eu: return "Not enough memory resources are available to complete this operation.";
    case 0x80070057u: return "The parameter is incorrect.";
    case 0x80070083u: return "An attempt was made to move the file pointer before the beginning of the file.";
    case 0x80030001u: return "Unable to perform requested operation.";
    case 0x80040111u: return "ClassFactory cannot supply requested class";
    default: break;
  }
  if ((u & 0xFFFF0000u) == 0x80080000u) return std::strerror(static_cast<int>(u & 0xFFFFu));
  char text[64];
  std::snprintf(text, sizeof text, "System error. Code: 0x%08X.", static_cast<unsigned>(u));
  return text;
}

}  // namespace ashtint
