#include "process/effects/adjust_lab.h"

#include <memory>

#include "engine/colour_models.h"
#include "process/effects/colour_memo.h"
#include "process/effects/point_effect.h"

namespace process {

void AdjustLab(EffectContext& context) {
  const double dl = (context.slider1 - 0.5) * 200;
  const double da = (context.slider2 - 0.5) * 200;
  const double db = (context.slider3 - 0.5) * 200;
  auto shift = [=](int r, int g, int b, uint8_t out[3]) {
    double x, y, z;
    engine::RGBToXYZ(r, g, b, &x, &y, &z);
    engine::XYZToLab(x, y, z, &x, &y, &z);
    engine::LabToRGB(x + dl, y + da, z + db, &out[0], &out[1], &out[2]);
  };
  // Each band keeps a memo of its own.
  ForEachPixelBanded(context, 64, [&] {
    return [memo = std::make_shared<ColourMemo>(), &shift](const uint8_t* in, uint8_t* out) {
      const uint8_t alpha = in[3];
      uint8_t rgb[3];
      memo->Map(in, rgb, shift);
      out[0] = rgb[0], out[1] = rgb[1], out[2] = rgb[2], out[3] = alpha;
    };
  });
}

}  // namespace process
