// Exports: the blend buffer. None of these can fail; they refuse what they cannot use.
#include "brush/blend_buffer.h"
#include "palmora/blend_buffer.h"

PMR_API void PMR_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount,
                                   int32_t opaqueEdge) {
  brush::DoCopyBlendBuffer(x, y, plane, amount, opaqueEdge);
}
PMR_API void PMR_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t opaqueEdge) {
  brush::CopyBlendBufferSurface(x, y, amount, opaqueEdge);
}
PMR_API void PMR_CopyBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount) {
  brush::CopyBlendBufferLayer(layer, x, y, amount);
}
PMR_API void PMR_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) {
  brush::CopyBlendBufferHistory(x, y, amount);
}
PMR_API void PMR_CopyBlendBufferHistory(int32_t x, int32_t y, int32_t amount) {
  brush::CopyBlendBufferHistory(x, y, amount);
}
PMR_API void PMR_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) {
  brush::CopyBlendBufferTrace(x, y, amount);
}
PMR_API void PMR_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) {
  brush::DoCopyBlendBufferMask(x, y, amount);
}

PMR_API void PMR_DoMixBlendBuffer(int32_t x, int32_t y, const uint16_t* plane, int32_t amount) {
  brush::DoMixBlendBuffer(x, y, plane, amount);
}
PMR_API void PMR_MixBlendBufferSurface(int32_t x, int32_t y, int32_t amount) {
  brush::MixBlendBufferSurface(x, y, amount);
}
PMR_API void PMR_MixBlendBufferLayer(int32_t layer, int32_t x, int32_t y, int32_t amount) {
  brush::MixBlendBufferLayer(layer, x, y, amount);
}
PMR_API void PMR_MixBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) {
  brush::MixBlendBufferHistory(x, y, amount);
}
PMR_API void PMR_MixBlendBufferHistory(int32_t x, int32_t y, int32_t amount) {
  brush::MixBlendBufferHistory(x, y, amount);
}
PMR_API void PMR_MixBlendBufferTrace(int32_t x, int32_t y, int32_t amount) {
  brush::MixBlendBufferTrace(x, y, amount);
}

PMR_API void PMR_DoColorBlendBuffer(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue,
                                    int32_t unused, int32_t amount) {
  brush::DoColorBlendBuffer(x, y, red, green, blue, amount);
}
PMR_API void PMR_ClearBlendBuffer(void) { brush::ClearBlendBuffer(); }
PMR_API void PMR_FillBlendBuffer(int32_t unused1, int32_t unused2, int32_t high, int32_t low) {
  brush::FillBlendBuffer(high, low);
}
PMR_API void PMR_FilterBlendBuffer(int32_t kind, int32_t level) {
  brush::FilterBlendBuffer(kind, level);
}
