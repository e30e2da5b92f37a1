#include "engine/parallel_rows.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace engine {
namespace {

// Below this much memory traffic, starting threads costs more than it saves.
constexpr std::size_t kMinParallelBytes = std::size_t{4} << 20;
constexpr unsigned kMaxBands = 8;

std::atomic<int32_t> g_forcedThreads{0};

unsigned BandCount(int32_t rowCount, std::size_t bytesPerRow) {
  const int32_t forced = g_forcedThreads.load(std::memory_order_relaxed);
  unsigned bands = forced > 0 ? unsigned(forced) : std::min(std::thread::hardware_concurrency(), kMaxBands);
  if (forced <= 0 && std::size_t(rowCount) * bytesPerRow < kMinParallelBytes) bands = 1;
  return std::max(1u, std::min(bands, unsigned(std::max(rowCount, 1))));
}

}  // namespace

void ForRowBands(int32_t rowCount, std::size_t bytesPerRow,
                 const std::function<void(int32_t, int32_t)>& rows) {
  if (rowCount <= 0) return;
  const unsigned bands = BandCount(rowCount, bytesPerRow);
  auto bandStart = [&](unsigned band) {
    return static_cast<int32_t>(int64_t{rowCount} * band / bands);
  };
  // A band that fails (out of memory for its scratch space, say) must not end the program from a
  // worker thread: each band keeps its failure, every thread is joined, then the first failure
  // goes on to the caller as if the loop had been serial.
  std::vector<std::exception_ptr> failures(bands);
  auto runBand = [&](unsigned band) {
    try {
      rows(bandStart(band), bandStart(band + 1));
    } catch (...) {
      failures[band] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  unsigned started = 1;  // band 0 runs on the calling thread
  try {
    workers.reserve(bands - 1);
    for (; started < bands; ++started) workers.emplace_back(runBand, started);
  } catch (...) {
    // No thread (or no memory for one): the remaining bands run here.
  }
  runBand(0);
  for (unsigned band = started; band < bands; ++band) runBand(band);
  for (auto& worker : workers) worker.join();
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

void SetRowBandThreadsForTesting(int32_t threads) noexcept {
  g_forcedThreads.store(threads, std::memory_order_relaxed);
}

}  // namespace engine
