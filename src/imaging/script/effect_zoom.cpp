// Effect 50, zoom: the picture enlarged or reduced about a centre. Slot 3 the zoom in percent
// (100 none, 200 twice as large), 4 and 5 the centre in percent of the width and height.
// Reductions average each pixel's footprint.
#include "imaging/script/effect_table.h"
#include "imaging/script/script_warp.h"

namespace imaging::script {

bool RunZoom(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const double zoom = values[3] / 100;
  const double cx = values[4] / 100 * picture.width, cy = values[5] / 100 * picture.height;
  if (!(zoom >= 0.01 && zoom <= 100) || !Finite({cx, cy})) return false;
  return WarpPictureInPlace(picture, values, [&](double x, double y, double* sx, double* sy) {
    *sx = cx + (x - cx) / zoom;
    *sy = cy + (y - cy) / zoom;
  });
}

}  // namespace imaging::script
