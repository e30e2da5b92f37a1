// Whether a transfer writes through the cache or around it. Whole-canvas transfers write far more
// than the cache holds and nothing reads the result back at once, so their stores stream straight
// to memory and skip reading each destination line first; small transfers keep cached stores.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine {

enum class Stores { kCached, kStreaming };

// The store kind for a transfer that writes `bytes` bytes in all.
Stores StoresFor(std::size_t bytes);

// Test hook: 1 forces streaming stores, -1 cached ones, 0 restores the automatic choice.
void SetStoresForTesting(int32_t choice) noexcept;

}  // namespace engine
