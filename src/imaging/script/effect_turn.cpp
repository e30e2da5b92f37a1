// Effect 51, turn: turns the picture in place about its centre by the angle in slot 3 (degrees,
// anticlockwise as seen), scaled by slot 4 (percent). What turns out of the frame is lost; the
// corners left uncovered take the background of slot 6.
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/geometry.h"
#include "imaging/script/effect_random.h"
#include "imaging/script/effect_table.h"

namespace imaging::script {

bool RunTurn(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double degrees = values[3], zoom = values[4] / 100.0;
  const double quality = values[5];
  if (!std::isfinite(degrees) || !(zoom > 0.0) || !(quality >= 0 && quality <= 2)) return false;
  const size_t rowBytes = size_t{picture.width} * 4;
  std::vector<uint8_t> source(picture.pixels, picture.pixels + rowBytes * picture.height);
  return RotateInFrame(source.data(), picture.width, picture.height, 4,
                       static_cast<uint32_t>(rowBytes), picture.pixels,
                       static_cast<uint32_t>(rowBytes), degrees, zoom, BitsFromValue(values[6]),
                       static_cast<uint32_t>(quality)) != 0;
}

}  // namespace imaging::script
