#include "render/row_bands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace render {
namespace {

constexpr int64_t kSerialPixels = int64_t{1} << 16;
constexpr int kMaxWorkers = 15;

std::atomic<int32_t> g_threadLimit{0};

// A fixed set of worker threads that wait for one job at a time. The caller works on the job too
// and returns when every band is done.
class RowPool {
 public:
  RowPool() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const int wanted = std::min<int>(kMaxWorkers, static_cast<int>(cores) - 1);
    for (int i = 0; i < wanted; ++i) {
      try {
        workers_[workerCount_] = std::thread([this] { WorkerLoop(); });
        ++workerCount_;
      } catch (...) {
        break;  // fewer threads; the work still gets done
      }
    }
  }

  ~RowPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    for (int i = 0; i < workerCount_; ++i) workers_[i].join();
  }

  int WorkerCount() const { return workerCount_; }

  // Returns false without running anything when another job holds the pool.
  bool TryRun(int32_t rows, int32_t bandRows, int helpers, RowBandFn band, void* context) {
    bool idle = false;
    if (!running_.compare_exchange_strong(idle, true, std::memory_order_acquire)) return false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      band_ = band;
      context_ = context;
      rows_ = rows;
      bandRows_ = bandRows;
      nextRow_.store(0, std::memory_order_relaxed);
      helpers_ = helpers;
      active_ = helpers;
      ++generation_;
    }
    wake_.notify_all();
    TakeBands();
    {
      std::unique_lock<std::mutex> lock(mutex_);
      done_.wait(lock, [this] { return active_ == 0; });
    }
    running_.store(false, std::memory_order_release);
    return true;
  }

 private:
  void TakeBands() {
    for (;;) {
      const int32_t first = nextRow_.fetch_add(bandRows_, std::memory_order_relaxed);
      if (first >= rows_) return;
      band_(context_, first, std::min(rows_, first + bandRows_));
    }
  }

  void WorkerLoop() {
    uint64_t seen = 0;
    int id = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      id = startedCount_++;
    }
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
        if (stop_) return;
        seen = generation_;
        if (id >= helpers_) continue;  // this job asked for fewer helpers
      }
      TakeBands();
      std::lock_guard<std::mutex> lock(mutex_);
      if (--active_ == 0) done_.notify_one();
    }
  }

  std::atomic<bool> running_{false};  // one job at a time; a nested call runs serially
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::thread workers_[kMaxWorkers];
  int workerCount_ = 0;
  int startedCount_ = 0;
  bool stop_ = false;
  uint64_t generation_ = 0;

  RowBandFn band_ = nullptr;
  void* context_ = nullptr;
  int32_t rows_ = 0;
  int32_t bandRows_ = 1;
  int helpers_ = 0;
  int active_ = 0;
  std::atomic<int32_t> nextRow_{0};
};

RowPool& Pool() {
  static RowPool pool;
  return pool;
}

}  // namespace

void ForRowBands(int32_t rows, int32_t bandRows, int64_t pixelsPerRow, RowBandFn band,
                 void* context) {
  if (rows <= 0) return;
  bandRows = std::max<int32_t>(1, bandRows);
  const int32_t limit = g_threadLimit.load(std::memory_order_relaxed);
  if (limit != 1 && rows > bandRows && pixelsPerRow * rows >= kSerialPixels) {
    RowPool& pool = Pool();
    int helpers = pool.WorkerCount();
    if (limit > 1) helpers = std::min(helpers, limit - 1);
    if (helpers > 0 && pool.TryRun(rows, bandRows, helpers, band, context)) return;
  }
  band(context, 0, rows);
}

void SetRowBandThreadsForTesting(int32_t threads) noexcept {
  g_threadLimit.store(std::max(0, threads), std::memory_order_relaxed);
}

}  // namespace render
