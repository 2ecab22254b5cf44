#include "textures/dxt_mt.h"

#include <algorithm>
#include <cstring>

#include "platform/thread_hint.h"
#include "textures/dxt_internal.h"

namespace ashtint {

namespace {

int ReadProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : int(n);
}

const int processorCount = ReadProcessorCount();

// Created only when there is more than one processor, as the threads are never used otherwise.
std::unique_ptr<TDxtMTGlobalArray> globalArray =
    processorCount != 1 ? std::make_unique<TDxtMTGlobalArray>() : nullptr;

std::atomic<std::uint64_t> threadedImages{0};
std::atomic<std::uint64_t> queuedJobs{0};
std::atomic<std::uint64_t> fullQueueJobs{0};

// Workers wait for a batch of this many jobs (or the producer's end), so that a wake-up is paid
// for by a worthwhile amount of work. Small batches made the workers sleep and wake every few
// dozen jobs, and a worker woken on the producer's processor preempted it each time.
constexpr int kWakeBatch = DxtJobQueueSize / 2;

// Only what the job's encoder reads: the colour fit uses the first Count colours and weights,
// the alpha fit only the pixels. The rest of a reused slot keeps an earlier job's bytes.
void CopyJobPayload(const TDxtColorSet& from, TDxtColorSet& to) {
  to.IsDXT1 = from.IsDXT1;
  to.ThreeColor = from.ThreeColor;
  to.AlphaIsBinary = from.AlphaIsBinary;
  to.Count = from.Count;
  std::memcpy(to.Pixels, from.Pixels, sizeof to.Pixels);
  if (from.Count == 0) return;
  std::memcpy(to.Map, from.Map, sizeof to.Map);
  std::memcpy(to.Colors, from.Colors, sizeof to.Colors[0] * std::size_t(from.Count));
  std::memcpy(to.Weights, from.Weights, sizeof to.Weights[0] * std::size_t(from.Count));
}

// The job counters change only under the queue lock, so a plain store is exact; a locked add
// per job made the producer wait for the job's stores to reach the cache.
void CountUnderQueueLock(std::atomic<std::uint64_t>& counter) {
  counter.store(counter.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

// All pending jobs, in queue order, handed over by exchanging the queue's buffer with the
// caller's: their number, or -1 once the producer has finished and the queue is empty. Waits
// while there is not yet a batch to take.
int TakeJobs(TDxtMTGlobalArray& g, TDxtJob*& buffer) {
  std::unique_lock<std::mutex> lock(g.QueueLock);
  g.JobsQueued.wait(lock, [&] { return g.JobCount >= kWakeBatch || g.Finishing; });
  if (g.JobCount == 0) return -1;
  const int n = g.JobCount;
  std::swap(g.Jobs, buffer);
  g.JobCount = 0;
  return n;
}

void Worker(TDxtMTGlobalArray* g, TDxtJob* jobs) {
  for (;;) {
    const int n = TakeJobs(*g, jobs);
    if (n < 0) break;
    for (int i = 0; i < n; ++i) {
      const TDxtJob& job = jobs[i];
      if (job.Payload.Count != 0) EncodeDxtClusterFit(job.Payload, job.Destination);
      else EncodeDxt5AlphaFit(job.Payload.Pixels, job.Destination);
    }
  }
  {
    std::lock_guard<std::mutex> guard(g->QueueLock);
    --g->Running;
  }
  g->WorkerLeft.notify_all();
}

void FinishWorkers(TDxtMTGlobalArray& g) {
  {
    std::unique_lock<std::mutex> lock(g.QueueLock);
    g.Finishing = 1;
    g.JobsQueued.notify_all();
    g.WorkerLeft.wait(lock, [&] { return g.Running == 0; });
  }
  for (auto& t : g.Threads) t.join();
  std::lock_guard<std::mutex> guard(g.QueueLock);
  g.Threads.clear();
  g.Finishing = 0;
  g.Accepting = false;
}

void StartWorkers(TDxtMTGlobalArray& g, int count) {
  std::lock_guard<std::mutex> guard(g.QueueLock);
  while (g.JobBuffers.size() < std::size_t(count) + 1)
    g.JobBuffers.push_back(std::make_unique<TDxtJob[]>(DxtJobQueueSize));
  // Every buffer is idle between images, so the exchanges of the last one need not be undone.
  g.Jobs = g.JobBuffers[0].get();
  g.Running = count;
  g.JobCount = 0;
  g.Accepting = true;
  g.Threads.reserve(count);
  for (int i = 0; i < count; ++i) {
    try {
      g.Threads.emplace_back(Worker, &g, g.JobBuffers[std::size_t(i) + 1].get());
    } catch (...) {
      // Threads that never started will never leave; the ones running finish the queue.
      g.Running -= count - i;
      if (i == 0) g.Accepting = false;
      throw;
    }
    if (count == processorCount) SetThreadIdealProcessor(g.Threads.back(), i);
  }
}

// Ends the workers whatever happens while the image is encoded.
struct TWorkerSession {
  TDxtMTGlobalArray& G;
  ~TWorkerSession() { FinishWorkers(G); }
};

}  // namespace

int DxtProcessorCount() { return processorCount; }

void ShareOverProcessors(std::size_t total, std::size_t minShared,
                         const std::function<void(std::size_t first, std::size_t count)>& work) {
  const std::size_t threads = std::size_t(processorCount);
  const std::size_t share = threads > 1 && total >= minShared ? (total + threads - 1) / threads : total;
  std::vector<std::thread> helpers;
  std::size_t first = share;
  for (; first < total; first += share) {
    const std::size_t count = std::min(share, total - first);
    try {
      helpers.emplace_back([&work, first, count] { work(first, count); });
    } catch (...) {
      break;  // no thread to be had: the rest is done here
    }
  }
  try {
    work(0, std::min(share, total));
    if (first < total) work(first, total - first);
  } catch (...) {
    for (auto& helper : helpers) helper.join();
    throw;
  }
  for (auto& helper : helpers) helper.join();
}

TDxtMTStatistics DxtMTStatistics() { return {threadedImages.load(), queuedJobs.load(), fullQueueJobs.load()}; }

// A full queue sends the block back to the calling thread, which encodes it itself: with three
// threads on two processors, a producer that slept there left a processor idle.
bool QueueDxtJob(const TDxtColorSet& payload, std::uint8_t* destination) {
  TDxtMTGlobalArray* g = globalArray.get();
  if (!g) return false;
  std::unique_lock<std::mutex> lock(g->QueueLock);
  if (!g->Accepting || g->Running == 0) return false;
  if (g->JobCount == DxtJobQueueSize) {
    CountUnderQueueLock(fullQueueJobs);
    return false;
  }
  TDxtJob& job = g->Jobs[g->JobCount++];
  CopyJobPayload(payload, job.Payload);
  job.Destination = destination;
  CountUnderQueueLock(queuedJobs);
  const bool batchReady = g->JobCount == kWakeBatch;
  lock.unlock();
  if (batchReady) g->JobsQueued.notify_one();
  return true;
}

void EncodeDXTImageMT(std::uint8_t* destination, bool isDXT1, int width, TDxtFetchBlock fetch,
                      const void* image, int height) {
  const int flags = isDXT1 ? DxtFlagDXT1 : 0;
  const long long blocks = (static_cast<long long>(width) + 3) / 4 * ((static_cast<long long>(height) + 3) / 4);
  if (processorCount == 1 || !globalArray || blocks <= DxtSingleThreadMaxBlocks) {
    EncodeDXTImage(destination, flags, width, fetch, image, height);
    return;
  }
  TDxtMTGlobalArray& g = *globalArray;
  std::lock_guard<std::mutex> lock(g.Lock);
  try {
    StartWorkers(g, processorCount);
  } catch (...) {
    FinishWorkers(g);
    throw;
  }
  TWorkerSession session{g};
  threadedImages.fetch_add(1, std::memory_order_relaxed);
  EncodeDXTImage(destination, flags | DxtFlagQueue, width, fetch, image, height);
}

}  // namespace ashtint
