// Exports: pixel transfer between layers and host buffers.
#include "api/guard.h"
#include "engine/layer_transfer_rgba64.h"
#include "palmora/transfer.h"

PMR_API int32_t PMR_GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return api::guard(0, "GetRGBA64Layer Excpt", [&] { return engine::GetRGBA64Layer(dst, dstRowBytes, index); });
}
PMR_API int32_t PMR_SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index) {
  return api::guard(0, "SetRGBA64Layer Excpt", [&] { return engine::SetRGBA64Layer(src, srcRowBytes, index); });
}
