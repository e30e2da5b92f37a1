#include "process/photo_pop.h"

#include "engine/engine_state.h"
#include "engine/host_reentry.h"
#include "engine/layer_load_rgb24.h"
#include "engine/layer_read_8bit.h"
#include "imaging/colour_filters.h"
#include "process/effects/effect_frame.h"
#include "process/effects/run_own_effect.h"
#include "engine/processing_buffers.h"

namespace process {

namespace {

struct Free24OnExit {
  // Never refused here: the run that made this was not started inside a host callback.
  ~Free24OnExit() {
    try {
      engine::FreeSrcBuffer24();
      engine::FreeDstBuffer24();
    } catch (...) {
    }
  }
};

void Sharpen() {
  Free24OnExit cleanUp;
  engine::AllocSrcBuffer24();
  engine::AllocDstBuffer24();
  const engine::EngineState& s = engine::State();
  const engine::ProcessingBuffers& b = s.processingBuffers;
  if (!b.src24 || !b.dst24) return;
  const uint32_t w = s.canvasWidth, h = s.canvasHeight;
  if (imaging::IS3SharpenImage(b.src24, w, h, 3, w * 3, b.dst24, w * 3, 5, 7))
    engine::LoadRGB24(b.dst24, s.canvasWidth * 3, 1);
}

void HyperContrastPass(int32_t amount) {
  OwnEffectArguments args;
  args.sliders[0] = amount;
  if (!RunOwnEffect("Hyper Contrast", args)) return;
  LoadDestinationIntoCurrentLayer(engine::UsableDstBuffer32(), engine::State().canvasWidth * 4);
  engine::UpdateSrcBuffer32();
}

}  // namespace

void PhotoPop(int32_t contrastAmount, double saturation, int32_t extraPass) {
  engine::RefuseInsideHostCallback();  // it rewrites the processing buffers
  Sharpen();
  // The contrast passes read the source buffer: it must show the sharpened layer, or the
  // sharpening would be overwritten by the first write-back.
  engine::UpdateSrcBuffer32();
  if (extraPass == 1) HyperContrastPass(1);
  HyperContrastPass(contrastAmount);

  uint8_t* source = engine::UsableSrcBuffer32();
  if (!source) return;
  const engine::EngineState& s = engine::State();
  if (!engine::GetRGBA32Layer(source, s.canvasWidth * 4, s.currentLayerIndex)) return;
  const double factor =
      saturation > 50 ? (saturation - 50) * 0.02 * 2 + 1 : saturation * 0.02 * 3 - 2;
  const uint32_t w = s.canvasWidth, h = s.canvasHeight;
  if (imaging::IS3ModifyImageSaturation(source, w, h, 4, w * 4, factor))
    LoadDestinationIntoCurrentLayer(source, s.canvasWidth * 4);
}

}  // namespace process
