// Which vector kernels the processor runs, decided once.
#include "brush/carried_paint_kernels.h"
#include "brush/dab_vector_kernels.h"

namespace brush {
namespace {

bool vectorAllowed = true;

bool HasAvx512() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
}
bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

template <class Kernel>
Kernel Best(Kernel avx512, Kernel avx2) {
  return HasAvx512() ? avx512 : HasAvx2() ? avx2 : nullptr;
}

}  // namespace

PlainGroupsKernel VectorPlainKernel() {
  static const PlainGroupsKernel best = Best(&PlainConstantQuadsAvx512, &PlainConstantPairsAvx2);
  return vectorAllowed ? best : nullptr;
}

bool CarriedPaintVectorFits(const PaintRules& r) {
  return r.mixMode == kPlainPaint && r.blending && PlainWriteBack(r) && (!r.remix || r.remixInRange);
}

CarriedPaintKernel VectorCarriedPaintKernel() {
  static const CarriedPaintKernel best = Best(&CarriedPaintQuadsAvx512, &CarriedPaintPairsAvx2);
  return vectorAllowed ? best : nullptr;
}

CarriedMixKernel VectorCarriedMixKernel() {
  static const CarriedMixKernel best = Best(&CarriedMixQuadsAvx512, &CarriedMixPairsAvx2);
  return vectorAllowed ? best : nullptr;
}

void SetVectorKernelsForTesting(bool enabled) { vectorAllowed = enabled; }

}  // namespace brush
