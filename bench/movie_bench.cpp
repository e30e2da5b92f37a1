// Writing a movie of 100 uncompressed 1920 x 1080 frames through PMR_CreateAVI,
// PMR_WriteAVI_RGB24 and PMR_CloseAVI, next to writing the same bytes (100 frames of bottom-up
// 24-bit rows) straight to a file with fwrite, in the same folder. Each iteration runs both sides,
// in alternating order; "ratio" is the median of (disk time / movie time), i.e. the movie's write
// rate as a share of the disk's. The goal is at least 0.5.
// Run: ./build/bench/movie_bench --benchmark_repetitions=1
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "palmora/palmora.h"

namespace {

constexpr int32_t kWidth = 1920, kHeight = 1080, kFrames = 100;
constexpr std::size_t kFrameBytes = std::size_t(kWidth) * kHeight * 3;  // rows need no padding

std::string Path(const char* name) { return std::string("/tmp/palmora_movie_bench_") + name; }

const std::vector<uint8_t>& Frame() {
  static const std::vector<uint8_t> frame = [] {
    std::vector<uint8_t> f(kFrameBytes);
    std::mt19937 rng(1);
    for (auto& v : f) v = uint8_t(rng());
    return f;
  }();
  return frame;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double WriteMovie() {
  const auto start = std::chrono::steady_clock::now();
  if (!PMR_CreateAVI(Path("movie.avi").c_str(), 40)) return 0;
  for (int i = 0; i < kFrames; ++i) PMR_WriteAVI_RGB24(Frame().data(), kWidth, kHeight);
  PMR_CloseAVI();
  return Seconds(start);
}

double WriteDisk() {
  const auto start = std::chrono::steady_clock::now();
  std::FILE* f = std::fopen(Path("plain.bin").c_str(), "wb");
  if (!f) return 0;
  for (int i = 0; i < kFrames; ++i) std::fwrite(Frame().data(), 1, kFrameBytes, f);
  std::fclose(f);
  return Seconds(start);
}

void MovieAgainstDisk(benchmark::State& state) {
  Frame();
  std::vector<double> ratios, movie, disk;
  bool movieFirst = true;
  for (auto _ : state) {
    double m, d;
    if (movieFirst)
      m = WriteMovie(), d = WriteDisk();
    else
      d = WriteDisk(), m = WriteMovie();
    movieFirst = !movieFirst;
    state.SetIterationTime(m);
    movie.push_back(m), disk.push_back(d), ratios.push_back(d / m);
  }
  const auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double bytes = double(kFrameBytes) * kFrames;
  state.counters["movie_MBps"] = bytes / median(movie) / 1e6;
  state.counters["disk_MBps"] = bytes / median(disk) / 1e6;
  state.counters["ratio"] = median(ratios);
  std::remove(Path("movie.avi").c_str());
  std::remove(Path("plain.bin").c_str());
}

}  // namespace

BENCHMARK(MovieAgainstDisk)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

BENCHMARK_MAIN();
