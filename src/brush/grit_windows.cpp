#include "brush/grit_windows.h"

#include <algorithm>
#include <cstring>

#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/overlay.h"

namespace brush {
namespace {

constexpr uint32_t kRandMax = 32767;

// A read cursor into a random pool. For ordinary grit sizes the reads of one row band stay far
// inside the pool; for extreme ones a read that would pass the end wraps to the pool's start.
class PoolCursor {
 public:
  PoolCursor(const engine::RandomArray& pool, uint32_t start)
      : data_(pool.data), length_(pool.length), index_(start) {}
  uint8_t Next() {
    if (index_ >= length_) index_ = 0;
    return data_[index_++];
  }

 private:
  const uint8_t* data_;
  uint32_t length_;
  uint32_t index_;
};

// Start of a row band's reads: rand() x ((length - reserve) / 32767), so that the band's first
// bytes are spread over the pool. A reserve larger than the pool leaves the start at 0.
uint32_t BandStart(uint32_t length, uint64_t reserve) {
  const uint64_t spacing = length > reserve ? (length - reserve) / kRandMax : 0;
  return static_cast<uint32_t>(uint64_t(engine::Generator().Next()) * spacing);
}

// The side of the window a dab may read: the brush plus the largest random offset, kept inside
// the buffers, which are sized for the largest brush.
int32_t WindowSide(const engine::EngineState& s) {
  return std::clamp(brush::Tool().brushSize, 0, s.maxBrushSize) + kGritMargin;
}

std::size_t GritBufferBytes(const engine::EngineState& s) {
  const int64_t side = int64_t{s.maxBrushSize} + kGritMargin;
  return engine::PlaneBytes(side, side, 1);
}

void FinishWindows(engine::EngineState& s) {
  // The window the dabs read until the renderer draws another: the last buffer built.
  brush::Tool().gritPosition = {kGritWindowCount - 1, 0};
  brush::Tool().drawingCountdown = brush::Tool().drawingLength;
}

}  // namespace

void BuildGritWindowsFromPools() {
  engine::EngineState& s = engine::State();
  ToolState& t = brush::Tool();
  const engine::RandomArray& poolA = s.randomPoolA;
  const engine::RandomArray& poolB = s.randomPoolB;
  if (!s.gritBuffers[0] || !poolA.data || !poolB.data || poolA.length == 0 || poolB.length == 0) {
    return;
  }
  if (t.gritSize < 1) return;
  const int64_t g = t.gritSize;
  const int64_t side = WindowSide(s);
  const int64_t stride = s.maxBrushSize;
  const std::size_t bytes = GritBufferBytes(s);
  const int32_t cellThreshold = t.gritCellThreshold;
  const int32_t fillThreshold = t.gritFillThreshold;

  for (uint8_t* buffer : s.gritBuffers) {
    std::memset(buffer, 255, bytes);
    for (int64_t r = 0; r < side; r += g) {
      PoolCursor a(poolA, BandStart(poolA.length, 2 * uint64_t(g)));
      PoolCursor b(poolB, BandStart(poolB.length, uint64_t(g)));
      const int64_t rows = std::min(g, side - r);  // cell pixels outside the window read nothing
      for (int64_t q = 0; q < side; q += g) {
        if (a.Next() >= cellThreshold) continue;  // no cell here
        const uint8_t value = b.Next();
        const int64_t cols = std::min(g, side - q);
        for (int64_t j = 0; j < rows; ++j) {
          uint8_t* row = buffer + (r + j) * stride + q;
          for (int64_t k = 0; k < cols; ++k) {
            if (a.Next() < fillThreshold) row[k] = value;
          }
        }
      }
    }
  }
  FinishWindows(s);
}

void CutGritWindowsFromPicture(const uint8_t* grey, int32_t width, int32_t height) {
  engine::EngineState& s = engine::State();
  if (!s.gritBuffers[0] || !grey || width <= 0 || height <= 0) return;
  const int32_t side = WindowSide(s);
  const uint32_t maxBrushSize = static_cast<uint32_t>(s.maxBrushSize);
  const std::size_t bytes = GritBufferBytes(s);
  // A window fits where the picture is larger than it; elsewhere the cut starts at 0 and takes
  // what the picture holds. The random draws happen either way, so the sequence stays the same.
  auto offset = [side](int32_t extent) {
    const uint32_t draw = static_cast<uint32_t>(engine::Generator().Next());
    return extent > side ? static_cast<int32_t>(draw % uint32_t(extent - side)) : 0;
  };
  const uint32_t cutWidth = static_cast<uint32_t>(std::min(side, width));
  const uint32_t cutHeight = static_cast<uint32_t>(std::min(side, height));
  for (uint8_t* buffer : s.gritBuffers) {
    std::memset(buffer, 255, bytes);
    const int32_t x = offset(width);
    const int32_t y = offset(height);
    if (maxBrushSize == 0) continue;
    imaging::IS3OverlayImage(buffer, maxBrushSize, maxBrushSize, 1, maxBrushSize,
                             grey + std::size_t(y) * width + x, cutWidth, cutHeight,
                             static_cast<uint32_t>(width), 0, 0, 1.0, 0);
  }
  FinishWindows(s);
}

}  // namespace brush
