// A soft hint on which processor a thread should run.
#pragma once

#include <thread>

namespace ashtint {

// Asks the scheduler to prefer processor for thread; does nothing where the system has no such hint.
void SetThreadIdealProcessor(std::thread& thread, int processor);

}  // namespace ashtint
