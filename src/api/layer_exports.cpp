// Exports: the layer stack, the paint layer, the texture plane and alpha operations.
#include "api/guard.h"
#include "engine/layer_alpha.h"
#include "engine/layer_stack.h"
#include "engine/paint_layer.h"
#include "engine/texture_plane.h"
#include "palmora/layers.h"

namespace {
uint8_t* Bytes(void* buffer) { return static_cast<uint8_t*>(buffer); }
}  // namespace

PMR_API int32_t PMR_CreateLayer(int32_t index, int32_t width, int32_t height) {
  return api::guard(0, "CreateLayer Excpt",
                    [&] { return engine::CreateLayer(index, width, height); });
}
PMR_API void PMR_DeleteLayer(int32_t index) {
  api::guard("DeleteLayer Excpt", [&] { engine::DeleteLayer(index); });
}
PMR_API void PMR_SetLayer(int32_t index) {
  api::guard("SetLayer Excpt", [&] { engine::SetLayer(index); });
}
PMR_API int32_t PMR_GetLayerNum(void) { return engine::State().currentLayerIndex; }
PMR_API int32_t PMR_GetLayerCount(void) { return engine::GetLayerCount(); }
PMR_API int32_t PMR_SetLayerOptions(int32_t index, int32_t visible, int32_t alphaLock,
                                    int32_t opacityPercent, const char* modeName) {
  return api::guard(0, "SetLayerOptions Excpt", [&] {
    return engine::SetLayerOptions(index, visible, alphaLock, opacityPercent, modeName);
  });
}
PMR_API void PMR_SwapLayers(int32_t indexA, int32_t indexB) {
  api::guard("SwapLayers Excpt", [&] { engine::SwapLayers(indexA, indexB); });
}

PMR_API int32_t PMR_CreatePaintLayer(int32_t opacityPercent, const char* modeName) {
  return api::guard(0, "CreatePaintLayer Excpt",
                    [&] { return engine::CreatePaintLayer(opacityPercent, modeName); });
}
PMR_API void PMR_ClearPaintLayer(void) {
  api::guard("ClearPaintLayer Excpt", [] { engine::ClearPaintLayer(); });
}
PMR_API void PMR_ClearPaintLayer_old(void) {
  api::guard("ClearPaintLayer Excpt", [] { engine::ClearPaintLayer_old(); });
}
PMR_API void PMR_DeletePaintLayer(void) {
  api::guard("DeletePaintLayer Excpt", [] { engine::DeletePaintLayer(); });
}
PMR_API void PMR_BlurPaintLayerAlpha(void) {
  api::guard("BlurPaintLayerAlpha Excpt", [] { engine::BlurPaintLayerAlpha(); });
}

PMR_API int32_t PMR_CreateTexture(int32_t layer) {
  return api::guard(0, "CreateTexture Excpt", [&] { return engine::CreateTexture(layer); });
}
PMR_API void PMR_DeleteTexture(void) { engine::DeleteTexture(); }

PMR_API void PMR_InvertAlpha(int32_t index) {
  api::guard("InvertAlpha Excpt", [&] { engine::InvertAlpha(index); });
}
PMR_API void PMR_SetLayerAlpha(int32_t index, int32_t value) {
  api::guard("SetLayerAlpha Excpt", [&] { engine::SetLayerAlpha(index, value); });
}
PMR_API void PMR_NormalizeLayerAlpha(int32_t index) {
  api::guard("NormalizeLayerAlpha Excpt", [&] { engine::NormalizeLayerAlpha(index); });
}
PMR_API void PMR_SetColorAlpha(int32_t red, int32_t green, int32_t blue) {
  api::guard("SetColorAlpha Excpt", [&] { engine::SetColorAlpha(red, green, blue); });
}
PMR_API void PMR_CreateBlobFromImage(int32_t index, int32_t mode) {
  api::guard("CreateBlobFromImage Excpt", [&] { engine::CreateBlobFromImage(index, mode); });
}

PMR_API void PMR_InvertAlpha_RGBA32(void* buffer) {
  api::guard("InvertAlpha_RGBA32 Excpt", [&] { engine::InvertAlpha_RGBA32(Bytes(buffer)); });
}
PMR_API void PMR_SetAlphaFromRGBAImageColor(void* buffer, int32_t red, int32_t green,
                                            int32_t blue) {
  api::guard("SetAlphaFromRGBAImageColor Excpt",
             [&] { engine::SetAlphaFromRGBAImageColor(Bytes(buffer), red, green, blue); });
}
PMR_API void PMR_SetColorAlphaRGBABuf(void* buffer, int32_t width, int32_t height, int32_t red,
                                      int32_t green, int32_t blue) {
  api::guard("SetColorAlphaRGBABuf Excpt",
             [&] { engine::SetColorAlphaRGBABuf(Bytes(buffer), width, height, red, green, blue); });
}
PMR_API void PMR_SetColorRGBABuf(void* buffer, int32_t width, int32_t height, int32_t red,
                                 int32_t green, int32_t blue) {
  api::guard("SetColorRGBABuf Excpt",
             [&] { engine::SetColorRGBABuf(Bytes(buffer), width, height, red, green, blue); });
}
