// Helpers for the pixel-transfer tests: seeded random bytes and checksums of everything a
// transfer could touch, so that a refusal can be shown to change nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"

namespace palmora_test {

inline uint64_t Checksum(const void* data, std::size_t bytes,
                         uint64_t hash = 1469598103934665603ull) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  return hash;
}

// Every layer plane, the mask, the texture and the undo back buffer.
inline uint64_t EngineChecksum() {
  const engine::EngineState& s = engine::State();
  const std::size_t pixels = std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight);
  uint64_t hash = 1469598103934665603ull;
  for (const auto& layer : s.layers) {
    if (layer.pixels) {
      hash = Checksum(layer.pixels, std::size_t(layer.width) * std::size_t(layer.height) * 8, hash);
    }
  }
  if (s.maskPlane) hash = Checksum(s.maskPlane, pixels * 2, hash);
  if (s.textureImage) hash = Checksum(s.textureImage, pixels, hash);
  if (s.undo.historyBack) hash = Checksum(s.undo.historyBack, pixels * 8, hash);
  return hash;
}

inline std::vector<uint8_t> RandomBytes(std::size_t count, uint32_t seed) {
  std::vector<uint8_t> bytes(count);
  uint32_t x = seed * 2654435761u + 7u;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x >> 11);
  }
  return bytes;
}

}  // namespace palmora_test
