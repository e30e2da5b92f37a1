// Operations that rewrite the alpha channel of a layer or of a host RGBA32 buffer as a whole.
#pragma once

#include <cstdint>

namespace engine {

void InvertAlpha(int32_t index);
void SetLayerAlpha(int32_t index, int32_t value);
void NormalizeLayerAlpha(int32_t index);
void SetColorAlpha(int32_t red, int32_t green, int32_t blue);
void CreateBlobFromImage(int32_t index, int32_t mode);

void InvertAlpha_RGBA32(uint8_t* buffer);
void SetAlphaFromRGBAImageColor(uint8_t* buffer, int32_t red, int32_t green, int32_t blue);
void SetColorAlphaRGBABuf(uint8_t* buffer, int32_t width, int32_t height, int32_t red,
                          int32_t green, int32_t blue);
void SetColorRGBABuf(uint8_t* buffer, int32_t width, int32_t height, int32_t red, int32_t green,
                     int32_t blue);

}  // namespace engine
