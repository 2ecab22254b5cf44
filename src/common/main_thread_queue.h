// Calls that worker threads hand to the thread that runs the stage. Only that thread writes into
// the output folders and recolours textures, so file creation never races and only one texture
// is encoded at a time. The serving thread blocks until there is something to do: a queued call
// or a worker that ended; it never spins.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace ashtint {

class TMainThreadQueue {
 public:
  TMainThreadQueue() = default;
  TMainThreadQueue(const TMainThreadQueue&) = delete;
  TMainThreadQueue& operator=(const TMainThreadQueue&) = delete;

  // Worker side: runs call on the serving thread and returns when it has run. An exception
  // thrown by the call is raised again here, in the worker.
  void Synchronize(const std::function<void()>& call);

  // Worker side: tells the serving thread that a worker has ended.
  void NotifyWorkerEnded();

  // Serving side: runs every call queued so far, in order; returns how many ran.
  std::size_t Serve();

  // Serving side: the number of events (queued calls and ended workers) so far. Take it before
  // looking at the workers, then WaitForEvent(taken) sleeps only when nothing happened since.
  std::uint64_t Events();
  std::uint64_t WaitForEvent(std::uint64_t seen);
  // The same, but gives up after timeoutMs (then the count is unchanged).
  std::uint64_t WaitForEvent(std::uint64_t seen, int timeoutMs);

 private:
  struct TCall {
    const std::function<void()>* call;
    std::exception_ptr error;
    bool done = false;
  };

  std::mutex mutex_;
  std::condition_variable eventCv_;  // the serving thread waits here
  std::condition_variable doneCv_;   // workers wait here for their call
  std::deque<TCall*> calls_;
  std::uint64_t events_ = 0;
};

}  // namespace ashtint
