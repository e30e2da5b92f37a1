#include "brush/shape_picture.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "brush/picture_source.h"
#include "brush/tool_state.h"
#include "engine/engine_state.h"
#include "engine/heap.h"
#include "imaging/channels.h"
#include "imaging/resample.h"
#include "imaging/resample_kernels.h"
#include "imaging/thumbnail_resize.h"
#include "process/effects/run_own_effect.h"

namespace brush {
namespace {

constexpr uint32_t kLanczos3 = 8;

bool CacheHolds(const engine::ShapeImageCache& cache, const char* name, int32_t angle) {
  return cache.pixels && cache.angle == angle && std::strcmp(cache.name, name) == 0;
}

// Reuses the cached picture when it was loaded under the same name and angle; otherwise drops it
// and loads the name anew (the current builder tries a script first, the older one only files),
// turned by the angle. False when no picture could be had; the cache is then empty.
bool LoadShapePicture(const char* name, int32_t angle, ShapeBuilder builder) {
  engine::ShapeImageCache& cache = engine::State().shapeImageCache;
  if (CacheHolds(cache, name, angle)) return true;
  engine::ReleasePlane(cache.pixels);
  cache.width = cache.height = 0;

  RgbaPicture picture;
  // Once the runner has taken the name as a script, the file route is not tried, even when the
  // script gave no picture.
  const bool scripted = builder == ShapeBuilder::kCurrent && PaintScriptPicture(name, &picture);
  if (!scripted) picture = ReadPictureFile(name);
  if (!picture) return false;
  TurnPicture(picture, angle);

  cache.width = picture.width;
  cache.height = picture.height;
  cache.pixels = picture.pixels.release();
  cache.angle = angle;
  std::strcpy(cache.name, name);  // the caller has checked that it fits
  return true;
}

// The blur route: the picture smeared by "Value Blur", then brought to s x s. Along every scan a
// pixel darker than the one before it is left alone, and a brighter one keeps (100 - level) / 100
// of itself and takes the rest from its predecessor, so dark spreads into bright; a level of 100
// or more gives the smear no weight at all. The smear runs on a copy with the chain flag set, so
// it reads and writes the copy and the cache keeps the sharp picture.
bool BlurAndResample(const engine::ShapeImageCache& cache, int32_t level, int32_t s, uint8_t* out) {
  const int32_t w = cache.width, h = cache.height;
  engine::OwnedPlane<uint8_t> work = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  std::memcpy(work.get(), cache.pixels, engine::PlaneBytes(w, h, 4));
  process::OwnEffectArguments blur;
  blur.chain = 1;
  // Thousandths of the effect's second slider; levels above 100 give no weight, and levels far
  // out of range must not overflow on the way.
  blur.sliders[1] = static_cast<int32_t>(std::max<int64_t>((100 - int64_t{level}) * 10, INT32_MIN));
  if (!process::RunOwnEffectOnBuffers("Value Blur", cache.pixels, work.get(), w, h, blur)) {
    return false;
  }
  const uint32_t side = static_cast<uint32_t>(s);
  // Shrinking by decimation is for pictures wider than the brush. Decimation never enlarges, so a
  // wide picture lower than the brush is scaled instead: it still becomes an s x s picture
  // rather than no picture at all.
  if (s < w && s <= h) {
    return imaging::IS3DecimateImage(work.get(), w, h, w * 4, out, side, side, side * 4, 4, 1);
  }
  return imaging::IS3ResizeImage(work.get(), w, h, w * 4, out, side, side, side * 4, 4);
}

// Brings the cached picture to s x s RGBA32 in out, by the builder's own rules.
bool ResampleShapePicture(const engine::ShapeImageCache& cache, ShapeBuilder builder, int32_t s,
                          uint8_t* out) {
  const int32_t w = cache.width, h = cache.height;
  const int32_t level = brush::Tool().shapeBlurLevel;
  uint32_t method = 0;
  if (builder == ShapeBuilder::kOriginal) {
    method = std::min({w, h, s}) < 5 ? imaging::kFilterBicubic : kLanczos3;
  } else if (level > 0) {
    return BlurAndResample(cache, level, s, out);
  } else {
    method = s < w ? imaging::kFilterAreaAverage : kLanczos3;
  }
  const uint32_t side = static_cast<uint32_t>(s);
  return imaging::is5_ResizeImage(cache.pixels, w, h, w * 4, out, side, side, side * 4, 4, method,
                                  0) != 0;
}

// The grey of every pixel, x 256 and scaled, becomes its coverage: picture shapes peak at
// 65280 x shapeScale. Computed once per grey level; a scale outside 0..1 saturates instead of
// wrapping, as the circle does.
void StoreGreyAsCoverage(const uint8_t* grey, int32_t s) {
  engine::EngineState& state = engine::State();
  const double scale = brush::Tool().shapeScale;
  uint16_t coverage[256];
  for (int32_t g = 0; g < 256; ++g) {
    const double v = g * 256 * scale;  // truncated toward zero by the conversion
    coverage[g] = v > 0 ? (v < 65535 ? static_cast<uint16_t>(v) : uint16_t{65535}) : uint16_t{0};
  }
  for (int32_t y = 0; y < s; ++y) {
    const uint8_t* in = grey + std::size_t(y) * s;
    uint16_t* row = state.shapeBuffer + std::size_t(y) * state.maxBrushSize;
    for (int32_t x = 0; x < s; ++x) row[x] = coverage[in[x]];
  }
}

bool BuildFromPicture(const char* name, int32_t angle, ShapeBuilder builder) {
  engine::EngineState& state = engine::State();
  const std::size_t capacity = sizeof state.shapeImageCache.name;
  if (strnlen(name, capacity) == capacity) return false;  // too long to be cached: no picture
  if (!LoadShapePicture(name, angle, builder)) return false;
  ToolState& t = brush::Tool();
  const int32_t s = std::min(t.brushSize, state.maxBrushSize);
  // The current builder restarts the grit countdown whenever a picture reached resampling; the
  // older one only once its work picture is held.
  if (builder == ShapeBuilder::kCurrent) t.drawingCountdown = t.drawingLength;
  if (s < 1) return false;
  engine::OwnedPlane<uint8_t> out = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(s, s, 4));
  if (builder == ShapeBuilder::kOriginal) t.drawingCountdown = t.drawingLength;
  if (!ResampleShapePicture(state.shapeImageCache, builder, s, out.get())) return false;
  // Grey in place: each grey byte lands at or before the pixel it comes from.
  imaging::IS3ImageToGrayScale8Bit(out.get(), s, s, s * 4, 4, out.get(), s);
  StoreGreyAsCoverage(out.get(), s);
  return true;
}

}  // namespace

bool BuildPictureShape(const char* name, int32_t angle, ShapeBuilder builder) {
  try {
    return BuildFromPicture(name, angle, builder);
  } catch (const std::bad_alloc&) {
    // The shape falls back to the circle; the host still learns that memory ran out.
    engine::SetLastError("SetBrushShape Excpt");
    return false;
  }
}

}  // namespace brush
