#include "brush/picture_source.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "imaging/channels.h"
#include "imaging/file_handles.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_script.h"

namespace brush {
namespace {

// The script runner's turn effect and its value slots: the angle in degrees and the zoom in
// percent.
constexpr uint32_t kTurnEffect = 51;
constexpr uint32_t kTurnAngleSlot = 3;
constexpr uint32_t kTurnZoomSlot = 4;

struct FinishScriptSession {
  ~FinishScriptSession() { imaging::ISL_Finish(); }
};

// An empty picture for an empty size or one whose byte count passes the 32-bit sizes that the
// library's calls take; std::bad_alloc when the engine heap cannot hold it.
RgbaPicture AllocatePicture(uint32_t width, uint32_t height) {
  RgbaPicture picture;
  if (width == 0 || height == 0 || uint64_t{width} * height * 4 > INT32_MAX) return picture;
  picture.pixels = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(width, height, 4));
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  return picture;
}

}  // namespace

bool PaintScriptPicture(const char* name, RgbaPicture* picture) {
  if (!imaging::ISL_Initialize()) return false;
  FinishScriptSession finish;
  if (!imaging::ISL_LoadScriptFromFile(name)) return false;
  imaging::ScriptHeader header{};
  if (!imaging::ISL_InitBuffers() || !imaging::ISL_ReadScriptHeaderFromFile(name, &header)) {
    return true;
  }
  RgbaPicture painted = AllocatePicture(header.width, header.height);
  if (!painted) return true;
  // A script that fails to run leaves no picture rather than whatever the block held.
  if (!imaging::ISL_ExecuteScript(painted.pixels.get(), header.width, header.height)) return true;
  // The runner paints blue first; the engine's pictures are red first.
  imaging::IS3RGBAToBGRA(painted.pixels.get(), header.width, header.height, header.width * 4);
  *picture = std::move(painted);
  return true;
}

RgbaPicture ReadPictureFile(const char* name) {
  imaging::ISSource source = imaging::IS3OpenFileSource(name);
  if (!source) return {};
  uint32_t width = 0, height = 0;
  uint8_t* block = imaging::IS3ReadImageToRGBA(source, &width, &height, 0);
  imaging::IS3CloseSource(source);
  if (!block) return {};
  const std::unique_ptr<uint8_t, decltype(&std::free)> library(block, &std::free);
  RgbaPicture picture = AllocatePicture(width, height);
  if (picture) std::memcpy(picture.pixels.get(), block, std::size_t{width} * height * 4);
  return picture;
}

void TurnPicture(const RgbaPicture& picture, int32_t angle) {
  if (picture) TurnPixels(picture.pixels.get(), picture.width, picture.height, angle);
}

bool TurnPixels(uint8_t* pixels, int32_t width, int32_t height, int32_t angle) {
  if (!pixels || width <= 0 || height <= 0 || !imaging::ISL_Initialize()) return false;
  FinishScriptSession finish;
  if (!imaging::ISL_AddEffect(kTurnEffect, 1)) return false;
  imaging::ISL_SetEffectValue(0, kTurnAngleSlot, angle);
  imaging::ISL_SetEffectValue(0, kTurnZoomSlot, 100);
  return imaging::ISL_ExecuteScriptOnImage(pixels, uint32_t(width), uint32_t(height)) != 0;
}

}  // namespace brush
