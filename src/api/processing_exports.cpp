// Exports: the processing frame.
#include "api/guard.h"
#include "palmora/processing.h"
#include "process/alpha_filters.h"
#include "process/library_start.h"
#include "process/load_rgba32_layer_bad.h"
#include "process/mask_texture_weight.h"
#include "process/processing_buffers.h"
#include "process/source_mask_alpha.h"
#include "process/stack_flips.h"

namespace {
uint8_t* Bytes(void* buffer) { return static_cast<uint8_t*>(buffer); }
uint16_t* Samples(void* buffer) { return static_cast<uint16_t*>(buffer); }
}  // namespace

PMR_API void PMR_IPLInit(int32_t) { api::guard("IPLInit Excpt", [] { process::IPLInit(); }); }
PMR_API void PMR_IPLExit(void) { api::guard("IPLExit Excpt", [] { process::IPLExit(); }); }

PMR_API void PMR_IPLAllocSrcBuffer32(void) { api::guard("IPLAllocSrcBuffer32 Excpt", [] { process::AllocSrcBuffer32(); }); }
PMR_API void PMR_IPLAllocDstBuffer32(void) { api::guard("IPLAllocDstBuffer32 Excpt", [] { process::AllocDstBuffer32(); }); }
PMR_API void PMR_IPLAllocSrcBuffer24(void) { api::guard("IPLAllocSrcBuffer24 Excpt", [] { process::AllocSrcBuffer24(); }); }
PMR_API void PMR_IPLAllocDstBuffer24(void) { api::guard("IPLAllocDstBuffer24 Excpt", [] { process::AllocDstBuffer24(); }); }
PMR_API void PMR_IPLFreeSrcBuffer32(void) { api::guard("IPLFreeSrcBuffer32 Excpt", [] { process::FreeSrcBuffer32(); }); }
PMR_API void PMR_IPLFreeDstBuffer32(void) { api::guard("IPLFreeDstBuffer32 Excpt", [] { process::FreeDstBuffer32(); }); }
PMR_API void PMR_IPLFreeSrcBuffer24(void) { api::guard("IPLFreeSrcBuffer24 Excpt", [] { process::FreeSrcBuffer24(); }); }
PMR_API void PMR_IPLFreeDstBuffer24(void) { api::guard("IPLFreeDstBuffer24 Excpt", [] { process::FreeDstBuffer24(); }); }
PMR_API void PMR_IPLUpdateSrcBuffer32(void) { api::guard("IPLUpdateSrcBuffer32 Excpt", [] { process::UpdateSrcBuffer32(); }); }
PMR_API void PMR_IPLSetSrcBuffer32(const void* pixels) {
  api::guard("IPLSetSrcBuffer32 Excpt", [&] { process::SetSrcBuffer32(pixels); });
}
PMR_API void PMR_IPLSetDstBuffer32(const void* pixels) {
  api::guard("IPLSetDstBuffer32 Excpt", [&] { process::SetDstBuffer32(pixels); });
}

PMR_API void PMR_ApplyMaskToAlpha_IPLSrcRGBA(void) {
  api::guard("ApplyMaskToAlpha_IPLSrcRGBA Excpt", [] { process::ApplyMaskToAlpha_IPLSrcRGBA(); });
}

PMR_API void PMR_AdjustRGBA32PreFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32PreFilter Excpt", [&] { process::AdjustRGBA32PreFilter(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32PostFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32PostFilter Excpt", [&] { process::AdjustRGBA32PostFilter(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA64PreFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA64PreFilter Excpt", [&] { process::AdjustRGBA64PreFilter(Samples(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA64PostFilter(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA64PostFilter Excpt", [&] { process::AdjustRGBA64PostFilter(Samples(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32ForAlphaComp(int32_t flag, void* pixels) {
  api::guard("AdjustRGBA32ForAlphaComp Excpt", [&] { process::AdjustRGBA32ForAlphaComp(flag, Bytes(pixels)); });
}
PMR_API void PMR_AdjustRGBA32ByMaskAndTexture(void* pixels, int32_t width, int32_t height) {
  api::guard("AdjustRGBA32ByMaskAndTexture Excpt",
             [&] { process::AdjustRGBA32ByMaskAndTexture(Bytes(pixels), width, height); });
}
PMR_API void PMR_AdjustRGBA32RectByMaskAndTexture(void* pixels, int32_t x, int32_t y, int32_t w, int32_t h) {
  api::guard("AdjustRGBA32RectByMaskAndTexture Excpt",
             [&] { process::AdjustRGBA32RectByMaskAndTexture(Bytes(pixels), x, y, w, h); });
}

PMR_API void PMR_LoadRGBA32Layer_BAD(void* src, int32_t, int32_t index, int32_t adjustArgument,
                                     int32_t adjustCount, int32_t adjust) {
  api::guard("LoadRGBA32Layer Excpt", [&] {
    process::LoadRGBA32Layer_BAD(Bytes(src), index, adjustArgument, adjustCount, adjust);
  });
}

PMR_API void PMR_IPLFlipHorizontal(void) { api::guard("IPLFlipHorizontal Excpt", [] { process::IPLFlipHorizontal(); }); }
PMR_API void PMR_IPLFlipVertical(void) { api::guard("IPLVlipVertical Excpt", [] { process::IPLFlipVertical(); }); }
