// The eight directional passes shared by the smearing effects (Value Blur, Noise Reduction,
// Noise Reduction RGB, Anti Alias). Each pass walks pairs of neighbouring pixels, the predecessor
// and the next pixel along the scan, and lets a rule rewrite the next pixel at once, so that what
// it writes carries on along the row or column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/parallel_rows.h"
#include "process/effects/effect_context.h"

namespace process {

// One pass. The scan runs along rows (horizontal) or columns (vertical) from alongStart towards
// alongEnd in steps of alongStep, the end itself excluded; the rows (or columns) it covers run
// from acrossStart towards acrossEnd in steps of acrossStep, the end excluded.
struct SmearPass {
  bool horizontal;
  int32_t alongStart, alongEnd, alongStep;
  int32_t acrossStart, acrossEnd, acrossStep;
};

// The passes in their order for a width x height picture: four along the rows (left to right
// going down, right to left going up, right to left going down, left to right going up), then
// four along the columns (down, up, down, up) with the columns taken left to right or right to
// left. Ranges stop one short of the far edge so that every pair lies inside the picture.
// Each file keeps its own copy (static): the vector kernel file includes it too, and a shared
// out-of-line copy built for its wider instruction set could be the one baseline callers get.
static inline void SmearPassesFor(int32_t w, int32_t h, SmearPass passes[8]) {
  passes[0] = {true, 0, w - 2, +1, 0, h - 2, +1};
  passes[1] = {true, w - 1, 1, -1, h - 1, 1, -1};
  passes[2] = {true, w - 1, 1, -1, 1, h - 1, +1};
  passes[3] = {true, 0, w - 2, +1, h - 1, 1, -1};
  passes[4] = {false, 0, h - 2, +1, 0, w - 2, +1};
  passes[5] = {false, h - 1, 1, -1, w - 1, 1, -1};
  passes[6] = {false, 0, h - 2, +1, w - 1, 1, -1};
  passes[7] = {false, h - 1, 1, -1, 0, w - 2, +1};
}

inline bool Before(int32_t i, int32_t end, int32_t step) { return step > 0 ? i < end : i > end; }

template <bool kBeside, class Rule>
void RunSmearRows(uint8_t* plane, int32_t height, std::ptrdiff_t rowBytes, const SmearPass& pass,
                  Rule& rule);
template <bool kBeside, class Rule>
void RunSmearColumns(uint8_t* plane, int32_t width, std::ptrdiff_t rowBytes, const SmearPass& pass,
                     Rule& rule);

// Runs one pass over the plane with rule(prev, next, beside): prev and next are the pair, beside
// is the pixel one line further on (in the direction the rows or columns are taken) next to the
// next pixel, or null when that lies outside the picture. Only rules that read beside ask for it
// (kBeside); the others get null.
template <bool kBeside, class Rule>
void RunSmearPass(uint8_t* plane, int32_t width, int32_t height, std::ptrdiff_t rowBytes,
                  const SmearPass& pass, Rule& rule) {
  if (pass.horizontal) {
    // Without beside the rows do not meet: bands of them run in parallel.
    const int32_t rows =
        pass.acrossStep > 0 ? pass.acrossEnd - pass.acrossStart : pass.acrossStart - pass.acrossEnd;
    if (!kBeside && rows > 1) {
      engine::ForRowBands(rows, std::size_t(width) * 16, [&](int32_t begin, int32_t end) {
        SmearPass band = pass;
        band.acrossStart = pass.acrossStart + begin * pass.acrossStep;
        band.acrossEnd = pass.acrossStart + end * pass.acrossStep;
        RunSmearRows<kBeside>(plane, height, rowBytes, band, rule);
      });
      return;
    }
    RunSmearRows<kBeside>(plane, height, rowBytes, pass, rule);
    return;
  }
  // Without beside the columns do not meet either: bands of them, each taken left to right.
  const int32_t first = pass.acrossStep > 0 ? pass.acrossStart : pass.acrossEnd + 1;
  const int32_t last = pass.acrossStep > 0 ? pass.acrossEnd : pass.acrossStart + 1;
  if (!kBeside && last - first > 1) {
    engine::ForRowBands(last - first, std::size_t(height) * 16, [&](int32_t begin, int32_t end) {
      SmearPass band = pass;
      band.acrossStart = first + begin, band.acrossEnd = first + end, band.acrossStep = +1;
      RunSmearColumns<kBeside>(plane, width, rowBytes, band, rule);
    });
    return;
  }
  RunSmearColumns<kBeside>(plane, width, rowBytes, pass, rule);
}

// The horizontal walk of RunSmearPass.
template <bool kBeside, class Rule>
void RunSmearRows(uint8_t* plane, int32_t height, std::ptrdiff_t rowBytes, const SmearPass& pass,
                  Rule& rule) {
  const int32_t s = pass.alongStep;
  {
    for (int32_t y = pass.acrossStart; Before(y, pass.acrossEnd, pass.acrossStep);
         y += pass.acrossStep) {
      uint8_t* row = plane + y * rowBytes;
      const int32_t besideY = y + pass.acrossStep;
      uint8_t* besideRow =
          kBeside && besideY >= 0 && besideY < height ? plane + besideY * rowBytes : nullptr;
      if (!Before(pass.alongStart, pass.alongEnd, s)) continue;
      // The predecessor is always the pixel the previous step wrote: it is carried in a local
      // copy, so the compiler need not reload it through the row it just stored into.
      uint8_t prev[4];
      std::memcpy(prev, row + std::ptrdiff_t(pass.alongStart) * 4, 4);
      for (int32_t x = pass.alongStart; Before(x, pass.alongEnd, s); x += s) {
        uint8_t* next = row + std::ptrdiff_t(x + s) * 4;
        rule(prev, next, kBeside && besideRow ? besideRow + std::ptrdiff_t(x + s) * 4 : nullptr);
        std::memcpy(prev, next, 4);
      }
    }
  }
}

// The vertical walk of RunSmearPass.
template <bool kBeside, class Rule>
void RunSmearColumns(uint8_t* plane, int32_t width, std::ptrdiff_t rowBytes, const SmearPass& pass,
                     Rule& rule) {
  const int32_t s = pass.alongStep;
  // Columns are independent of one another except through beside, which lies in the column taken
  // next; sweeping a whole row of columns at each step (in the order the columns are taken) gives
  // the same result as walking one column after another, and reads the plane row by row.
  for (int32_t y = pass.alongStart; Before(y, pass.alongEnd, s); y += s) {
    const uint8_t* __restrict row = plane + y * rowBytes;
    uint8_t* __restrict nextRow = plane + (y + s) * rowBytes;
    if constexpr (kBeside) {
      for (int32_t x = pass.acrossStart; Before(x, pass.acrossEnd, pass.acrossStep);
           x += pass.acrossStep) {
        const int32_t besideX = x + pass.acrossStep;
        uint8_t* next = plane + (y + s) * rowBytes + std::ptrdiff_t(x) * 4;
        rule(
            row + std::ptrdiff_t(x) * 4, next,
            besideX >= 0 && besideX < width ? next + std::ptrdiff_t(pass.acrossStep) * 4 : nullptr);
      }
    } else {
      // Without beside the order of the columns does not matter: take them left to right.
      const int32_t first = pass.acrossStep > 0 ? pass.acrossStart : pass.acrossEnd + 1;
      const int32_t last = pass.acrossStep > 0 ? pass.acrossEnd : pass.acrossStart + 1;
      for (int32_t x = first; x < last; ++x)
        rule(row + std::ptrdiff_t(x) * 4, nextRow + std::ptrdiff_t(x) * 4, nullptr);
    }
  }
}

// The eight passes over the destination (the smearing effects always go on in place).
template <bool kBeside, class Rule>
void RunSmearPasses(const EffectContext& context, Rule&& rule) {
  SmearPass passes[8];
  SmearPassesFor(context.width, context.height, passes);
  for (const SmearPass& pass : passes)
    RunSmearPass<kBeside>(context.destination, context.width, context.height, context.rowBytes,
                          pass, rule);
}

}  // namespace process
