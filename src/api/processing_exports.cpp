// Exports: the processing frame.
#include "api/guard.h"
#include "palmora/processing.h"
#include "engine/alpha_filters.h"
#include "process/library_start.h"
#include "process/load_rgba32_layer_bad.h"
#include "engine/mask_texture_weight.h"
#include "engine/processing_buffers.h"
#include "process/source_mask_alpha.h"
#include "process/stack_flips.h"

namespace {
uint8_t* Bytes(void* buffer) { return static_cast<uint8_t*>(buffer); }
uint16_t* Samples(void* buffer) { return static_cast<uint16_t*>(buffer); }
}  // namespace

PMR_API void PMR_IPLInit(int32_t) {
  api::guard("IPLInit Excpt", [] { process::IPLInit(); });
}
PMR_API void PMR_IPLExit(void) {
  api::guard("IPLExit Excpt", [] { process::IPLExit(); });
}

PMR_API void PMR_IPLAllocSrcBuffer32(void) {
  api::guard("IPLAllocSrcBuffer32 Excpt", [] { engine::AllocSrcBuffer32(); });
}
PMR_API void PMR_IPLAllocDstBuffer32(void) {
  api::guard("IPLAllocDstBuffer32 Excpt", [] { engine::AllocDstBuffer32(); });
}
PMR_API void PMR_IPLAllocSrcBuffer24(void) {
  api::guard("IPLAllocSrcBuffer24 Excpt", [] { engine::AllocSrcBuffer24(); });
}
PMR_API void PMR_IPLAllocDstBuffer24(void) {
  api::guard("IPLAllocDstBuffer24 Excpt", [] { engine::AllocDstBuffer24(); });
}
PMR_API void PMR_IPLFreeSrcBuffer32(void) {
  api::guard("IPLFreeSrcBuffer32 Excpt", [] { engine::FreeSrcBuffer32(); });
}
PMR_API void PMR_IPLFreeDstBuffer32(void) {
  api::guard("IPLFreeDstBuffer32 Excpt", [] { engine::FreeDstBuffer32(); });
}
PMR_API void PMR_IPLFreeSrcBuffer24(void) {
  api::guard("IPLFreeSrcBuffer24 Excpt", [] { engine::FreeSrcBuffer24(); });
}
PMR_API void PMR_IPLFreeDstBuffer24(void) {
  api::guard("IPLFreeDstBuffer24 Excpt", [] { engine::FreeDstBuffer24(); });
}
PMR_API void PMR_IPLUpdateSrcBuffer32(void) {
  api::guard("IPLUpdateSrcBuffer32 Excpt", [] { engine::UpdateSrcBuffer32(); });
}
PMR_API void PMR_IPLSetSrcBuffer32(const void* pixels) {
  api::guard("IPLSetSrcBuffer32 Excpt", [&] { engine::SetSrcBuffer32(pixels); });
}
PMR_API void PMR_IPLSetDstBuffer32(const void* pixels) {
  api::guard("IPLSetDstBuffer32 Excpt", [&] { engine::SetDstBuffer32(pixels); });
}

PMR_API void PMR_ApplyMaskToAlpha_IPLSrcRGBA(void) {
  api::guard("ApplyMaskToAlpha_IPLSrcRGBA Excpt", [] { process::ApplyMaskToAlpha_IPLSrcRGBA(); });
}

PMR_API void PMR_AdjustRGBA32PreFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32PreFilter Excpt",
             [&] { engine::AdjustRGBA32PreFilter(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32PostFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32PostFilter Excpt",
             [&] { engine::AdjustRGBA32PostFilter(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA64PreFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA64PreFilter Excpt",
             [&] { engine::AdjustRGBA64PreFilter(Samples(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA64PostFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA64PostFilter Excpt",
             [&] { engine::AdjustRGBA64PostFilter(Samples(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32ForAlphaComp(int32_t flag, void* pixels) {
  api::guard("AdjustRGBA32ForAlphaComp Excpt",
             [&] { engine::AdjustRGBA32ForAlphaComp(flag, Bytes(pixels)); });
}
PMR_API void PMR_AdjustRGBA32ByMaskAndTexture(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32ByMaskAndTexture Excpt",
             [&] { engine::AdjustRGBA32ByMaskAndTexture(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32RectByMaskAndTexture(void* pixels, int32_t x, int32_t y, int32_t w,
                                                  int32_t h) {
  api::guard("AdjustRGBA32RectByMaskAndTexture Excpt",
             [&] { engine::AdjustRGBA32RectByMaskAndTexture(Bytes(pixels), x, y, w, h); });
}

PMR_API void PMR_LoadRGBA32Layer_BAD(void* src, int32_t, int32_t index, int32_t adjustArgument,
                                     int32_t adjustCount, int32_t adjust) {
  api::guard("LoadRGBA32Layer Excpt", [&] {
    process::LoadRGBA32Layer_BAD(Bytes(src), index, adjustArgument, adjustCount, adjust);
  });
}

PMR_API void PMR_IPLFlipHorizontal(void) {
  api::guard("IPLFlipHorizontal Excpt", [] { process::IPLFlipHorizontal(); });
}
PMR_API void PMR_IPLFlipVertical(void) {
  api::guard("IPLVlipVertical Excpt", [] { process::IPLFlipVertical(); });
}
