#include "process/script/script_file_effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "render/composite_rgba32_into_layer.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_load_rgb24.h"
#include "engine/layer_stack.h"
#include "imaging/channels.h"
#include "imaging/detail_filters.h"
#include "imaging/overlay.h"
#include "imaging/picture_script.h"
#include "imaging/resample.h"
#include "imaging/tone_filters.h"
#include "mask/mask_alpha.h"
#include "engine/alpha_filters.h"
#include "process/displacement_bump.h"
#include "process/effects/effect_context.h"
#include "process/effects/effect_frame.h"
#include "engine/processing_buffers.h"
#include "process/script/script_effect_run.h"

namespace process {
namespace {

struct FinishScriptOnExit {
  ~FinishScriptOnExit() { imaging::ISL_Finish(); }
};

// Resampling filters: the smoothing one when a picture shrinks, the sharper one otherwise.
constexpr uint32_t kShrinkFilter = 15, kGrowFilter = 8;
// The largest tile side; a larger slider would only show the tile's corner.
constexpr int64_t kLargestTileSide = 16384;

struct Tile {
  engine::OwnedPlane<uint8_t> pixels;  // RGBA32
  int32_t width = 0, height = 0;
};

// Paints the script file into a picture of its own size, red first. False when the file is
// missing, unreadable or malformed, or a step fails.
bool PaintScript(const char* path, Tile& picture) {
  if (!path || !imaging::ISL_Initialize()) return false;
  const FinishScriptOnExit finish;
  imaging::ScriptHeader header{};
  if (!imaging::ISL_LoadScriptFromFile(path) || !imaging::ISL_InitBuffers() ||
      !imaging::ISL_ReadScriptHeaderFromFile(path, &header) || header.width == 0 ||
      header.height == 0)
    return false;
  const uint32_t w = header.width, h = header.height;
  picture.pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  picture.width = int32_t(w), picture.height = int32_t(h);
  if (!imaging::ISL_ExecuteScript(picture.pixels.get(), w, h)) return false;
  // The runner paints blue first; the layers hold red first.
  imaging::IS3RGBAToBGRA(picture.pixels.get(), w, h, w * 4);
  return true;
}

// The tile size for a picture side: truncated, and at least one pixel, so that tiling always
// steps forward (a size of 0 % would otherwise never leave the first tile).
int32_t TileSide(int32_t side, double percent) {
  return int32_t(std::clamp<int64_t>(Trunc(side * percent * 0.01), 1, kLargestTileSide));
}

// Paints the script file and scales its picture by the tile-size percent.
bool PaintTile(const char* path, double percent, bool inverted, Tile& tile) {
  Tile painted;
  if (!PaintScript(path, painted)) return false;
  const uint32_t w = uint32_t(painted.width), h = uint32_t(painted.height);
  if (inverted &&
      !imaging::ISE3InvertImage(painted.pixels.get(), w, h, w * 4, painted.pixels.get(), w * 4))
    return false;
  tile.width = TileSide(painted.width, percent), tile.height = TileSide(painted.height, percent);
  tile.pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(tile.width, tile.height, 4));
  const bool shrinking = int64_t(tile.width) * tile.height < int64_t(w) * h;
  return imaging::is5_ResizeImage(painted.pixels.get(), w, h, w * 4, tile.pixels.get(), tile.width,
                                  tile.height, tile.width * 4, 4,
                                  shrinking ? kShrinkFilter : kGrowFilter, 0) != 0;
}

// Lays the tile over a canvas-sized RGBA32 block at every multiple of its size from (0, 0).
void RepeatTile(const Tile& tile, uint8_t* block, int32_t width, int32_t height) {
  for (int64_t y = 0; y < height; y += tile.height)
    for (int64_t x = 0; x < width; x += tile.width)
      imaging::IS3OverlayImage(block, width, height, 4, width * 4, tile.pixels.get(), tile.width,
                               tile.height, tile.width * 4, int32_t(x), int32_t(y), 1.0, 0);
}

void MakeOpaque(uint8_t* block, int32_t width, int32_t height) {
  const std::size_t pixels = std::size_t(width) * height;
  for (std::size_t i = 0; i < pixels; ++i) block[i * 4 + 3] = 255;
}

// The tiled relief as one grey byte a canvas pixel.
engine::OwnedPlane<uint8_t> GreyRelief(const Tile& tile, int32_t width, int32_t height) {
  engine::OwnedPlane<uint8_t> tiled =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
  std::memset(tiled.get(), 0, engine::PlaneBytes(width, height, 4));
  RepeatTile(tile, tiled.get(), width, height);
  engine::OwnedPlane<uint8_t> grey =
      engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 1));
  if (!imaging::IS3ImageToGrayScale8Bit(tiled.get(), width, height, width * 4, 4, grey.get(),
                                        width))
    return nullptr;
  return grey;
}

// Repeats the tile over the source buffer, opaque, and writes it into the layer through the
// mask and the texture.
void RepeatOverLayer(const Tile& tile, const CanvasBuffers32& b) {
  RepeatTile(tile, b.source, b.width, b.height);
  MakeOpaque(b.source, b.width, b.height);
  LoadDestinationIntoCurrentLayer(b.source, b.width * 4);
}

// The distortions a pattern may pass its picture through: none, then the runner's turn, waves,
// sine distortion, twirl, tilt and kaleidoscope.
constexpr uint32_t kPatternDistortions[] = {0, 51, 16, 13, 6, 54, 49};
constexpr int32_t kDistortionCount = int32_t(std::size(kPatternDistortions));

// The script's picture through one distortion (its value slot 3), scaled bicubically to the tile
// size and repeated over the layer.
void PatternOverLayer(const EffectCall& call, int32_t distortion, double value) {
  CanvasBuffers32 b;
  if (!UsableProcessingBuffers32(&b)) return;
  Tile picture;
  if (!PaintScript(call.text, picture)) return;
  const uint32_t effect = kPatternDistortions[std::clamp(distortion, 0, kDistortionCount - 1)];
  // A turn is zoomed just enough to cover the frame, so that no corner is left empty.
  constexpr uint32_t kTurn = 51;
  const double radians = value * 3.14159265358979323846 / 180;
  const double cover = 100 * (std::fabs(std::cos(radians)) + std::fabs(std::sin(radians)));
  uint8_t* pixels = picture.pixels.get();
  if (effect == kTurn &&
      !RunScriptEffect(effect, {{3, value}, {4, cover}}, pixels, picture.width, picture.height))
    return;
  if (effect != 0 && effect != kTurn &&
      !RunScriptEffect(effect, {{3, value}}, pixels, picture.width, picture.height))
    return;
  Tile tile;
  tile.width = TileSide(picture.width, call.Percent(1));
  tile.height = TileSide(picture.height, call.Percent(1));
  tile.pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(tile.width, tile.height, 4));
  if (!imaging::IS3ResizeImageBicubic(picture.pixels.get(), picture.width, picture.height,
                                      picture.width * 4, tile.pixels.get(), tile.width, tile.height,
                                      tile.width * 4, 4))
    return;
  RepeatOverLayer(tile, b);
}

}  // namespace

void PatternizerBody(const EffectCall& call) {
  PatternOverLayer(call, call.options[2], double(call.scriptValue));
}

void PatternExplorerBody(const EffectCall& call) {
  // The seed picks the distortion and its value, so that stepping the seed explores patterns:
  // the engine's generator x <- x * 214013 + 2531011, its bits 16..30 a draw.
  uint32_t x = uint32_t(call.options[0]);
  const auto draw = [&x] {
    x = x * 214013u + 2531011u;
    return int32_t((x >> 16) & 0x7FFF);
  };
  const int32_t distortion = 1 + draw() % (kDistortionCount - 1);
  const double value = draw() % 361 - 180;
  PatternOverLayer(call, distortion, value);
}

void BackgroundsBody(const EffectCall& call) {
  CanvasBuffers32 b;
  if (!UsableProcessingBuffers32(&b)) return;
  Tile tile;
  if (!PaintTile(call.text, call.Percent(1), false, tile)) return;
  RepeatOverLayer(tile, b);
}

void TexturizeEmbossBody(const EffectCall& call) {
  CanvasBuffers32 b;
  if (!UsableProcessingBuffers32(&b)) return;
  Tile tile;
  if (!PaintTile(call.text, call.Percent(1), call.options[2] == 1, tile)) return;
  const int32_t w = b.width, h = b.height;
  const engine::OwnedPlane<uint8_t> grey = GreyRelief(tile, w, h);
  if (!grey) return;
  // The grey relief as RGB, embossed: 128 where it is flat, lighter on slopes that face the light.
  engine::OwnedPlane<uint8_t> relief = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 3));
  const std::size_t pixels = std::size_t(w) * h;
  for (std::size_t i = 0; i < pixels; ++i)
    relief[i * 3] = relief[i * 3 + 1] = relief[i * 3 + 2] = grey[i];
  const double depth = call.Percent(2) * 0.1, angle = call.Percent(3) * 3.6;
  if (!imaging::IS3EmbossRGB(relief.get(), w, h, w * 3, relief.get(), w * 3, angle, depth)) return;
  // Pressed into the layer's colours on the 24-bit route, which keeps the layer's alpha.
  engine::AllocSrcBuffer24();
  const engine::ProcessingBuffers& pb = engine::State().processingBuffers;
  if (!pb.src24) return;
  for (std::size_t i = 0; i < pixels * 3; ++i)
    pb.src24[i] = ClampTruncByte(double(pb.src24[i]) + double(relief[i]) - 128.0);
  engine::LoadRGB24(pb.src24, w * 3, 1);
}

void TexturizeBumpBody(const EffectCall& call) {
  CanvasBuffers32 b;
  engine::LayerRecord* layer = engine::State().currentLayer;
  if (!UsableProcessingBuffers32(&b) || !layer || !engine::IsCanvasSized(layer)) return;
  Tile tile;
  if (!PaintTile(call.text, call.Percent(1), call.options[3] == 1, tile)) return;
  const int32_t w = b.width, h = b.height;
  const engine::OwnedPlane<uint8_t> grey = GreyRelief(tile, w, h);
  if (!grey) return;
  // A grey relief centred on mid-grey, so that overlaying it leaves flat parts of the layer as
  // they are; lit by the bump effect; then overlaid on the layer where the mask lets it through.
  const std::size_t pixels = std::size_t(w) * h;
  uint64_t sum = 0;
  for (std::size_t i = 0; i < pixels; ++i) sum += grey[i];
  const int32_t shift = 128 - int32_t(sum / pixels);
  engine::OwnedPlane<uint8_t> lit = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  for (std::size_t i = 0; i < pixels; ++i) {
    const uint8_t v = uint8_t(std::clamp(grey[i] + shift, 0, 255));
    lit[i * 4] = lit[i * 4 + 1] = lit[i * 4 + 2] = v;
    lit[i * 4 + 3] = 255;
  }
  if (!RunScriptEffect(27, {{1, call.Percent(2) * 4}, {2, call.Percent(3) * 3.6}}, lit.get(), w, h))
    return;
  mask::ApplyMaskToAlpha_RGBA32(lit.get());
  constexpr int32_t kOverlay = 8;
  const int32_t opacity = std::clamp(Trunc(call.Percent(4) * 2.56), 0, 256);
  render::CompositeRGBA32IntoLayer(lit.get(), layer->pixels, kOverlay, 0, opacity,
                                   layer->alphaLock);
}

void DisplacementBumpBody(const EffectCall& call) {
  CanvasBuffers32 b;
  if (!UsableProcessingBuffers32(&b)) return;
  engine::UpdateSrcBuffer32();
  engine::AdjustRGBA32PreFilter(b.source, b.width, b.height);
  DisplacementBump(call.text, call.Percent(1), call.Colour());
}

}  // namespace process
