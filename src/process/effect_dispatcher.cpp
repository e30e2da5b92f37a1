#include "process/effect_dispatcher.h"

#include "engine/engine_state.h"
#include "engine/host_reentry.h"
#include "engine/heap.h"
#include "engine/scratch_pool.h"
#include "engine/layer_load_rgb24.h"
#include "engine/layer_read_8bit.h"
#include "mask/mask_plane.h"
#include "platform/progress_report.h"
#include "engine/alpha_filters.h"
#include "process/effect_registry.h"
#include "process/effects/effect_frame.h"
#include "process/effects/run_own_effect.h"
#include "engine/processing_buffers.h"

namespace process {

namespace {

// Frees the 24-bit buffers on every way out of a run, as the routes that use them expect.
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

// The 32-bit buffers in hand for one run.
struct Frame32 {
  uint8_t* source;
  uint8_t* destination;
  int32_t width;
  int32_t height;
};

void PreFilter(const EffectDescriptor& effect, const Frame32& f) {
  if (effect.premultiplied) engine::AdjustRGBA32PreFilter(f.source, f.width, f.height);
}

void PostFilterAndWriteBack(const EffectDescriptor& effect, const Frame32& f) {
  if (effect.premultiplied) engine::AdjustRGBA32PostFilter(f.destination, f.width, f.height);
  LoadDestinationIntoCurrentLayer(f.destination, f.width * 4);
}

void RunOwnRoute(const EffectDescriptor& effect, const EffectCall& call, const Frame32& f) {
  engine::UpdateSrcBuffer32();
  PreFilter(effect, f);
  // Mask Detail marks the mask from scratch: everything open first.
  if (effect.route == EffectRoute::kOwnIntoMask) mask::ClearMask(0, 0, 0);
  // Own-effect names are whole string literals, so their views end in a zero.
  if (!effect.own || !RunOwnEffect(effect.own->name.data(), call.OwnArguments())) return;
  // The mask maker leaves the layer alone: writing back its unchanged 8-bit copy would only
  // cut the layer's samples to 8 bits.
  if (effect.route == EffectRoute::kOwnIntoMask) return;
  PostFilterAndWriteBack(effect, f);
}

void RunBuffer32Route(const EffectDescriptor& effect, const EffectCall& call, const Frame32& f,
                      bool refresh) {
  if (!effect.buffer) return;
  if (refresh) engine::UpdateSrcBuffer32();
  PreFilter(effect, f);
  if (!effect.buffer(call, f.source, f.destination, f.width, f.height)) return;
  PostFilterAndWriteBack(effect, f);
}

void RunRgb24Route(const EffectDescriptor& effect, const EffectCall& call, const Frame32& f) {
  if (!effect.buffer) return;
  engine::AllocSrcBuffer24();
  engine::AllocDstBuffer24();
  const engine::ProcessingBuffers& b = engine::State().processingBuffers;
  if (!b.src24 || !b.dst24) return;
  if (!effect.buffer(call, b.src24, b.dst24, f.width, f.height)) return;
  engine::LoadRGB24(b.dst24, f.width * 3, 1);
}

void RunLayerCopyRoute(const EffectDescriptor& effect, const EffectCall& call, const Frame32& f) {
  const engine::EngineState& s = engine::State();
  engine::ScratchLease copy(engine::PlaneBytes(f.width, f.height, 4));
  if (!effect.layerCopy || !engine::GetRGBA32Layer(copy.get(), f.width * 4, s.currentLayerIndex))
    return;
  if (!effect.layerCopy(call, copy.get(), f.width, f.height)) return;
  LoadDestinationIntoCurrentLayer(copy.get(), f.width * 4);
}

}  // namespace

void RunEffect(const EffectDescriptor& effect, const EffectCall& call) {
  // An effect rewrites the processing buffers that a filter calling the host may be using.
  engine::RefuseInsideHostCallback();
  const engine::EngineState& s = engine::State();
  const Frame32 frame{engine::UsableSrcBuffer32(), engine::UsableDstBuffer32(), s.canvasWidth,
                      s.canvasHeight};
  if (!frame.source || !frame.destination) return;
  Free24OnExit cleanUp;
  switch (effect.route) {
    case EffectRoute::kOwn:
    case EffectRoute::kOwnIntoMask:
      RunOwnRoute(effect, call, frame);
      break;
    case EffectRoute::kSource32:
      RunBuffer32Route(effect, call, frame, true);
      break;
    case EffectRoute::kUnrefreshedSource32:
      RunBuffer32Route(effect, call, frame, false);
      break;
    case EffectRoute::kRgb24:
      RunRgb24Route(effect, call, frame);
      break;
    case EffectRoute::kLayerCopy:
      RunLayerCopyRoute(effect, call, frame);
      break;
    case EffectRoute::kOnSource:
      // The body sees the current layer as it is now, not as the host last filled the buffer.
      if (!effect.freeForm) return;
      engine::UpdateSrcBuffer32();
      effect.freeForm(call);
      break;
    case EffectRoute::kFreeForm:
      if (effect.freeForm) effect.freeForm(call);
      break;
  }
}

void ImageProcess(const EffectCall& call) {
  engine::RefuseInsideHostCallback();
  if (!engine::UsableSrcBuffer32() || !engine::UsableDstBuffer32()) return;
  Free24OnExit cleanUp;
  const EffectDescriptor* effect = call.name ? FindEffect(call.name) : nullptr;
  if (!effect) return;
  // One step: the host sees the effect start and end (long effects run for seconds).
  platform::ReportProgress(call.name, 0, 1);
  RunEffect(*effect, call);
  platform::ReportProgress(call.name, 1, 1);
}

}  // namespace process
