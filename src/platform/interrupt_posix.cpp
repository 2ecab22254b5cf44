#include <pthread.h>
#include <signal.h>

#include <thread>

#include "platform/interrupt.h"

namespace ashtint {

// The signals are blocked in every thread and taken by one waiting thread, so the handler runs
// as ordinary code, not inside a signal handler.
void WatchInterrupts(std::function<void(int)> handler) {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
  std::thread([set, handler = std::move(handler)] {
    int sig = 0;
    while (sigwait(&set, &sig) != 0) {
    }
    handler(sig);
  }).detach();
}

}  // namespace ashtint
