// Which vector kernels a dab runs: the widest the CPU level allows, asked per dab.
#include "brush/carried_paint_kernels.h"
#include "brush/dab_vector_kernels.h"
#include "platform/cpu_features.h"

namespace brush {
namespace {

template <class Kernel>
Kernel Best(Kernel avx512, Kernel avx2) {
  using platform::CpuLevel;
  return platform::CpuAtLeast(CpuLevel::kAvx512) ? avx512
         : platform::CpuAtLeast(CpuLevel::kAvx2) ? avx2
                                                 : nullptr;
}

}  // namespace

PlainGroupsKernel VectorPlainKernel() {
  return Best(&PlainConstantQuadsAvx512, &PlainConstantPairsAvx2);
}

bool CarriedPaintVectorFits(const PaintRules& r) {
  return r.mixMode == kPlainPaint && r.blending && PlainWriteBack(r) &&
         (!r.remix || r.remixInRange);
}

CarriedPaintKernel VectorCarriedPaintKernel() {
  return Best(&CarriedPaintQuadsAvx512, &CarriedPaintPairsAvx2);
}

CarriedMixKernel VectorCarriedMixKernel() {
  return Best(&CarriedMixQuadsAvx512, &CarriedMixPairsAvx2);
}

}  // namespace brush
