#include "engine/parallel_rows.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace engine {
namespace {

constexpr int32_t kMaxThreads = 16;
// When the pool chooses the band height, rows are handed out in this many bands a thread, so that
// a thread the system leaves waiting does not hold up the others: whoever is running takes the
// next band. Bands stay large, as some callers set up state per band.
constexpr int32_t kBandsPerThread = 8;

std::atomic<int32_t> g_forcedThreads{0};

// One call's work. The caller owns it on its stack; helpers touch it only between joining the job
// and reporting back, and the caller waits for that before returning.
struct Job {
  RowBandFn band = nullptr;
  void* context = nullptr;
  int64_t rows = 0;
  int64_t bandRows = 1;
  std::atomic<int64_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex failureLock;
  std::exception_ptr failure;
};

// Takes bands until none are left or one has failed; the first failure is kept for the caller.
void TakeBands(Job& job) noexcept {
  try {
    while (!job.failed.load(std::memory_order_relaxed)) {
      const int64_t begin = job.next.fetch_add(job.bandRows, std::memory_order_relaxed);
      if (begin >= job.rows) return;
      const int64_t end = std::min(job.rows, begin + job.bandRows);
      job.band(job.context, int32_t(begin), int32_t(end));
    }
  } catch (...) {
    std::lock_guard<std::mutex> lock(job.failureLock);
    if (!job.failure) job.failure = std::current_exception();
    job.failed.store(true, std::memory_order_relaxed);
  }
}

// Helper threads, started when first needed and kept, that wait for one job at a time. The caller
// works on the job too. A helper joins only while bands remain to be handed out, so the caller
// never waits for a helper the system has not yet scheduled: it waits only for bands in flight.
class RowPool {
 public:
  ~RowPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (int32_t i = 0; i < workerCount_; ++i) workers_[i].join();
  }

  // Returns false without running anything when another job holds the pool.
  bool TryRun(Job& job, int32_t helpers) {
    if (busy_.exchange(true, std::memory_order_acquire)) return false;
    StartWorkers(helpers);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job_ = &job;
      invited_ = std::min(helpers, workerCount_);
      joined_ = 0;
      ++generation_;
    }
    wake_.notify_all();
    TakeBands(job);
    {
      std::unique_lock<std::mutex> lock(mutex_);
      job_ = nullptr;  // no helper joins from here on
      done_.wait(lock, [this] { return inFlight_ == 0; });
    }
    busy_.store(false, std::memory_order_release);
    return true;
  }

 private:
  // Called only by the job's owner, so the worker array has one writer.
  void StartWorkers(int32_t wanted) {
    wanted = std::min(wanted, kMaxThreads - 1);
    while (workerCount_ < wanted) {
      try {
        workers_[workerCount_] = std::thread([this] { WorkerLoop(); });
      } catch (...) {
        return;  // fewer threads; the work still gets done
      }
      std::lock_guard<std::mutex> lock(mutex_);
      ++workerCount_;
    }
  }

  void WorkerLoop() {
    uint64_t seen = 0;
    for (;;) {
      Job* job = nullptr;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || (job_ && generation_ != seen); });
        if (stop_) return;
        seen = generation_;
        if (joined_ >= invited_) continue;  // this job asked for fewer helpers
        ++joined_;
        ++inFlight_;
        job = job_;
      }
      TakeBands(*job);
      std::lock_guard<std::mutex> lock(mutex_);
      if (--inFlight_ == 0) done_.notify_all();
    }
  }

  std::atomic<bool> busy_{false};  // one job at a time; a nested or concurrent call runs serially
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::thread workers_[kMaxThreads - 1];
  int32_t workerCount_ = 0;
  bool stop_ = false;
  uint64_t generation_ = 0;
  Job* job_ = nullptr;
  int32_t invited_ = 0;
  int32_t joined_ = 0;
  int32_t inFlight_ = 0;
};

RowPool& Pool() {
  static RowPool pool;
  return pool;
}

int32_t MachineThreads() noexcept {
  static const int32_t threads = [] {
    const auto cores =
        int32_t(std::min<unsigned>(std::thread::hardware_concurrency(), kMaxThreads));
    const int32_t count = std::max(1, cores);
    // OpenCV keeps a pool of its own; it gets the same share of the machine, never more, so that
    // its work and ours together do not ask for more threads than there are cores.
    // Short of memory, OpenCV keeps its own count: only the sharing of cores suffers.
    try {
      cv::setNumThreads(count);
    } catch (...) {
    }
    return count;
  }();
  return threads;
}

}  // namespace

int32_t RowBandThreads() noexcept {
  const int32_t machine = MachineThreads();
  const int32_t forced = g_forcedThreads.load(std::memory_order_relaxed);
  return forced > 0 ? std::min(forced, kMaxThreads) : machine;
}

void RunRowBands(int32_t rowCount, std::size_t bytesPerRow, int32_t bandRows, RowBandFn band,
                 void* context) {
  if (rowCount <= 0) return;
  const bool forced = g_forcedThreads.load(std::memory_order_relaxed) > 0;
  const int32_t threads = RowBandThreads();
  const bool tooSmall =
      !forced && (bytesPerRow == 0 || std::size_t(rowCount) < kMinParallelBytes / bytesPerRow);
  if (threads > 1 && rowCount > 1 && !tooSmall) {
    Job job;
    job.band = band;
    job.context = context;
    job.rows = rowCount;
    job.bandRows =
        bandRows > 0 ? bandRows : std::max<int32_t>(1, rowCount / (kBandsPerThread * threads));
    if (job.bandRows < job.rows && Pool().TryRun(job, threads - 1)) {
      if (job.failure) std::rethrow_exception(job.failure);
      return;
    }
  }
  band(context, 0, rowCount);
}

void SetRowBandThreadsForTesting(int32_t threads) noexcept {
  g_forcedThreads.store(std::max(0, threads), std::memory_order_relaxed);
}

}  // namespace engine
