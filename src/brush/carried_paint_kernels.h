// Vector kernels of the smudge brush: plain paint from the carried paint of the blend buffer (and
// its remix back into the buffer), and the carried paint's mix with the canvas. They give bit for
// bit what the scalar kernels give and return how many pixels from the start of the row they did
// (a multiple of their group size); the scalar kernels do the rest.
#pragma once

#include <cstdint>

#include "brush/blend_buffer_internal.h"
#include "brush/dab_internal.h"

namespace brush {

// Plain paint (rule 32) of carried paint over target pixels, the blend row read in place: pixel i
// paints blend[4i..4i+3] and, with the remix, leaves its remix there. Needs a plain write-back
// (no locks, no fixed alpha, no eraser) and, with the remix, a strength of 1..256 with its inverse.
using CarriedPaintKernel = int32_t (*)(uint16_t* target, const uint32_t* coverage, int32_t count,
                                       uint16_t* blend, const PaintRules& rules);

// The carried paint's own mix with the canvas (mix rule 32 and every number without a rule), for
// a canvas share k of 1..65535.
using CarriedMixKernel = int32_t (*)(const MixRow& row, uint32_t k);

// True when the carried-paint kernel applies to a dab with these rules.
bool CarriedPaintVectorFits(const PaintRules& rules);

// The widest kernels the CPU level allows, or null below AVX2.
CarriedPaintKernel VectorCarriedPaintKernel();
CarriedMixKernel VectorCarriedMixKernel();

int32_t CarriedPaintPairsAvx2(uint16_t* target, const uint32_t* coverage, int32_t count,
                              uint16_t* blend, const PaintRules& rules);
int32_t CarriedMixPairsAvx2(const MixRow& row, uint32_t k);
int32_t CarriedPaintQuadsAvx512(uint16_t* target, const uint32_t* coverage, int32_t count,
                                uint16_t* blend, const PaintRules& rules);
int32_t CarriedMixQuadsAvx512(const MixRow& row, uint32_t k);

}  // namespace brush
