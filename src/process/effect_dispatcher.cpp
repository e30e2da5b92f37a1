#include "process/effect_dispatcher.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgb24.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_read_8bit.h"
#include "mask/mask_plane.h"
#include "process/alpha_filters.h"
#include "process/effect_registry.h"
#include "process/effects/effect_frame.h"
#include "process/effects/run_own_effect.h"
#include "process/processing_buffers.h"

namespace process {

namespace {

// Frees the 24-bit buffers on every way out of a run, as the routes that use them expect.
struct Free24OnExit {
  ~Free24OnExit() {
    FreeSrcBuffer24();
    FreeDstBuffer24();
  }
};

void RunOwnRoute(const EffectInfo& effect, const EffectCall& call) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = UsableSrcBuffer32();
  uint8_t* destination = UsableDstBuffer32();
  UpdateSrcBuffer32();
  const bool premultiplied = effect.route == EffectRoute::kOwnPremultiplied;
  if (premultiplied) AdjustRGBA32PreFilter(source, s.canvasWidth, s.canvasHeight);
  // Mask Detail marks the mask from scratch: everything open first.
  if (effect.route == EffectRoute::kOwnIntoMask) mask::ClearMask(0, 0, 0);
  // The descriptor's own-effect names are whole string literals, so their views end in a zero.
  if (!RunOwnEffect(effect.ownEffect.data(), call.OwnArguments())) return;
  // The mask maker leaves the layer alone: writing back its unchanged 8-bit copy would only
  // cut the layer's samples to 8 bits.
  if (effect.route == EffectRoute::kOwnIntoMask) return;
  if (premultiplied) AdjustRGBA32PostFilter(destination, s.canvasWidth, s.canvasHeight);
  LoadDestinationIntoCurrentLayer(destination, s.canvasWidth * 4);
}

void RunLayerCopyRoute(const EffectInfo& effect, const EffectCall& call) {
  const engine::EngineState& s = engine::State();
  engine::OwnedPlane<uint8_t> copy =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(s.canvasWidth, s.canvasHeight, 4));
  if (!effect.layerCopy ||
      !engine::GetRGBA32Layer(copy.get(), s.canvasWidth * 4, s.currentLayerIndex))
    return;
  effect.layerCopy(call, copy.get(), s.canvasWidth, s.canvasHeight);
  LoadDestinationIntoCurrentLayer(copy.get(), s.canvasWidth * 4);
}

// The body sees the current layer as it is now, not as the host last filled the buffer.
void RunRefreshedSourceRoute(const EffectInfo& effect, const EffectCall& call) {
  if (!effect.onSource) return;
  UpdateSrcBuffer32();
  effect.onSource(call);
}

// Refreshed, premultiplied source into the destination; divided again and written back only when
// the library succeeded.
void RunLibraryPremultipliedRoute(const EffectInfo& effect, const EffectCall& call) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = UsableSrcBuffer32();
  uint8_t* destination = UsableDstBuffer32();
  if (!effect.library) return;
  UpdateSrcBuffer32();
  AdjustRGBA32PreFilter(source, s.canvasWidth, s.canvasHeight);
  if (!effect.library(call, source, destination, s.canvasWidth, s.canvasHeight)) return;
  AdjustRGBA32PostFilter(destination, s.canvasWidth, s.canvasHeight);
  LoadDestinationIntoCurrentLayer(destination, s.canvasWidth * 4);
}

// The 24-bit buffers, filled from the current layer now; the run's clean-up frees them.
void RunLibrary24Route(const EffectInfo& effect, const EffectCall& call) {
  const engine::EngineState& s = engine::State();
  if (!effect.library) return;
  AllocSrcBuffer24();
  AllocDstBuffer24();
  const uint8_t* source = UsableSrcBuffer24();
  uint8_t* destination = UsableDstBuffer24();
  if (!source || !destination) return;
  if (!effect.library(call, source, destination, s.canvasWidth, s.canvasHeight)) return;
  engine::LoadRGB24(destination, s.canvasWidth * 3, 1);
}

// The source buffer 32 exactly as the host last filled it.
void RunLibraryUnrefreshedRoute(const EffectInfo& effect, const EffectCall& call) {
  const engine::EngineState& s = engine::State();
  uint8_t* destination = UsableDstBuffer32();
  if (!effect.library) return;
  if (!effect.library(call, UsableSrcBuffer32(), destination, s.canvasWidth, s.canvasHeight))
    return;
  LoadDestinationIntoCurrentLayer(destination, s.canvasWidth * 4);
}

}  // namespace

void ImageProcess(const EffectCall& call) {
  if (!UsableSrcBuffer32() || !UsableDstBuffer32()) return;
  Free24OnExit cleanUp;
  const EffectInfo* effect = call.name ? FindEffect(call.name) : nullptr;
  if (!effect) return;
  switch (effect->route) {
    case EffectRoute::kOwnPremultiplied:
    case EffectRoute::kOwn:
    case EffectRoute::kOwnIntoMask:
      RunOwnRoute(*effect, call);
      break;
    case EffectRoute::kLayerCopy:
      RunLayerCopyRoute(*effect, call);
      break;
    case EffectRoute::kRefreshedSource:
      RunRefreshedSourceRoute(*effect, call);
      break;
    case EffectRoute::kLibraryPremultiplied:
      RunLibraryPremultipliedRoute(*effect, call);
      break;
    case EffectRoute::kLibrary24:
      RunLibrary24Route(*effect, call);
      break;
    case EffectRoute::kLibraryUnrefreshed:
      RunLibraryUnrefreshedRoute(*effect, call);
      break;
  }
}

}  // namespace process
