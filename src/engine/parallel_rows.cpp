#include "engine/parallel_rows.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {
namespace {

// Below this much memory traffic, starting threads costs more than it saves.
constexpr std::size_t kMinParallelBytes = std::size_t{4} << 20;
constexpr unsigned kMaxThreads = 8;
// Rows are handed out in this many pieces a thread, so that a thread the system leaves waiting
// does not hold up the others: whoever is running takes the next piece. Pieces stay large, as
// some callers set up state per piece.
constexpr int32_t kPiecesPerThread = 8;

std::atomic<int32_t> g_forcedThreads{0};

unsigned ThreadCount(int32_t rowCount, std::size_t bytesPerRow) {
  const int32_t forced = g_forcedThreads.load(std::memory_order_relaxed);
  unsigned threads =
      forced > 0 ? unsigned(forced) : std::min(std::thread::hardware_concurrency(), kMaxThreads);
  if (forced <= 0 && std::size_t(rowCount) * bytesPerRow < kMinParallelBytes) threads = 1;
  return std::max(1u, std::min(threads, unsigned(std::max(rowCount, 1))));
}

}  // namespace

void ForRowBands(int32_t rowCount, std::size_t bytesPerRow,
                 const std::function<void(int32_t, int32_t)>& rows) {
  if (rowCount <= 0) return;
  const unsigned threads = ThreadCount(rowCount, bytesPerRow);
  if (threads == 1) {
    rows(0, rowCount);
    return;
  }
  const int32_t pieceRows =
      std::max<int32_t>(1, rowCount / (kPiecesPerThread * static_cast<int32_t>(threads)));
  std::atomic<int32_t> next{0};
  // A failure in a helper (a memory failure, say) must reach the caller, not end the process:
  // the first one is kept, the remaining pieces are abandoned, and it is thrown here after the
  // join.
  std::atomic<bool> failed{false};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto takePieces = [&] {
    try {
      while (!failed.load(std::memory_order_relaxed)) {
        const int32_t begin = next.fetch_add(pieceRows, std::memory_order_relaxed);
        if (begin >= rowCount) return;
        rows(begin, std::min(rowCount, begin + pieceRows));
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(failureLock);
      if (!failure) failure = std::current_exception();
      failed.store(true, std::memory_order_relaxed);
    }
  };
  std::vector<std::thread> workers;
  try {
    workers.reserve(threads - 1);
    for (unsigned i = 1; i < threads; ++i) workers.emplace_back(takePieces);
  } catch (...) {
    // No thread (or no memory for one): the pieces still get done here.
  }
  takePieces();
  for (auto& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
}

void SetRowBandThreadsForTesting(int32_t threads) noexcept {
  g_forcedThreads.store(threads, std::memory_order_relaxed);
}

}  // namespace engine
