// The small services of the engine state: memory copy, start directory, random seed, display latch.
#pragma once

#include <cstdint>

namespace engine {

void Memcpy(void* dst, const void* src, uint32_t count);
// Takes dir when it fits the 1024-byte buffer with its terminator; otherwise keeps the old one.
void SetStartDir(const char* dir);
void SetRandomSeed(uint32_t seed);
int32_t IsDisplayChanged();
void SignalDisplayChange();

}  // namespace engine
