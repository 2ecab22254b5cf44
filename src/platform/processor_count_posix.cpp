#include "platform/processor_count.h"

#include <unistd.h>

namespace ashtint {

unsigned LogicalProcessorCount() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? static_cast<unsigned>(n) : 0u;
}

}  // namespace ashtint
