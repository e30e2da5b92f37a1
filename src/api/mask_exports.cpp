// Exports: the mask plane and its makers.
#include "api/guard.h"
#include "mask/channel_helpers.h"
#include "mask/mask_alpha.h"
#include "mask/mask_layer.h"
#include "mask/mask_makers.h"
#include "mask/mask_plane.h"
#include "palmora/mask.h"

namespace {
uint8_t* Bytes(void* buffer) { return static_cast<uint8_t*>(buffer); }
const uint8_t* Bytes(const void* buffer) { return static_cast<const uint8_t*>(buffer); }
}  // namespace

PMR_API void PMR_SetMaskOptions(int32_t red1, int32_t green1, int32_t blue1, int32_t red2,
                                int32_t green2, int32_t blue2, int32_t fullStrength) {
  mask::SetMaskOptions(red1, green1, blue1, red2, green2, blue2, fullStrength);
}
PMR_API void PMR_ClearMask(int32_t red, int32_t green, int32_t blue) {
  api::guard("ClearMask Excpt", [&] { mask::ClearMask(red, green, blue); });
}
PMR_API void PMR_InvertMask(void) {
  api::guard("InvertMask Excpt", [] { mask::InvertMask(); });
}
PMR_API void PMR_SaveMask(void* buffer, int32_t stride) {
  api::guard("SaveMask Excpt", [&] { mask::SaveMask(Bytes(buffer), stride); });
}
PMR_API void PMR_LoadMask(const void* buffer, int32_t stride, int32_t width, int32_t height) {
  api::guard("LoadMask Excpt", [&] { mask::LoadMask(Bytes(buffer), stride, width, height); });
}

PMR_API void PMR_CreateImageFromMask(void) {
  api::guard("CreateImageFromMask Excpt", [] { mask::CreateImageFromMask(); });
}
PMR_API void PMR_CreateAlphaFromMask(void) {
  api::guard("CreateAlphaFromMask Excpt", [] { mask::CreateAlphaFromMask(); });
}
PMR_API void PMR_CreateMaskFromAlpha(void) {
  api::guard("CreateMaskFromAlpha Excpt", [] { mask::CreateMaskFromAlpha(); });
}
PMR_API void PMR_CreateMaskFromImage(void) {
  api::guard("CreateMaskFromImage Excpt", [] { mask::CreateMaskFromImage(); });
}
PMR_API void PMR_CreateMaskFromImageLuma(void) {
  api::guard("CreateMaskFromImageLuma Excpt", [] { mask::CreateMaskFromImageLuma(); });
}

PMR_API void PMR_CreateMaskFromDiff_RGBA32(const void* imageA, const void* imageB, int32_t value) {
  api::guard("CreateMaskFromDiff Excpt",
             [&] { mask::CreateMaskFromDiff_RGBA32(Bytes(imageA), Bytes(imageB), value); });
}
PMR_API void PMR_CreateMaskFromRGBAImageColor(const void* image, int32_t red, int32_t green,
                                              int32_t blue, int32_t amount) {
  api::guard("CreateMaskFromRGBAImageColor Excpt",
             [&] { mask::CreateMaskFromRGBAImageColor(Bytes(image), red, green, blue, amount); });
}
PMR_API void PMR_CreateMaskFromRGB24ImageColor(const void* image, int32_t red, int32_t green,
                                               int32_t blue, int32_t amount) {
  api::guard("CreateMaskFromRGB24ImageColor Excpt",
             [&] { mask::CreateMaskFromRGB24ImageColor(Bytes(image), red, green, blue, amount); });
}
PMR_API void PMR_CreateMaskFromRGBAImageColorRange(const void* image, int32_t red, int32_t green,
                                                   int32_t blue, int32_t tolerancePercent,
                                                   int32_t amount) {
  api::guard("CreateMaskFromRGBAImageColorRange Excpt", [&] {
    mask::CreateMaskFromRGBAImageColorRange(Bytes(image), red, green, blue, tolerancePercent,
                                            amount);
  });
}
PMR_API void PMR_CreateMaskFromRGBAImageAlphaRange(const void* image, int32_t alpha,
                                                   int32_t tolerancePercent, int32_t amount) {
  api::guard("CreateMaskFromRGBAImageAlphaRange Excpt", [&] {
    mask::CreateMaskFromRGBAImageAlphaRange(Bytes(image), alpha, tolerancePercent, amount);
  });
}
PMR_API void PMR_CreateMaskFromRGBAImageLuminanceRange(const void* image, int32_t red,
                                                       int32_t green, int32_t blue,
                                                       int32_t tolerancePercent, int32_t amount) {
  api::guard("CreateMaskFromRGBAImageLuminanceRange Excpt", [&] {
    mask::CreateMaskFromRGBAImageLuminanceRange(Bytes(image), red, green, blue, tolerancePercent,
                                                amount);
  });
}
PMR_API void PMR_CreateMaskFromRGBAImageHueRange(const void* image, int32_t red, int32_t green,
                                                 int32_t blue, int32_t tolerancePercent,
                                                 int32_t amount) {
  api::guard("CreateMaskFromRGBAImageHueRange Excpt", [&] {
    mask::CreateMaskFromRGBAImageHueRange(Bytes(image), red, green, blue, tolerancePercent, amount);
  });
}
PMR_API void PMR_CreateMaskFromRGBAImageHSLRange(const void* image, int32_t red, int32_t green,
                                                 int32_t blue, double hueTolerance,
                                                 double saturationTolerance,
                                                 double lightnessTolerance, int32_t amount) {
  api::guard("CreateMaskFromRGBAImageHSLRange Excpt", [&] {
    mask::CreateMaskFromRGBAImageHSLRange(Bytes(image), red, green, blue, hueTolerance,
                                          saturationTolerance, lightnessTolerance, amount);
  });
}
PMR_API void PMR_CreateMaskFromFloodMask(const void* floodMap, int32_t amount) {
  api::guard("CreateMaskFromFloodMask Excpt",
             [&] { mask::CreateMaskFromFloodMask(Bytes(floodMap), amount); });
}

PMR_API void PMR_ApplyMaskToAlphaRect_RGBA32(void* buffer, int32_t stride, int32_t x0, int32_t y0,
                                             int32_t x1, int32_t y1) {
  api::guard("ApplyMaskToAlphaRect Excpt",
             [&] { mask::ApplyMaskToAlphaRect_RGBA32(Bytes(buffer), stride, x0, y0, x1, y1); });
}
PMR_API void PMR_ApplyMaskToAlpha_RGBA32(void* buffer) {
  api::guard("ApplyMaskToAlpha Excpt", [&] { mask::ApplyMaskToAlpha_RGBA32(Bytes(buffer)); });
}
PMR_API void PMR_ReplaceFromRGBAImageAlphaRange(void* image, int32_t alpha,
                                                int32_t tolerancePercent, int32_t red,
                                                int32_t green, int32_t blue, int32_t alpha2) {
  api::guard("ReplaceFromRGBAImageAlphaRange Excpt", [&] {
    mask::ReplaceFromRGBAImageAlphaRange(Bytes(image), alpha, tolerancePercent, red, green, blue,
                                         alpha2);
  });
}

PMR_API void PMR_RGBAlphaToRGB(void* destination, int32_t width, int32_t height,
                               const void* source) {
  api::guard("RGBAlphaToRGB Excpt",
             [&] { mask::RGBAlphaToRGB(Bytes(destination), width, height, Bytes(source)); });
}
PMR_API void PMR_RGBToRGBAlpha(void* destination, int32_t width, int32_t height,
                               const void* source) {
  api::guard("RGBToRGBAlpha Excpt",
             [&] { mask::RGBToRGBAlpha(Bytes(destination), width, height, Bytes(source)); });
}
PMR_API void PMR_RGBToRGBA(void* destination, int32_t width, int32_t height, const void* source) {
  api::guard("RGBToRGBA Excpt",
             [&] { mask::RGBToRGBA(Bytes(destination), width, height, Bytes(source)); });
}
PMR_API void PMR_RGBAToRGB(void* destination, int32_t width, int32_t height, const void* source) {
  api::guard("RGBAToRGB Excpt",
             [&] { mask::RGBAToRGB(Bytes(destination), width, height, Bytes(source)); });
}
