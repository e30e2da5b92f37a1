// The processor is asked once, at the first dispatch. The compiler's own probe also checks that
// the operating system saves the wide registers, so a level counts only where it can really run.
#include "platform/cpu_features.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <iterator>

#include "platform/cpu_features_internal.h"

namespace platform {
namespace {

constexpr const char* kNames[] = {"scalar", "ssse3", "sse41", "avx2", "avx512"};

struct Detected {
  CpuLevel level = CpuLevel::kScalar;
  bool fma = false;
};

Detected Detect() noexcept {
  Detected d;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("ssse3")) return d;
  d.level = CpuLevel::kSsse3;
  if (!__builtin_cpu_supports("sse4.1")) return d;
  d.level = CpuLevel::kSse41;
  if (!__builtin_cpu_supports("avx2")) return d;
  d.level = CpuLevel::kAvx2;
  d.fma = __builtin_cpu_supports("fma") != 0;
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq")) {
    d.level = CpuLevel::kAvx512;
  }
#endif
  return d;
}

const Detected& Machine() noexcept {
  static const Detected d = Detect();
  return d;
}

// The machine's level lowered by PALMORA_CPU. An unknown name leaves the machine's level, so a
// typing error never switches the vector code off silently in production; it is not an error.
CpuLevel Allowed() noexcept {
  static const CpuLevel level = [] {
    const char* env = std::getenv("PALMORA_CPU");
    const std::optional<CpuLevel> asked = env ? CpuLevelFromName(env) : std::nullopt;
    return asked ? std::min(*asked, Machine().level) : Machine().level;
  }();
  return level;
}

std::atomic<int> g_testCap{static_cast<int>(CpuLevel::kAvx512)};

// The level in force, worked out at the first dispatch and again when the test hook moves: every
// dab row and kernel choice asks, so the answer is one load.
constexpr int kNotYetKnown = -1;
std::atomic<int> g_current{kNotYetKnown};

int WorkOutCurrent() noexcept {
  const int level =
      std::min(static_cast<int>(Allowed()), g_testCap.load(std::memory_order_relaxed));
  g_current.store(level, std::memory_order_relaxed);
  return level;
}

}  // namespace

CpuLevel MachineCpuLevel() noexcept { return Machine().level; }

bool MachineHasFma() noexcept { return Machine().fma; }

CpuLevel CurrentCpuLevel() noexcept {
  const int level = g_current.load(std::memory_order_relaxed);
  return static_cast<CpuLevel>(level != kNotYetKnown ? level : WorkOutCurrent());
}

const char* CpuLevelName(CpuLevel level) noexcept {
  const int i = static_cast<int>(level);
  return i >= 0 && i < static_cast<int>(std::size(kNames)) ? kNames[i] : "?";
}

std::optional<CpuLevel> CpuLevelFromName(std::string_view name) noexcept {
  for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i) {
    if (name == kNames[i]) return static_cast<CpuLevel>(i);
  }
  return std::nullopt;
}

void SetCpuLevelForTesting(CpuLevel level) noexcept {
  const int i = std::clamp(static_cast<int>(level), 0, static_cast<int>(CpuLevel::kAvx512));
  g_testCap.store(i, std::memory_order_relaxed);
  WorkOutCurrent();
}

}  // namespace platform
