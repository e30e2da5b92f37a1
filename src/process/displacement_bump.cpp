#include "process/displacement_bump.h"

#include <algorithm>
#include <cstring>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/channels.h"
#include "imaging/overlay.h"
#include "imaging/picture_script.h"
#include "imaging/transforms.h"
#include "engine/alpha_filters.h"
#include "process/effects/effect_frame.h"
#include "engine/processing_buffers.h"

namespace process {

namespace {

struct FinishScriptOnExit {
  ~FinishScriptOnExit() { imaging::ISL_Finish(); }
};

// Paints the script and repeats its picture over the canvas-sized block, fully opaque. False
// when the script cannot be read or run.
bool TileScriptPicture(const char* path, uint8_t* tiled, int32_t width, int32_t height) {
  if (!path || !imaging::ISL_Initialize()) return false;
  FinishScriptOnExit finish;
  imaging::ScriptHeader header{};
  if (!imaging::ISL_LoadScriptFromFile(path) || !imaging::ISL_InitBuffers() ||
      !imaging::ISL_ReadScriptHeaderFromFile(path, &header) || header.width == 0 ||
      header.height == 0)
    return false;
  engine::OwnedPlane<uint8_t> tile =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(header.width, header.height, 4));
  if (!imaging::ISL_ExecuteScript(tile.get(), header.width, header.height)) return false;
  imaging::IS3RGBAToBGRA(tile.get(), header.width, header.height, header.width * 4);
  std::memset(tiled, 0, engine::PlaneBytes(width, height, 4));
  for (int64_t y = 0; y < height; y += header.height)
    for (int64_t x = 0; x < width; x += header.width)
      imaging::IS3OverlayImage(tiled, width, height, 4, width * 4, tile.get(), header.width,
                               header.height, header.width * 4, int32_t(x), int32_t(y), 1.0, 0);
  const std::size_t pixels = std::size_t(width) * height;
  for (std::size_t i = 0; i < pixels; ++i) tiled[i * 4 + 3] = 255;
  return true;
}

}  // namespace

void DisplacementBump(const char* scriptPath, double amount, uint32_t fillColour) {
  uint8_t* source = engine::UsableSrcBuffer32();
  uint8_t* destination = engine::UsableDstBuffer32();
  if (!source || !destination) return;
  const engine::EngineState& s = engine::State();
  const int32_t w = s.canvasWidth, h = s.canvasHeight;
  engine::OwnedPlane<uint8_t> tiled = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  if (!TileScriptPicture(scriptPath, tiled.get(), w, h)) return;
  engine::OwnedPlane<uint8_t> grey = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 1));
  if (!imaging::IS3ImageToGrayScale8Bit(tiled.get(), w, h, w * 4, 4, grey.get(), w)) return;
  imaging::is5_ClearAllTransforms();
  if (!imaging::is5_AddBumpMapDisplacementTransform(w, h, static_cast<float>(amount), grey.get(), w,
                                                    h))
    return;
  if (!imaging::is5_TransformProcess(source, w, h, 4, w * 4, destination, w * 4, 1, fillColour, 0))
    return;
  engine::AdjustRGBA32PostFilter(destination, w, h);
  LoadDestinationIntoCurrentLayer(destination, w * 4);
}

}  // namespace process
