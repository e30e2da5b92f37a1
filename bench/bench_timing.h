// Timing helpers shared by the benchmarks that report ratios of their own measurements: wall and
// process CPU seconds of one call, and the median of a list of ratios.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace bench_timing {

inline double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double CpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wall and CPU seconds of one call.
struct Span {
  double wall, cpu;
};

template <class Fn>
Span TimeOf(Fn&& fn) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuNow();
  fn();
  return {Seconds(start), CpuNow() - cpuStart};
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace bench_timing
