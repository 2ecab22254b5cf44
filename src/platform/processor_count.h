// Number of logical processors the system offers.
#pragma once

namespace ashtint {

// Logical processors, or 0 when the system does not say.
unsigned LogicalProcessorCount();

}  // namespace ashtint
