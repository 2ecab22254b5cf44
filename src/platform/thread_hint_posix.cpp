#include "platform/thread_hint.h"

namespace ashtint {

// Linux has no soft "ideal processor" hint, only hard affinity, which would fight the other
// programs on the machine; the scheduler spreads the workers well enough on its own.
void SetThreadIdealProcessor(std::thread&, int) {}

}  // namespace ashtint
