#include "engine/find_unused_colour.h"

#include <bit>
#include <cstddef>
#include <vector>

#include "engine/engine_state.h"

namespace engine {

// One pass marks every colour present in a 2^24-bit table; the first clear bit in the order
// b, g, r (r fastest) is the answer. That is the order of scanning per (g, b) pair and taking the
// first unmarked r, without rescanning the picture for each pair.
uint32_t FindUnusedColour(const uint8_t* pixels) {
  const engine::EngineState& s = engine::State();
  if (!pixels || s.canvasWidth <= 0 || s.canvasHeight <= 0) return 256;
  std::vector<uint64_t> seen((1u << 24) / 64, 0);
  const size_t count = static_cast<size_t>(s.canvasWidth) * static_cast<size_t>(s.canvasHeight);
  const uint8_t* p = pixels;
  for (size_t i = 0; i < count; ++i, p += 4) {
    const uint32_t key = p[0] | p[1] << 8 | p[2] << 16;
    seen[key >> 6] |= uint64_t{1} << (key & 63);
  }
  for (size_t word = 0; word < seen.size(); ++word)
    if (~seen[word]) return static_cast<uint32_t>(word * 64 + std::countr_one(seen[word]));
  return 256;
}

}  // namespace engine
