#include "brush/texture_picture.h"

#include <new>

#include "brush/grit_windows.h"
#include "brush/picture_source.h"
#include "engine/heap.h"
#include "imaging/channels.h"
#include "imaging/overlay.h"

namespace brush {
namespace {

// A script's picture is repeated over a square of this side before the windows are cut from it,
// so that a small tile still gives windows at many places.
constexpr int32_t kTilingSide = 600;

// Repeats the tile from the top-left corner over a kTilingSide square; the last copies are cut at
// the square's edges.
engine::OwnedPlane<uint8_t> TilePicture(const RgbaPicture& tile) {
  auto tiled = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(kTilingSide, kTilingSide, 4));
  const uint32_t side = kTilingSide;
  for (int32_t x = 0; x < kTilingSide; x += tile.width) {
    for (int32_t y = 0; y < kTilingSide; y += tile.height) {
      imaging::IS3OverlayImage(tiled.get(), side, side, 4, side * 4, tile.pixels.get(),
                               uint32_t(tile.width), uint32_t(tile.height),
                               uint32_t(tile.width) * 4, x, y, 1.0, 0);
    }
  }
  return tiled;
}

// Grey of the picture in place (one byte a pixel, rows as wide as the picture), then the windows.
void CutWindowsFrom(uint8_t* rgba, int32_t width, int32_t height) {
  imaging::IS3ImageToGrayScale8Bit(rgba, uint32_t(width), uint32_t(height), uint32_t(width) * 4, 4,
                                   rgba, uint32_t(width));
  CutGritWindowsFromPicture(rgba, width, height);
}

}  // namespace

void LoadTextureWindows(const char* name) {
  try {
    RgbaPicture tile;
    if (PaintScriptPicture(name, &tile)) {
      // A script that gave no picture ends the texture here: the file route is not tried.
      if (!tile) return;
      engine::OwnedPlane<uint8_t> tiled = TilePicture(tile);
      CutWindowsFrom(tiled.get(), kTilingSide, kTilingSide);
      return;
    }
    RgbaPicture picture = ReadPictureFile(name);
    if (picture) CutWindowsFrom(picture.pixels.get(), picture.width, picture.height);
  } catch (const std::bad_alloc&) {
    // Without the memory for the texture the grit windows stay as they were.
  }
}

}  // namespace brush
