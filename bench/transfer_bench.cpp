// Pixel transfers on a 4096 x 4096 canvas, each beside a memcpy of the bytes it hands over (the
// host-side picture: 4 bytes a pixel for RGBA32, 3 for RGB24, 8 for RGBA64). The vs_memcpy counter
// is memcpy's time over ours: 1.0 matches memcpy, above 1.0 beats it. Each transfer runs as shipped
// (/0/0: rows split across the cores, stores streamed past the cache where the transfer chooses
// to), on the cores with cached stores (/0/-1), on one thread (/1/0), and on one thread with cached
// stores (/1/-1). The rectangle transfers move a 4001 x 4003 block that lines up with nothing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "engine/parallel_rows.h"
#include "engine/store_policy.h"
#include "palmora/palmora.h"

namespace {

constexpr int32_t kSide = 4096;
constexpr std::size_t kPixels = std::size_t(kSide) * kSide;

using Clock = std::chrono::steady_clock;

std::vector<uint8_t>& HostBuffer() {
  static std::vector<uint8_t> buffer(kPixels * 8, 0x5A);  // opaque, non-zero bytes
  return buffer;
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// One copy of `bytes` bytes between two buffers the size of a layer.
double MemcpySeconds(std::size_t bytes) {
  static std::vector<uint8_t> a(kPixels * 8, 1), b(kPixels * 8, 2);
  const auto start = Clock::now();
  std::memcpy(b.data(), a.data(), bytes);
  benchmark::ClobberMemory();
  return Seconds(start);
}

void SetUpCanvas() {
  static bool ready = false;
  if (ready) return;
  PMR_CreateImage(nullptr, kSide, kSide, 64, 0);
  PMR_CreateLayer(1, kSide, kSide);
  PMR_CreateLayer(2, kSide, kSide);
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
  PMR_SetLayer(2);
  HostBuffer();  // touch every page before anything is timed
  MemcpySeconds(8);
  ready = true;
}

template <class Transfer>
void RunTransfer(benchmark::State& state, std::size_t hostBytesPerPixel, Transfer transfer,
                 std::size_t pixels = kPixels) {
  SetUpCanvas();
  engine::SetRowBandThreadsForTesting(int32_t(state.range(0)));
  engine::SetStoresForTesting(int32_t(state.range(1)));
  const std::size_t bytes = pixels * hostBytesPerPixel;
  // The memcpy runs beside every timed call, so that both meet the same load on the machine.
  double ours = 0, copies = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    transfer(HostBuffer().data());
    benchmark::ClobberMemory();
    const double t = Seconds(start);
    state.SetIterationTime(t);
    ours += t;
    copies += MemcpySeconds(bytes);
  }
  engine::SetRowBandThreadsForTesting(0);
  engine::SetStoresForTesting(0);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
  state.counters["vs_memcpy"] = copies / ours;
}

// Arguments: threads (0 automatic, 1 serial) and stores (0 automatic, -1 cached).
#define TRANSFER_BENCHMARK(name)      \
  BENCHMARK(name)                     \
      ->Args({0, 0})                  \
      ->Args({0, -1})                 \
      ->Args({1, 0})                  \
      ->Args({1, -1})                 \
      ->UseManualTime()               \
      ->Unit(benchmark::kMillisecond) \
      ->MinTime(1.0)

void BM_MemcpyRGBA32Bytes(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(MemcpySeconds(kPixels * 4));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPixels * 4));
}
BENCHMARK(BM_MemcpyRGBA32Bytes)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_GetRGBA32Layer(benchmark::State& state) {
  RunTransfer(state, 4, [](uint8_t* host) { PMR_GetRGBA32Layer(host, kSide * 4, 2); });
}
TRANSFER_BENCHMARK(BM_GetRGBA32Layer);

void BM_LoadRGBA32LayerPlain(benchmark::State& state) {
  RunTransfer(state, 4, [](uint8_t* host) {
    PMR_LoadRGBA32Layer(host, kSide * 4, 2, 0, 0, kSide, kSide, 0);
  });
}
TRANSFER_BENCHMARK(BM_LoadRGBA32LayerPlain);

void BM_LoadRGBA32LayerLocked(benchmark::State& state) {
  PMR_SetLayerOptions(2, 1, 1, 100, "Normal");
  RunTransfer(state, 4, [](uint8_t* host) {
    PMR_LoadRGBA32Layer(host, kSide * 4, 2, 0, 0, kSide, kSide, 0);
  });
  PMR_SetLayerOptions(2, 1, 0, 100, "Normal");
}
TRANSFER_BENCHMARK(BM_LoadRGBA32LayerLocked);

void BM_GetRGB24Layer(benchmark::State& state) {
  RunTransfer(state, 3, [](uint8_t* host) { PMR_GetRGB24Layer(host, kSide * 3, 2); });
}
TRANSFER_BENCHMARK(BM_GetRGB24Layer);

void BM_LoadRGB24Plain(benchmark::State& state) {
  RunTransfer(state, 3, [](uint8_t* host) { PMR_LoadRGB24(host, kSide * 3, 0); });
}
TRANSFER_BENCHMARK(BM_LoadRGB24Plain);

void BM_LoadRGB24ToAlphaPlain(benchmark::State& state) {
  RunTransfer(state, 3, [](uint8_t* host) { PMR_LoadRGB24ToAlpha(host, kSide * 3, 0); });
}
TRANSFER_BENCHMARK(BM_LoadRGB24ToAlphaPlain);

void BM_LoadBGR(benchmark::State& state) {
  RunTransfer(state, 3, [](uint8_t* host) { PMR_Load(host, kSide * 3, kSide, kSide); });
}
TRANSFER_BENCHMARK(BM_LoadBGR);

void BM_GetRGB24FromAlpha(benchmark::State& state) {
  RunTransfer(state, 3, [](uint8_t* host) { PMR_GetRGB24FromAlpha(host, kSide * 3); });
}
TRANSFER_BENCHMARK(BM_GetRGB24FromAlpha);

void BM_GetRGBA64Layer(benchmark::State& state) {
  RunTransfer(state, 8, [](uint8_t* host) { PMR_GetRGBA64Layer(host, kSide * 8, 2); });
}
TRANSFER_BENCHMARK(BM_GetRGBA64Layer);

void BM_SetRGBA64Layer(benchmark::State& state) {
  RunTransfer(state, 8, [](uint8_t* host) { PMR_SetRGBA64Layer(host, kSide * 8, 2); });
}
TRANSFER_BENCHMARK(BM_SetRGBA64Layer);

void BM_GetRGBA32FromRGBA64(benchmark::State& state) {
  static std::vector<uint16_t> plane(kPixels * 4, 0x1234);
  RunTransfer(state, 4, [](uint8_t* host) {
    PMR_GetRGBA32FromRGBA64(host, kSide * 4, kSide, kSide, plane.data(), kSide * 8);
  });
}
TRANSFER_BENCHMARK(BM_GetRGBA32FromRGBA64);

// Rectangles: 4001 x 4003 pixels at (37, 41), so that neither rows nor columns line up with the
// plane or a vector width.
constexpr int32_t kRectX = 37, kRectY = 41, kRectW = 4001, kRectH = 4003;
constexpr std::size_t kRectPixels = std::size_t(kRectW) * kRectH;

std::vector<uint16_t>& EnginePlane() {
  static std::vector<uint16_t> plane(kPixels * 4, 0x1234);
  return plane;
}

void BM_GetRGBA64LayerRect(benchmark::State& state) {
  RunTransfer(
      state, 8,
      [](uint8_t* host) {
        PMR_GetRGBA64LayerRect(host, kRectW * 8, 2, kRectX, kRectY, kRectW, kRectH);
      },
      kRectPixels);
}
TRANSFER_BENCHMARK(BM_GetRGBA64LayerRect);

void BM_LoadRGBA32LayerRect(benchmark::State& state) {
  RunTransfer(
      state, 4,
      [](uint8_t* host) {
        PMR_LoadRGBA32Layer(host, kRectW * 4, 2, kRectX, kRectY, kRectW, kRectH, 0);
      },
      kRectPixels);
}
TRANSFER_BENCHMARK(BM_LoadRGBA32LayerRect);

void BM_GetRGB24FromRGBA64Rect(benchmark::State& state) {
  RunTransfer(
      state, 3,
      [](uint8_t* host) {
        PMR_GetRGB24FromRGBA64Rect(host, kRectW * 3, EnginePlane().data(), kSide * 8, 0, 0, kRectW,
                                   kRectH);
      },
      kRectPixels);
}
TRANSFER_BENCHMARK(BM_GetRGB24FromRGBA64Rect);

void BM_RGBA64RectToRGBA32(benchmark::State& state) {
  RunTransfer(
      state, 4,
      [](uint8_t* host) {
        PMR_RGBA64RectToRGBA32(EnginePlane().data(), kRectX, kRectY, kRectW, kRectH, kSide, 0,
                               host);
      },
      kRectPixels);
}
TRANSFER_BENCHMARK(BM_RGBA64RectToRGBA32);

void BM_RGBA64RectToRGBA24(benchmark::State& state) {
  RunTransfer(
      state, 3,
      [](uint8_t* host) {
        PMR_RGBA64RectToRGBA24(EnginePlane().data(), kRectX, kRectY, kRectW, kRectH, kSide, 0,
                               host);
      },
      kRectPixels);
}
TRANSFER_BENCHMARK(BM_RGBA64RectToRGBA24);

void BM_Clear(benchmark::State& state) {
  RunTransfer(state, 8, [](uint8_t*) { PMR_Clear(1, 2, 3, 4); });
}
TRANSFER_BENCHMARK(BM_Clear);

}  // namespace

BENCHMARK_MAIN();
