// Filling, inverting, loading and saving the mask plane, and its display options.
#pragma once

#include <cstdint>

namespace mask {

void SetMaskOptions(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2,
                    int32_t blue2, int32_t fullStrength);
void ClearMask(int32_t red, int32_t green, int32_t blue);
void InvertMask();
void SaveMask(uint8_t* buffer, int32_t stride);
void LoadMask(const uint8_t* buffer, int32_t stride, int32_t width, int32_t height);

}  // namespace mask
