// Exports: view rendering and the view settings.
#include "api/guard.h"
#include "palmora/view.h"
#include "render/view_render.h"
#include "render/view_settings.h"

PMR_API int32_t PMR_Render(void* target, int32_t targetStride, int32_t x, int32_t y, int32_t width,
                           int32_t height) {
  return api::guard(0, "Render Excpt", [&] {
    return render::Render(static_cast<uint8_t*>(target), targetStride, x, y, width, height);
  });
}
PMR_API int32_t PMR_SetScale(int32_t replication, float step) {
  return render::SetScale(replication, step);
}
PMR_API int32_t PMR_SetViewSize(int32_t width, int32_t height) {
  return render::SetViewSize(width, height);
}
PMR_API int32_t PMR_SetOffset(int32_t x, int32_t y) { return render::SetOffset(x, y); }
PMR_API int32_t PMR_SetTracingMode(int32_t on) { return render::SetTracingMode(on); }
PMR_API int32_t PMR_DisplayMask(int32_t on) { return render::DisplayMask(on); }
PMR_API int32_t PMR_EnableMask(int32_t on) { return render::EnableMask(on); }
