#include "process/effects/run_own_effect.h"

#include <cstring>

#include "process/effects/effect_frame.h"
#include "process/effects/own_effect_table.h"

namespace process {

namespace {

bool Run(const char* name, EffectContext& context) {
  if (!context.chainFlag && context.source != context.destination) {
    std::memcpy(context.destination, context.source,
                std::size_t(context.rowBytes) * std::size_t(context.height));
  }
  const OwnEffect* effect = name ? FindOwnEffect(name) : nullptr;
  if (!effect) return false;
  effect->run(context);
  return true;
}

}  // namespace

bool RunOwnEffect(const char* name, const OwnEffectArguments& arguments) {
  CanvasBuffers32 buffers;
  if (!UsableProcessingBuffers32(&buffers)) return false;
  EffectContext& context = OwnEffectContext();
  FillEffectContext(context, buffers.source, buffers.destination, buffers.width, buffers.height,
                    buffers.width * 4, arguments);
  context.onCanvas = true;
  return Run(name, context);
}

bool RunOwnEffectOnBuffers(const char* name, uint8_t* input, uint8_t* output, int32_t width,
                           int32_t height, const OwnEffectArguments& arguments) {
  if (!input || !output || width <= 0 || height <= 0 || width > INT32_MAX / 4 ||
      int64_t{width} * 4 * height > INT32_MAX)
    return false;
  EffectContext& context = OwnEffectContext();
  FillEffectContext(context, input, output, width, height, width * 4, arguments);
  return Run(name, context);
}

}  // namespace process
