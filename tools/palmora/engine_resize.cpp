#include "engine_resize.h"

#include "canvas.h"
#include "host_error.h"
#include "palmora/palmora.h"

namespace host {
namespace {

constexpr int kMaxCanvasSide = 10000;

}  // namespace

const std::vector<std::string>& ResizeFilterNames() {
  static const std::vector<std::string> names = {
      "Area Average", "Nearest Neighbor", "Bilinear", "Bicubic",  "Box",     "Triangle",
      "Hamming",      "Gaussian",         "Bell",     "B-Spline", "Cubic 1", "Cubic 2",
      "Lanczos3",     "Mitchell",         "Sinc",     "Hermite",  "Hanning", "Catrom"};
  return names;
}

DeepPicture ResizeWithEngine(const DeepPicture& picture, int width, int height,
                             const std::string& filter) {
  if (picture.width > kMaxCanvasSide || picture.height > kMaxCanvasSide)
    throw HostError("cannot resize a " + std::to_string(picture.width) + "×" +
                    std::to_string(picture.height) +
                    " picture: the engine's canvas takes at most " +
                    std::to_string(kMaxCanvasSide) + " pixels a side");
  Canvas canvas(picture.width, picture.height, 1);
  if (!PMR_SetRGBA64Layer(picture.rgba.data(), picture.width * 8, kPaintingLayer))
    throw HostError("cannot load the picture into the canvas");
  // The engine rebuilds every layer at the new size; the canvas itself is then made that size.
  PMR_IPLResize(width, height, filter.c_str());
  canvas.CheckEngine("resizing to " + std::to_string(width) + "×" + std::to_string(height));
  PMR_NewSize(nullptr, width, height, kMaxBrushSize, 0);
  canvas.CheckEngine("resizing the canvas");
  DeepPicture out{width, height,
                  std::vector<uint16_t>(std::size_t(width) * std::size_t(height) * 4)};
  if (!PMR_GetRGBA64Layer(out.rgba.data(), width * 8, kPaintingLayer))
    throw HostError("cannot read the resized picture");
  return out;
}

}  // namespace host
