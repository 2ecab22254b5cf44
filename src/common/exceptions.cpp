#include "common/exceptions.h"

#include <new>

namespace ashtint {

std::string ExceptionClassName(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->ClassName();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "EOutOfMemory";
  if (dynamic_cast<const std::out_of_range*>(&e)) return "ERangeError";
  return "Exception";
}

std::string DescribeException(const std::exception& e) { return ExceptionClassName(e) + ": " + e.what(); }

}  // namespace ashtint
