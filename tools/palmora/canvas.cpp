#include "canvas.h"

#include "effect_checks.h"
#include "host_error.h"
#include "palmora/palmora.h"

namespace host {
namespace {

// The undo history is bounded in steps and in memory: a long replay keeps its last hundred
// strokes and effects (or as many as 64 MiB hold; a whole-canvas step of a 1920 x 1080 sheet
// takes about 20 MiB), not everything up to a quarter of a gigabyte.
constexpr int kUndoSteps = 100;
constexpr int kUndoMegabytes = 64;

// The engine keeps its last error until something overwrites it; the host empties it before a
// step so that any text afterwards belongs to that step.
void ForgetLastError() { PMR_SetLastError(""); }

}  // namespace

Canvas::Canvas(int width, int height, uint32_t seed) : width_(width), height_(height) {
  ForgetLastError();
  PMR_IPLInit(0);
  PMR_SetRandomSeed(seed);
  PMR_CreateImage(nullptr, width, height, kMaxBrushSize, 0);
  CheckEngine("creating a " + std::to_string(width) + "×" + std::to_string(height) + " canvas");
  if (!PMR_CreateLayer(kPaperLayer, width, height) ||
      !PMR_CreateLayer(kPaintingLayer, width, height))
    throw HostError("cannot create the layers of a " + std::to_string(width) + "×" +
                    std::to_string(height) + " canvas (out of memory)");
  PMR_SetLayerOptions(kPaperLayer, 1, 0, 100, "Normal");
  PMR_SetLayerOptions(kPaintingLayer, 1, 0, 100, "Normal");
  PMR_SetUndoLevels(kUndoSteps);
  PMR_SetUndoMB(kUndoMegabytes);
  PMR_SetLayer(kPaintingLayer);
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  CheckEngine("setting up the canvas");
}

Canvas::~Canvas() {
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
  PMR_DeleteImage();
  PMR_IPLExit();
}

void Canvas::CheckEngine(const std::string& what) const {
  const char* error = PMR_GetLastError();
  if (error && error[0]) {
    const std::string message = error;
    ForgetLastError();
    throw HostError(what + " failed: " + message);
  }
}

void Canvas::LoadPainting(const Picture& picture) {
  ForgetLastError();
  if (!PMR_LoadRGBA32Layer(picture.rgba.data(), picture.width * 4, kPaintingLayer, 0, 0,
                           picture.width, picture.height, 0))
    throw HostError("cannot load the picture into the canvas");
  // The loaded picture is where the history starts: undo never goes back past it.
  PMR_SaveUndoBackBuffer(kPaintingLayer);
  CheckEngine("loading the picture");
}

void Canvas::ShowPaper(bool visible) {
  PMR_SetLayerOptions(kPaperLayer, visible ? 1 : 0, 0, 100, "Normal");
}

void Canvas::SavePage(const std::string& path, int dpi) const {
  const std::string extension = WriterExtension(path);
  if (path == "-" || !PageSaverTakes(extension)) {
    WritePicture(path, MergedPage(), dpi);
    return;
  }
  // The engine writes the page band by band, never holding it whole.
  WriteThroughTemporary(path, [&](const char* temporary) {
    return KeepsAlpha(extension) ? PMR_SavePageToFileRGB32(temporary, extension.c_str(), dpi)
                                 : PMR_SavePageToFileRGB24(temporary, extension.c_str(), dpi);
  });
}

Picture Canvas::MergedPage() const {
  std::vector<uint16_t> page(std::size_t(width_) * std::size_t(height_) * 4);
  PMR_Merge(page.data());
  Picture picture{width_, height_, std::vector<uint8_t>(page.size())};
  PMR_GetRGBA32FromRGBA64(picture.rgba.data(), width_ * 4, width_, height_, page.data(),
                          width_ * 8);
  return picture;
}

Picture Canvas::PaintingLayer() const {
  Picture picture{width_, height_, std::vector<uint8_t>(std::size_t(width_) * height_ * 4)};
  if (!PMR_GetRGBA32Layer(picture.rgba.data(), width_ * 4, kPaintingLayer))
    throw HostError("cannot read the painting layer");
  return picture;
}

void Canvas::RunEffect(const EffectArguments& e) {
  if (!IsKnownEffect(e.name)) throw HostError("unknown effect '" + e.name + "'");
  CheckEffectText(e.name, e.text);
  ForgetLastError();
  // The dispatcher reads the layer through the 32-bit buffers; allocating refreshes the source.
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  {
    ScriptErrorCatcher scriptErrors;
    PMR_IPLImageProcess(0, e.name.c_str(), e.scriptValue, e.sliders[0], e.sliders[1], e.sliders[2],
                        e.sliders[3], e.sliders[4], e.sliders[5], e.options[0], e.options[1],
                        e.options[2], e.options[3], e.options[4], e.options[5], e.options[6],
                        e.options[7], e.red, e.green, e.blue, e.text.c_str());
    if (!scriptErrors.error().empty())
      throw HostError("effect '" + e.name + "': " + scriptErrors.error());
  }
  CheckEngine("effect '" + e.name + "'");
  PMR_SaveUndoBuffer(1, 0);
  CheckEngine("saving the undo step of '" + e.name + "'");
}

bool IsKnownEffect(const std::string& name) {
  for (int32_t i = 0; const char* known = PMR_IPLGetEffectName(i); ++i)
    if (name == known) return true;
  return false;
}

std::vector<std::string> EffectNames() {
  std::vector<std::string> names;
  for (int32_t i = 0; const char* known = PMR_IPLGetEffectName(i); ++i) names.emplace_back(known);
  return names;
}

}  // namespace host
