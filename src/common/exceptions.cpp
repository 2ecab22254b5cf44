#include "common/exceptions.h"

#include <new>

namespace ashtint {

std::string DescribeException(const std::exception& e) {
  if (const auto* own = dynamic_cast<const Exception*>(&e)) return std::string(own->ClassName()) + ": " + e.what();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return std::string("EOutOfMemory: ") + e.what();
  if (dynamic_cast<const std::out_of_range*>(&e)) return std::string("ERangeError: ") + e.what();
  return std::string("Exception: ") + e.what();
}

}  // namespace ashtint
