// Which vector kernels the processor runs, decided once.
#include "brush/dab_vector_kernels.h"

namespace brush {
namespace {

bool vectorAllowed = true;

PlainGroupsKernel BestPlainKernel() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq")) {
    return &PlainConstantQuadsAvx512;
  }
  if (__builtin_cpu_supports("avx2")) return &PlainConstantPairsAvx2;
  return nullptr;
}

}  // namespace

PlainGroupsKernel VectorPlainKernel() {
  static const PlainGroupsKernel best = BestPlainKernel();
  return vectorAllowed ? best : nullptr;
}

void SetVectorKernelsForTesting(bool enabled) { vectorAllowed = enabled; }

}  // namespace brush
