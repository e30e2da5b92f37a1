#include "engine/random_pool.h"

#include "engine/engine_state.h"
#include "engine/heap.h"

namespace engine {

Lcg& Generator() {
  static Lcg generator;
  return generator;
}

void DeleteRandArrayBtye(RandomArray& array) { ReleasePlane(array.data); }

void MakeRandArrayByte(RandomArray& array, int32_t modulus, uint32_t length) {
  const uint32_t seed = State().randomSeed;
  if (array.data && array.length == length && array.modulus == modulus &&
      array.seed == static_cast<int32_t>(seed)) {
    return;
  }
  if (modulus <= 0) throw std::bad_alloc();
  DeleteRandArrayBtye(array);
  Lcg& generator = Generator();
  generator.Seed(seed);
  auto* data = AllocatePlane<uint8_t>(length);
  for (uint32_t i = 0; i < length; ++i) data[i] = static_cast<uint8_t>(generator.Next() % modulus);
  array.data = data;
  array.length = length;
  array.modulus = modulus;
  array.seed = static_cast<int32_t>(seed);
}

}  // namespace engine
