// Exports: canvas geometry.
#include "api/guard.h"
#include "palmora/geometry.h"
#include "process/canvas_geometry.h"
#include "process/pan_layer.h"

PMR_API void PMR_IPLResize(int32_t newWidth, int32_t newHeight, const char* filterName) {
  api::guard("IPLResize Excpt", [&] { process::IPLResize(newWidth, newHeight, filterName); });
}
PMR_API void PMR_IPLSeamCarvingRGBA(int32_t newWidth, int32_t newHeight, int32_t) {
  api::guard("IPLResize Excpt", [&] { process::IPLSeamCarvingRGBA(newWidth, newHeight); });
}
PMR_API void PMR_IPLResizePage(int32_t newWidth, int32_t newHeight, const char* anchor, int32_t red,
                               int32_t green, int32_t blue) {
  api::guard("IPLResizePage Excpt",
             [&] { process::IPLResizePage(newWidth, newHeight, anchor, red, green, blue); });
}
PMR_API void PMR_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  api::guard("IPLCrop Excpt", [&] { process::IPLCrop(left, top, right, bottom); });
}
PMR_API void PMR_IPLRotateLeft(void) {
  api::guard("IPLRotateLeft Excpt", [] { process::IPLRotateLeft(); });
}
PMR_API void PMR_IPLRotateRight(void) {
  api::guard("IPLRotateRight Excpt", [] { process::IPLRotateRight(); });
}
PMR_API void PMR_IPLPan(int32_t dx, int32_t dy, int32_t edgeMode, int32_t red, int32_t green,
                        int32_t blue, int32_t alpha, int32_t maskAndTexture) {
  api::guard("IPLPan Excpt",
             [&] { process::IPLPan(dx, dy, edgeMode, red, green, blue, alpha, maskAndTexture); });
}
