// Exports: the paint bucket, the magic wand and the mask shapes.
#include "api/guard.h"
#include "mask/flood_fill.h"
#include "mask/magic_wand.h"
#include "mask/mask_shapes.h"
#include "palmora/fill.h"

PMR_API void PMR_IPLFloodFill(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y,
                              int32_t tolerance, const char* mode) {
  api::guard("IPLFloodFill Excpt",
             [&] { mask::FloodFill(red, green, blue, x, y, tolerance, mode); });
}
PMR_API void PMR_IPLMaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t amount,
                             const char* mode) {
  api::guard("IPLMaskWand Excpt", [&] { mask::MaskWand(x, y, tolerance, amount, mode); });
}
PMR_API void PMR_IPLMaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount) {
  api::guard("IPLMaskEllipse Excpt", [&] { mask::MaskEllipse(x0, y0, x1, y1, amount); });
}
PMR_API void PMR_IPLMaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount) {
  api::guard("IPLMaskRectangle Excpt", [&] { mask::MaskRectangle(x0, y0, x1, y1, amount); });
}
PMR_API void PMR_ColorRGBA32FromFloodMask(void* image, const void* map, int32_t red, int32_t green,
                                          int32_t blue, int32_t alpha) {
  api::guard("ColorRGBA32FromFloodMask Excpt", [&] {
    mask::ColorRGBA32FromFloodMask(static_cast<uint8_t*>(image), static_cast<const uint8_t*>(map),
                                   red, green, blue, alpha);
  });
}
