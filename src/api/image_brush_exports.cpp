// Exports: image brushes.
#include "api/guard.h"
#include "brush/image_brush.h"
#include "palmora/image_brush.h"

PMR_API void PMR_LoadImageBrush(const char* fileName) {
  api::guard("LoadImageBrush Excpt", [&] { brush::LoadImageBrush(fileName); });
}
PMR_API void PMR_LoadImageBrushFromRGBA32(const void* pixels, int32_t width, int32_t height) {
  api::guard("LoadImageBrushFromRGBA32 Excpt", [&] {
    brush::LoadImageBrushFromRGBA32(static_cast<const uint8_t*>(pixels), width, height);
  });
}
PMR_API void PMR_LoadImageBrushArray(const char* fileName) {
  api::guard("LoadImageBrushArray Excpt", [&] { brush::LoadImageBrushArray(fileName); });
}
PMR_API void PMR_CopyFromImageBrushArray(float position) {
  api::guard("LoadImageBrushArray Excpt", [&] { brush::CopyFromImageBrushArray(position); });
}
PMR_API void PMR_FillImageBrush(int32_t red, int32_t green, int32_t blue) {
  api::guard("FillImageBrush Excpt", [&] { brush::FillImageBrush(red, green, blue); });
}
PMR_API void PMR_ColorImageBrush(int32_t red, int32_t green, int32_t blue) {
  api::guard("ColorImageBrush Excpt", [&] { brush::ColorImageBrush(red, green, blue); });
}
PMR_API void PMR_CopyToImageBrush(void) {
  api::guard("CopyToImageBrush Excpt", [] { brush::CopyToImageBrush(); });
}
PMR_API void PMR_SizeImageBrush(void) {
  api::guard("SizeImageBrush Excpt", [] { brush::SizeImageBrush(); });
}
PMR_API void PMR_RotateImageBrush(int32_t angle) {
  api::guard("RotateImageBrush Excpt", [&] { brush::RotateImageBrush(angle); });
}
// The sizing is the copy's only allocation.
PMR_API void PMR_CopyFromImageBrush(int32_t strength) {
  api::guard("SizeImageBrush Excpt", [&] { brush::CopyFromImageBrush(strength); });
}
PMR_API void PMR_CopyFromImageBrushRotate(int32_t strength) {
  api::guard("RotateImageBrush Excpt", [&] { brush::CopyFromImageBrushRotate(strength); });
}
PMR_API void PMR_SaveImageBrush(const char* fileName) {
  api::guard("SaveImageBrush Excpt", [&] { brush::SaveImageBrush(fileName); });
}
