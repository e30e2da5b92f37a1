// The generators' random numbers: SplitMix64, so that the same seed paints the same picture on
// every platform and compiler.
#pragma once

#include <cstdint>

namespace imaging::script {

class EffectRandom {
 public:
  explicit EffectRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  uint64_t state_;
};

// A seed slot value as a seed: its whole part.
inline uint64_t SeedFromValue(double value) {
  if (!(value > -9.0e18 && value < 9.0e18)) return 0;
  return static_cast<uint64_t>(static_cast<int64_t>(value));
}

// A slot holding a packed colour or other 32-bit pattern; values outside 0..2^32-1 give 0.
inline uint32_t BitsFromValue(double value) {
  if (!(value >= 0.0 && value <= 4294967295.0)) return 0;
  return static_cast<uint32_t>(value);
}

// Hashes a lattice point into 64 well-mixed bits.
inline uint64_t HashLattice(uint64_t seed, int64_t x, int64_t y, uint64_t level) {
  EffectRandom mix(seed ^ (static_cast<uint64_t>(x) * 0x8CB92BA72F3D8DD7ull) ^
                   (static_cast<uint64_t>(y) * 0xD6E8FEB86659FD93ull) ^ (level << 56));
  return mix.Next();
}

}  // namespace imaging::script
