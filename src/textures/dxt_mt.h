// Multi-threaded DXT image encoding: the calling thread prepares every block and queues the
// heavy ones; one worker per processor, started and ended per image, runs them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "textures/dxt_codec.h"

namespace ashtint {

inline constexpr int DxtJobQueueSize = 256;
inline constexpr int DxtSingleThreadMaxBlocks = 100;  // images up to this size never wait

struct TDxtJob {
  TDxtColorSet Payload;
  std::uint8_t* Destination = nullptr;
};

// The process-wide record of the compression threads.
struct TDxtMTGlobalArray {
  std::mutex Lock;       // held for one whole multi-threaded image encode
  std::mutex QueueLock;  // guards Jobs, JobCount, Finishing, Running
  // The queue: a buffer of DxtJobQueueSize jobs. Taking the pending jobs exchanges it with the
  // worker's own buffer, so the queue lock is never held for a copy of a whole batch.
  TDxtJob* Jobs = nullptr;
  int JobCount = 0;
  int Finishing = 0;
  int Running = 0;
  std::vector<std::thread> Threads;
  bool Accepting = false;  // a multi-threaded encode is under way (guarded by QueueLock)
  // Waiting workers are woken when there is something to do instead of polling every
  // millisecond, which would cap the queue at 256 jobs per millisecond. The producer never
  // waits for room: it encodes a block itself while the queue is full.
  std::condition_variable JobsQueued;     // workers: a batch arrived or the producer finished
  std::condition_variable WorkerLeft;     // producer: Running went down
  // The job buffers the queue and the workers pass around (one per worker plus the queue's),
  // kept from one image to the next.
  std::vector<std::unique_ptr<TDxtJob[]>> JobBuffers;
};

// Same contract as EncodeDXTImage with flags = isDXT1; returns once every block is written.
void EncodeDXTImageMT(std::uint8_t* destination, bool isDXT1, int width, TDxtFetchBlock fetch,
                      const void* image, int height);

// Processor count read once at start-up.
int DxtProcessorCount();

// Runs work(first, count) over [0, total) in one share per processor when total reaches
// minShared (else in one piece), the calling thread taking the first share; returns when all
// are done. A thread that cannot be had leaves its share to the calling thread.
void ShareOverProcessors(std::size_t total, std::size_t minShared,
                         const std::function<void(std::size_t first, std::size_t count)>& work);

// Counters for tests and diagnostics.
struct TDxtMTStatistics {
  std::uint64_t ThreadedImages = 0;  // images encoded with the workers
  std::uint64_t QueuedJobs = 0;      // jobs handed to the workers
  std::uint64_t FullQueueJobs = 0;   // jobs the calling thread ran itself as the queue was full
};
TDxtMTStatistics DxtMTStatistics();

}  // namespace ashtint
