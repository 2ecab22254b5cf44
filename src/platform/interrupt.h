// Interrupts of a console program: Ctrl+C, a closed terminal or window, a termination request.
#pragma once

#include <functional>

namespace ashtint {

// Runs handler(signal number, or the console event on Windows) on a thread of its own when the
// process is interrupted; the handler ends the process. Call before any other thread starts.
void WatchInterrupts(std::function<void(int)> handler);

}  // namespace ashtint
