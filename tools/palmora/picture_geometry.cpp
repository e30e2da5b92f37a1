#include "picture_geometry.h"

#include <algorithm>
#include <string>

#include "host_error.h"

namespace host {
namespace {

DeepPicture Blank(int width, int height) {
  return {width, height, std::vector<uint16_t>(std::size_t(width) * std::size_t(height) * 4)};
}

const uint16_t* PixelAt(const DeepPicture& p, int x, int y) {
  return &p.rgba[(std::size_t(y) * std::size_t(p.width) + std::size_t(x)) * 4];
}
uint16_t* PixelAt(DeepPicture& p, int x, int y) {
  return &p.rgba[(std::size_t(y) * std::size_t(p.width) + std::size_t(x)) * 4];
}

// One quarter turn clockwise: the left column becomes the top row.
DeepPicture TurnOnce(const DeepPicture& in) {
  DeepPicture out = Blank(in.height, in.width);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x)
      std::copy_n(PixelAt(in, x, y), 4, PixelAt(out, in.height - 1 - y, x));
  return out;
}

}  // namespace

DeepPicture Crop(const DeepPicture& picture, const Area& area) {
  // Compared in 64 bits: x + width of two large values must not wrap.
  if (area.x < 0 || area.y < 0 || area.width < 1 || area.height < 1 ||
      int64_t{area.x} + area.width > picture.width ||
      int64_t{area.y} + area.height > picture.height)
    throw HostError("--crop " + std::to_string(area.x) + "," + std::to_string(area.y) + "," +
                    std::to_string(area.width) + "," + std::to_string(area.height) +
                    " reaches outside the " + std::to_string(picture.width) + "×" +
                    std::to_string(picture.height) + " picture");
  DeepPicture out = Blank(area.width, area.height);
  for (int y = 0; y < area.height; ++y)
    std::copy_n(PixelAt(picture, area.x, area.y + y), std::size_t(area.width) * 4,
                PixelAt(out, 0, y));
  return out;
}

DeepPicture TurnClockwise(const DeepPicture& picture, int quarterTurns) {
  DeepPicture out = picture;
  for (int i = 0; i < quarterTurns; ++i) out = TurnOnce(out);
  return out;
}

DeepPicture Mirror(const DeepPicture& picture, bool horizontal) {
  DeepPicture out = Blank(picture.width, picture.height);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      std::copy_n(PixelAt(picture, x, y), 4,
                  horizontal ? PixelAt(out, picture.width - 1 - x, y)
                             : PixelAt(out, x, picture.height - 1 - y));
  return out;
}

}  // namespace host
