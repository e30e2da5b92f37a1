// Which vector instructions the engine's kernels may use. The processor is asked once; every
// kernel dispatch in the engine asks here, so that one switch (the PALMORA_CPU environment
// variable, or a test hook) takes the whole engine down to a lower level.
#pragma once

#include <optional>
#include <string_view>

namespace platform {

// The levels in increasing order; each includes everything below it. AVX-512 means the
// foundation with the byte/word, vector-length and doubleword/quadword extensions, the set our
// kernels are built for.
enum class CpuLevel : int {
  kScalar = 0,
  kSsse3 = 1,
  kSse41 = 2,
  kAvx2 = 3,
  kAvx512 = 4,
};

// The level the kernels run at: what the processor has, lowered by PALMORA_CPU (read once) and by
// the test hook.
CpuLevel CurrentCpuLevel() noexcept;
inline bool CpuAtLeast(CpuLevel level) noexcept { return CurrentCpuLevel() >= level; }

// The highest level the processor (and the operating system, for the wide registers) supports.
CpuLevel MachineCpuLevel() noexcept;
// Fused multiply-add. Kernels that promise the scalar code's exact doubles never use it.
bool MachineHasFma() noexcept;

// "scalar", "ssse3", "sse41", "avx2", "avx512": the names PALMORA_CPU takes.
const char* CpuLevelName(CpuLevel level) noexcept;
std::optional<CpuLevel> CpuLevelFromName(std::string_view name) noexcept;

}  // namespace platform
