// Exports: drawing primitives, the push warp and the buffer blur.
#include "api/guard.h"
#include "palmora/drawing.h"
#include "platform/font_chooser.h"
#include "process/drawing.h"
#include "process/text_drawing.h"

PMR_API void PMR_IPLRectangle(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0,
                              int32_t x1, int32_t y1, int32_t opacity) {
  api::guard("IPLRectangle Excpt",
             [&] { process::DrawRectangle(red, green, blue, x0, y0, x1, y1, opacity); });
}
PMR_API void PMR_IPLEllipse(int32_t red, int32_t green, int32_t blue, int32_t x0, int32_t y0,
                            int32_t x1, int32_t y1, int32_t opacity) {
  api::guard("IPLEllipse Excpt",
             [&] { process::DrawEllipse(red, green, blue, x0, y0, x1, y1, opacity); });
}
PMR_API void PMR_IPLGradient(int32_t red1, int32_t green1, int32_t blue1, int32_t red2,
                             int32_t green2, int32_t blue2, int32_t red3, int32_t green3,
                             int32_t blue3, int32_t red4, int32_t green4, int32_t blue4,
                             int32_t colourCount, int32_t startX, int32_t startY, int32_t endX,
                             int32_t endY, const char* kind) {
  const int32_t colours[4][3] = {
      {red1, green1, blue1}, {red2, green2, blue2}, {red3, green3, blue3}, {red4, green4, blue4}};
  api::guard("IPLGradient Excpt", [&] {
    process::DrawGradient(colours, colourCount, startX, startY, endX, endY, kind);
  });
}
PMR_API void PMR_WarpPointToPoint(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  api::guard("WarpPointToPoint Excpt", [&] { process::WarpPointToPoint(x0, y0, x1, y1); });
}
PMR_API void PMR_BlurMoreBufferRGB24(void* buffer, int32_t width, int32_t height,
                                     int32_t radiusAmount, int32_t strength) {
  api::guard("BlurMoreBuffer Excpt", [&] {
    process::BlurMoreBufferRGB24(static_cast<uint8_t*>(buffer), width, height, radiusAmount,
                                 strength);
  });
}

PMR_API int32_t PMR_ChooseFont(void) {
  return api::guard(0, "Font Err: Other Error", [] { return process::ChooseFont(); });
}
namespace {
PMR_FontChooserCallback g_hostChooser = nullptr;
int32_t CallHostChooser(imaging::FontRecord* record, uint32_t flags, uint32_t* error, void* user) {
  return g_hostChooser(record, flags, error, user);
}
}  // namespace
PMR_API void PMR_SetFontChooserCallback(PMR_FontChooserCallback callback, void* user) {
  g_hostChooser = callback;
  platform::SetFontChooser(callback ? &CallHostChooser : nullptr, user);
}
PMR_API void PMR_IPLText(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y,
                         int32_t /*reserved1*/, int32_t /*reserved2*/, int32_t /*reserved3*/,
                         int32_t /*reserved4*/, const char* text, int32_t smooth) {
  api::guard("IPLText Excpt", [&] { process::DrawText(red, green, blue, x, y, text, smooth); });
}
