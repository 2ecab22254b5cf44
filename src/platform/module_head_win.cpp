#include "platform/module_head.h"

namespace ashtint {

std::string ModuleHeadProblem(std::string_view head) {
  if (head.substr(0, 2) != "MZ") return "it is not a DLL (no MZ header)";
  return "";
}

}  // namespace ashtint
