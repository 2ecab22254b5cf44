#include "platform/module_head.h"

namespace ashtint {

std::string ModuleHeadProblem(std::string_view head) {
  if (head.substr(0, 4) != std::string_view("\x7f" "ELF", 4)) return "it is not a shared library (no ELF header)";
  return "";
}

}  // namespace ashtint
