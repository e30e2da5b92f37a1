// Vector versions of the hottest colour kernel, chosen at run time by the CPU level.
// They give bit for bit what the scalar kernels give.
#pragma once

#include <cstdint>

#include "brush/dab_internal.h"

namespace brush {

// The quotient of plain paint's "over": floor((kept + laid) x 65536 / na) with kept and laid the
// high halves of the two products, from scale = 65536 / na in double precision. Adding 2^-17
// before the product moves every whole quotient safely above its integer and leaves every other
// one below the next: the double product errs by less than 2^-19 / na, the gaps are 0.5 / na.
inline uint32_t OverQuotient(uint32_t kept, uint32_t laid, double scale) {
  return uint32_t((double(kept + laid) + 1.0 / 131072) * scale);
}

// Locks, fixed alpha and the blob lock leave the write-back plain: colour and alpha as computed.
inline bool PlainWriteBack(const PaintRules& r) {
  return !r.erase && r.writeColour && r.alphaWritable && !r.blobLocked && r.alphaLevel <= 0;
}

// Plain paint of one colour over groups of target pixels: returns how many pixels from the start
// of the span it did (a multiple of its group size); the scalar kernel does the rest. Needs
// PlainWriteBack.
using PlainGroupsKernel = int32_t (*)(uint16_t* target, const uint32_t* coverage, int32_t count,
                                      const uint16_t* source);

// The widest kernel the CPU level allows, or null below AVX2.
PlainGroupsKernel VectorPlainKernel();

int32_t PlainConstantPairsAvx2(uint16_t* target, const uint32_t* coverage, int32_t count,
                               const uint16_t* source);
int32_t PlainConstantQuadsAvx512(uint16_t* target, const uint32_t* coverage, int32_t count,
                                 const uint16_t* source);

}  // namespace brush
