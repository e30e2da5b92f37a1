#include "process/script_distortions/script_distortion_frame.h"

#include <cstring>

#include "engine/heap.h"
#include "imaging/channels.h"
#include "imaging/picture_script.h"
#include "imaging/transforms.h"

namespace process {

namespace {

struct FinishOnExit {
  ~FinishOnExit() { imaging::ISL_Finish(); }
};

// The background of each pass, packed in the runner's byte order (blue first, alpha on top).
struct Backgrounds {
  uint32_t edgeMode;
  uint32_t colour;  // the colour pass
  uint32_t alpha;   // the alpha pass
};

Backgrounds BackgroundsOf(const EffectCall& call) {
  const uint32_t opaque = 0xFF000000u | (uint32_t(call.red) & 0xFF) << 16 |
                          (uint32_t(call.green) & 0xFF) << 8 | (uint32_t(call.blue) & 0xFF);
  switch (call.options[0]) {
    case 1:
      return {imaging::kEdgeWrap, 0, 0};
    case 2:
      return {imaging::kEdgeRepeat, 0, 0};
    case 3:
      return {imaging::kEdgeMirror, 0, 0};
    case 4:
      return {imaging::kEdgeFill, 0, 0};
    default:
      return {imaging::kEdgeFill, opaque, 0xFFFFFFFFu};
  }
}

bool Execute(uint8_t* picture, int32_t width, int32_t height, EdgeSlots slots, uint32_t edgeMode,
             uint32_t background) {
  if (slots.edgeSlot != slots.backgroundSlot &&
      !imaging::ISL_SetEffectValue(0, slots.edgeSlot, edgeMode))
    return false;
  return imaging::ISL_SetEffectValue(0, slots.backgroundSlot, background) &&
         imaging::ISL_ExecuteScriptOnImage(picture, uint32_t(width), uint32_t(height));
}

}  // namespace

bool RunScriptDistortion(const EffectCall& call, uint32_t effectId, ScriptValues values,
                         EdgeSlots slots, const uint8_t* source, uint8_t* destination,
                         int32_t width, int32_t height) {
  const uint32_t w = uint32_t(width), h = uint32_t(height), rowBytes = w * 4;
  const std::size_t pixels = std::size_t(w) * h;
  engine::OwnedPlane<uint8_t> alpha = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 1));
  engine::OwnedPlane<uint8_t> opaque = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 1));
  engine::OwnedPlane<uint8_t> alphaPicture =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  std::memset(opaque.get(), 255, pixels);
  // Colour with alpha made opaque, and alpha as an opaque grey picture of its own.
  std::memcpy(destination, source, pixels * 4);
  imaging::IS3SplitImage(source, w, h, rowBytes, 4, nullptr, nullptr, nullptr, alpha.get(), w);
  imaging::IS3CombineImageChannels(destination, w, h, rowBytes, 4, nullptr, nullptr, nullptr,
                                   opaque.get(), w);
  imaging::IS3CombineImageChannels(alphaPicture.get(), w, h, rowBytes, 4, alpha.get(), alpha.get(),
                                   alpha.get(), opaque.get(), w);

  if (!imaging::ISL_Initialize()) return false;
  FinishOnExit finish;
  if (!imaging::ISL_AddEffect(effectId, 1)) return false;
  for (const auto& [slot, value] : values)
    if (!imaging::ISL_SetEffectValue(0, slot, value)) return false;
  const Backgrounds b = BackgroundsOf(call);
  imaging::IS3RGBAToBGRA(destination, w, h, rowBytes);
  if (!Execute(destination, width, height, slots, b.edgeMode, b.colour) ||
      !Execute(alphaPicture.get(), width, height, slots, b.edgeMode, b.alpha))
    return false;
  imaging::IS3RGBAToBGRA(destination, w, h, rowBytes);
  // The moved alpha back beside the moved colour.
  imaging::IS3SplitImage(alphaPicture.get(), w, h, rowBytes, 4, alpha.get(), nullptr, nullptr,
                         nullptr, w);
  imaging::IS3CombineImageChannels(destination, w, h, rowBytes, 4, nullptr, nullptr, nullptr,
                                   alpha.get(), w);
  return true;
}

}  // namespace process
