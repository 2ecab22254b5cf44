#include "common/main_thread_queue.h"

#include <chrono>

namespace ashtint {

void TMainThreadQueue::Synchronize(const std::function<void()>& call) {
  TCall entry{&call, nullptr, false};
  std::unique_lock lock(mutex_);
  calls_.push_back(&entry);
  ++events_;
  eventCv_.notify_all();
  doneCv_.wait(lock, [&] { return entry.done; });
  lock.unlock();
  if (entry.error) std::rethrow_exception(entry.error);
}

void TMainThreadQueue::NotifyWorkerEnded() {
  std::lock_guard lock(mutex_);
  ++events_;
  eventCv_.notify_all();
}

std::size_t TMainThreadQueue::Serve() {
  std::size_t ran = 0;
  for (;;) {
    TCall* entry;
    {
      std::lock_guard lock(mutex_);
      if (calls_.empty()) return ran;
      entry = calls_.front();
      calls_.pop_front();
    }
    try {
      (*entry->call)();
    } catch (...) {
      entry->error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      entry->done = true;
    }
    doneCv_.notify_all();
    ++ran;
  }
}

std::uint64_t TMainThreadQueue::Events() {
  std::lock_guard lock(mutex_);
  return events_;
}

std::uint64_t TMainThreadQueue::WaitForEvent(std::uint64_t seen) {
  std::unique_lock lock(mutex_);
  eventCv_.wait(lock, [&] { return events_ != seen; });
  return events_;
}

std::uint64_t TMainThreadQueue::WaitForEvent(std::uint64_t seen, int timeoutMs) {
  std::unique_lock lock(mutex_);
  eventCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return events_ != seen; });
  return events_;
}

}  // namespace ashtint
