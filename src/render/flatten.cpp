#include "render/flatten.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "render/composite_internal.h"
#include "render/host_rect.h"
#include "render/layer_merge.h"

namespace render {
namespace {

// Columns of a row that every layer passes over in turn while they are in cache: a piece of the
// buffer and of each layer is 8 KB.
constexpr int32_t kPieceColumns = 1024;

struct FlattenPlan {
  uint16_t* buffer;
  HostRect rect;
  const engine::LayerRecord* background;  // null when hidden or unusable
  int32_t indices[engine::kLayerSlots];
  const engine::LayerRecord* layers[engine::kLayerSlots];
  CompositeJob jobs[engine::kLayerSlots];  // each layer over the whole canvas part of rect
  bool replaces[engine::kLayerSlots];      // its opaque pixels overwrite the buffer whole
  int32_t layerCount;
};

// The parts of buffer rows first..end that lie left and right of the canvas are only cleared.
void ClearOutside(const FlattenPlan& plan, int32_t first, int32_t end) {
  const HostRect& r = plan.rect;
  const std::size_t leftBytes = std::size_t(r.left - r.x) * 8;
  const std::size_t rightBytes = std::size_t(int64_t{r.x} + r.width - r.right) * 8;
  for (int32_t cy = first; cy < end; ++cy) {
    if (leftBytes) std::memset(r.At(plan.buffer, r.x, cy), 0, leftBytes);
    if (rightBytes) std::memset(r.At(plan.buffer, r.right, cy), 0, rightBytes);
  }
}

// One bit per column of a piece.
constexpr int32_t kPieceWords = kPieceColumns / 64;
using ColumnBits = uint64_t[kPieceWords];

int32_t WordsFor(int32_t columns) { return (columns + 63) / 64; }

// The first column at or after `from` whose bit is `value`, or count.
int32_t NextColumnWith(const uint64_t* bits, int32_t count, int32_t from, bool value) {
  if (from >= count) return count;
  int32_t w = from / 64;
  uint64_t word = (value ? bits[w] : ~bits[w]) & (~uint64_t{0} << (from % 64));
  while (word == 0) {
    if (++w * 64 >= count) return count;
    word = value ? bits[w] : ~bits[w];
  }
  return std::min(count, w * 64 + __builtin_ctzll(word));
}

// Calls fn(first, end) for every run of columns whose bit is set.
template <class Fn>
void ForSetRuns(const uint64_t* bits, int32_t count, Fn&& fn) {
  for (int32_t j = NextColumnWith(bits, count, 0, true); j < count;) {
    const int32_t end = NextColumnWith(bits, count, j + 1, false);
    fn(j, end);
    j = NextColumnWith(bits, count, end, true);
  }
}

// Bit b set when pixel b of the n (at most 64) pixels has alpha 65280 or more, that is when the
// alpha's high byte, the top byte of the pixel, is 0xFF.
uint64_t OpaqueBits(const uint16_t* pixels, int32_t n) {
  uint64_t bits = 0;
  int32_t b = 0;
#if defined(__SSE2__)
  // Two pixels a register: the sign bits of the 64-bit halves after a byte compare with 0xFF.
  const __m128i ones = _mm_set1_epi32(-1);
  for (; b + 2 <= n; b += 2) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4 * b));
    const int pair = _mm_movemask_pd(_mm_castsi128_pd(_mm_cmpeq_epi8(v, ones)));
    bits |= uint64_t(pair) << b;
  }
#endif
  for (; b < n; ++b) bits |= uint64_t{pixels[4 * b + 3] >= 65280} << b;
  return bits;
}

// tops[i]: the columns of the piece where layer i holds the highest pixel that overwrites the
// buffer whole (an opaque Normal pixel at full opacity, unmasked). Whatever lies under that
// pixel is overwritten by it, so the layers below need not be composited there at all. Layers
// are read top down, and each only in the words where no layer above has settled every column.
void FindTopReplacing(const FlattenPlan& plan, int32_t row, int32_t c0, int32_t count,
                      ColumnBits* tops) {
  const int32_t words = WordsFor(count);
  ColumnBits open;
  for (int32_t w = 0; w < words; ++w) open[w] = ~uint64_t{0};
  bool anyOpen = true;
  for (int32_t i = plan.layerCount - 1; i >= 0; --i) {
    for (int32_t w = 0; w < words; ++w) tops[i][w] = 0;
    if (!plan.replaces[i] || !anyOpen) continue;
    const CompositeJob& job = plan.jobs[i];
    const uint16_t* pixels = job.source + row * job.sourceStride + 4 * std::ptrdiff_t{c0};
    anyOpen = false;
    for (int32_t w = 0; w < words; ++w) {
      if (open[w] == 0) continue;
      // The same columns of the next row are wanted next; asking for them now keeps the reads of
      // all the layers' rows in flight together.
      if (row + 1 < job.height) {
        const uint16_t* nextRow = pixels + job.sourceStride + 4 * 64 * w;
        for (int32_t line = 0; line < 8; ++line) __builtin_prefetch(nextRow + 32 * line);
      }
      const uint64_t opaque = OpaqueBits(pixels + 4 * 64 * w, std::min(64, count - 64 * w));
      tops[i][w] = open[w] & opaque;
      open[w] &= ~opaque;
      anyOpen |= open[w] != 0;
    }
  }
}

// Rows first..end of the canvas part, piece by piece. Each pixel goes through the same steps in
// the same order as the whole-buffer passes would take it (background, then the layers bottom to
// top), except for steps that an opaque pixel above overwrites.
void FlattenRowsByPieces(const FlattenPlan& plan, int32_t first, int32_t end) {
  const HostRect& r = plan.rect;
  const int32_t inside = r.right - r.left;
  const std::ptrdiff_t canvasStride = engine::State().canvasStride;
  ClearOutside(plan, first, end);
  ColumnBits tops[engine::kLayerSlots];
  ColumnBits settledAbove;  // columns that a replacing pixel above the current step settles
  ColumnBits open;
  for (int32_t cy = first; cy < end; ++cy) {
    const int32_t row = cy - r.top;
    uint16_t* out = r.At(plan.buffer, r.left, cy);
    const uint16_t* background =
        plan.background ? plan.background->pixels + cy * canvasStride + 4 * std::ptrdiff_t{r.left}
                        : nullptr;
    for (int32_t c0 = 0; c0 < inside; c0 += kPieceColumns) {
      const int32_t count = std::min(kPieceColumns, inside - c0);
      const int32_t words = WordsFor(count);
      FindTopReplacing(plan, row, c0, count, tops);
      for (int32_t w = 0; w < words; ++w) {
        settledAbove[w] = 0;
        for (int32_t i = 0; i < plan.layerCount; ++i) settledAbove[w] |= tops[i][w];
        open[w] = ~settledAbove[w];
      }
      ForSetRuns(open, count, [&](int32_t j0, int32_t j1) {
        uint16_t* to = out + 4 * std::ptrdiff_t{c0 + j0};
        const std::size_t bytes = std::size_t(j1 - j0) * 8;
        if (background) {
          std::memcpy(to, background + 4 * std::ptrdiff_t{c0 + j0}, bytes);
        } else {
          std::memset(to, 0, bytes);
        }
      });
      for (int32_t i = 0; i < plan.layerCount; ++i) {
        for (int32_t w = 0; w < words; ++w) {
          settledAbove[w] &= ~tops[i][w];
          open[w] = ~settledAbove[w];
        }
        ForSetRuns(open, count, [&](int32_t j0, int32_t j1) {
          CompositeJobOnThisThread(JobSpan(plan.jobs[i], row, c0 + j0, c0 + j1));
        });
      }
    }
  }
}

// Rows first..end of the canvas part, each layer over the whole band in turn: for stacks in
// which no layer's pixels overwrite the buffer whole, nothing can be skipped and long rows suit
// the compositing loop best.
void FlattenRowsLayerByLayer(const FlattenPlan& plan, int32_t first, int32_t end) {
  const HostRect& r = plan.rect;
  const std::size_t insideBytes = std::size_t(r.right - r.left) * 8;
  const std::ptrdiff_t canvasStride = engine::State().canvasStride;
  ClearOutside(plan, first, end);
  for (int32_t cy = first; cy < end; ++cy) {
    uint16_t* row = r.At(plan.buffer, r.left, cy);
    if (plan.background) {
      std::memcpy(row, plan.background->pixels + cy * canvasStride + 4 * std::ptrdiff_t{r.left},
                  insideBytes);
    } else {
      std::memset(row, 0, insideBytes);
    }
  }
  for (int32_t i = 0; i < plan.layerCount; ++i) {
    CompositeJobOnThisThread(JobRows(plan.jobs[i], first - r.top, end - r.top));
  }
}

// Step after step, each over the whole buffer, serially: for a buffer that shares memory
// with a layer, where what one step writes is what a later step reads.
void FlattenInOrder(const FlattenPlan& plan) {
  const HostRect& r = plan.rect;
  const std::size_t insideBytes = std::size_t(r.right - r.left) * 8;
  const std::ptrdiff_t canvasStride = engine::State().canvasStride;
  ClearOutside(plan, r.top, r.bottom);
  for (int32_t cy = r.top; cy < r.bottom; ++cy) {
    uint16_t* row = r.At(plan.buffer, r.left, cy);
    if (plan.background) {
      std::memmove(row, plan.background->pixels + cy * canvasStride + 4 * std::ptrdiff_t{r.left},
                   insideBytes);
    } else {
      std::memset(row, 0, insideBytes);
    }
  }
  for (int32_t i = 0; i < plan.layerCount; ++i) {
    CompositeLayerIntoHostRows(plan.indices[i], *plan.layers[i], plan.buffer, r, r.top, r.bottom);
  }
}

bool SharesMemory(const uint16_t* a, std::size_t aSamples, const uint16_t* b,
                  std::size_t bSamples) {
  const auto a0 = reinterpret_cast<uintptr_t>(a), b0 = reinterpret_cast<uintptr_t>(b);
  return a0 < b0 + bSamples * 2 && b0 < a0 + aSamples * 2;
}

// Whether the buffer shares memory with any plane the flattening reads.
bool BufferIsRead(const FlattenPlan& plan) {
  const engine::EngineState& s = engine::State();
  const std::size_t planeSamples = std::size_t(s.canvasHeight) * std::size_t(s.canvasStride);
  const std::size_t bufferSamples = std::size_t(plan.rect.height) * std::size_t(plan.rect.stride);
  const auto read = [&](const uint16_t* plane) {
    return plane && SharesMemory(plane, planeSamples, plan.buffer, bufferSamples);
  };
  if (plan.background && read(plan.background->pixels)) return true;
  for (int32_t i = 0; i < plan.layerCount; ++i) {
    if (read(plan.layers[i]->pixels) || read(LayerMaskPixelsFor(plan.indices[i]))) return true;
  }
  return false;
}

}  // namespace

void MergeRect(uint16_t* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
  FlattenPlan plan{};
  if (!buffer || !MakeHostRect(x, y, width, height, plan.rect)) return;
  plan.buffer = buffer;
  const HostRect& r = plan.rect;

  // Rows of the buffer that lie above or below the canvas are only cleared.
  const std::size_t rowBytes = std::size_t(width) * 8;
  if (r.OnCanvasEmpty()) {
    std::memset(buffer, 0, rowBytes * std::size_t(height));
    return;
  }
  std::memset(buffer, 0, rowBytes * std::size_t(r.top - y));
  const std::size_t below = std::size_t(int64_t{y} + height - r.bottom);
  std::memset(r.At(buffer, x, r.bottom), 0, rowBytes * below);

  // A background without pixels of the canvas size cannot be copied: the flattening starts from
  // transparent black, as with a hidden background.
  const engine::LayerRecord* background = MergeableLayer(1);
  plan.background = background && background->visible == 1 ? background : nullptr;
  for (int32_t index = 2; index < engine::kLayerSlots; ++index) {
    const engine::LayerRecord* layer = MergeableLayer(index);
    if (!layer || !layer->visible) continue;
    const int32_t i = plan.layerCount;
    if (!HostLayerJob(index, *layer, buffer, r, plan.jobs[i])) continue;
    plan.indices[i] = index;
    plan.layers[i] = layer;
    plan.replaces[i] = OpaquePixelsReplace(plan.jobs[i]);
    ++plan.layerCount;
  }

  if (BufferIsRead(plan)) {
    FlattenInOrder(plan);
    return;
  }
  const int32_t insideWidth = r.right - r.left;
  const bool anyReplaces = std::find(plan.replaces, plan.replaces + plan.layerCount, true) !=
                           plan.replaces + plan.layerCount;
  // Bands of about 32K pixels shared out between the cores; within a band, row pieces.
  const int32_t bandRows = std::max<int32_t>(1, 32768 / insideWidth);
  auto band = [&plan, anyReplaces](int32_t first, int32_t end) {
    if (anyReplaces) {
      FlattenRowsByPieces(plan, plan.rect.top + first, plan.rect.top + end);
    } else {
      FlattenRowsLayerByLayer(plan, plan.rect.top + first, plan.rect.top + end);
    }
  };
  // Each pixel reads every layer and the buffer, 8 bytes a sample.
  engine::ForRowBands(r.bottom - r.top, std::size_t(insideWidth) * 8 * (plan.layerCount + 1), band,
                      bandRows);
}

void Merge(uint16_t* buffer) {
  const engine::EngineState& s = engine::State();
  MergeRect(buffer, 0, 0, s.canvasWidth, s.canvasHeight);
}

uint32_t GetColorAtMerged(int32_t x, int32_t y) {
  const engine::EngineState& s = engine::State();
  if (x < 0 || y < 0 || x >= s.canvasWidth || y >= s.canvasHeight) return 0xFFFFFF;
  engine::OwnedPlane<uint16_t> pixel = engine::MakeOwnedPlane<uint16_t>(4);
  MergeRect(pixel.get(), x, y, 1, 1);
  const uint16_t* p = pixel.get();
  return uint32_t(p[3] >> 8) << 24 | uint32_t(p[0] >> 8) << 16 | uint32_t(p[1] >> 8) << 8 |
         uint32_t(p[2] >> 8);
}

}  // namespace render
