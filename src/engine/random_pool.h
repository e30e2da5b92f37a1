// The runtime generator the engine seeds, and the random byte pools that feed the brush grit.
#pragma once

#include <cstdint>

namespace engine {

// The classic linear congruential generator: x <- x * 214013 + 2531011 (mod 2^32), yielding
// (x >> 16) & 0x7FFF. Brush noise depends on it bit for bit, so it is ours, not the C library's.
class Lcg {
 public:
  void Seed(uint32_t seed) { state_ = seed; }
  int32_t Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
  }
  uint32_t state() const { return state_; }

 private:
  uint32_t state_ = 1;
};

// The engine's one generator (what the runtime library's rand/srand are to the engine).
Lcg& Generator();

struct RandomArray {
  uint8_t* data = nullptr;
  int32_t modulus = 0;
  int32_t seed = 0;
  uint32_t length = 0;
};

// Fills the array with (next generator value) mod modulus from the generator seeded with
// randomSeed, unless it already holds exactly that. Throws std::bad_alloc on memory failure,
// leaving the record as it was.
void MakeRandArrayByte(RandomArray& array, int32_t modulus, uint32_t length);
void DeleteRandArrayBtye(RandomArray& array);

}  // namespace engine
