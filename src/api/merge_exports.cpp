// Exports: merge modes, layer merges and the flattened canvas.
#include "api/guard.h"
#include "palmora/merge.h"
#include "render/flatten.h"
#include "render/layer_merge.h"

namespace {
uint16_t* Pixels(void* buffer) { return static_cast<uint16_t*>(buffer); }
}  // namespace

PMR_API void PMR_MergeLayer(int32_t sourceLayer, int32_t destinationLayer) {
  api::guard("MergeLayer Excpt", [&] { render::MergeLayer(sourceLayer, destinationLayer); });
}
PMR_API void PMR_MergeLayerIntoRect(int32_t layer, void* buffer, int32_t x, int32_t y,
                                    int32_t width, int32_t height) {
  api::guard("MergeLayerIntoRect Excpt",
             [&] { render::MergeLayerIntoRect(layer, Pixels(buffer), x, y, width, height); });
}
PMR_API void PMR_MergeLayerInto(int32_t layer, void* buffer) {
  api::guard("MergeLayerInto Excpt", [&] { render::MergeLayerInto(layer, Pixels(buffer)); });
}
PMR_API void PMR_MergeRect(void* buffer, int32_t x, int32_t y, int32_t width, int32_t height) {
  api::guard("MergeRect Excpt", [&] { render::MergeRect(Pixels(buffer), x, y, width, height); });
}
PMR_API void PMR_Merge(void* buffer) {
  api::guard("Merge Excpt", [&] { render::Merge(Pixels(buffer)); });
}
PMR_API uint32_t PMR_GetColorAtMerged(int32_t x, int32_t y) {
  return api::guard(0u, "PMR_GetColorAtMerged Excpt",
                    [&] { return render::GetColorAtMerged(x, y); });
}
PMR_API int32_t PMR_SetAlphaLayerOpacity(int32_t percent) {
  return api::guard(0, "SetAlphaLayerOpacity Excpt",
                    [&] { return render::SetAlphaLayerOpacity(percent); });
}
PMR_API void PMR_MergePaintLayer(int32_t destinationLayer) {
  api::guard("MergePaintLayer Excpt", [&] { render::MergePaintLayer(destinationLayer); });
}
