#include "process/recipes/light_recipes.h"

#include <algorithm>

#include "imaging/contrast_mask.h"
#include "imaging/gaussian_blur.h"
#include "imaging/transforms.h"
#include "engine/alpha_filters.h"
#include "process/library/slider_scales.h"
#include "process/photo_pop.h"
#include "process/recipes/recipe_steps.h"
#include "process/relief_script.h"
#include "render/merge_mode_names.h"

namespace process {

namespace {

using recipe::Buffers;

// The refreshed source blurred by a Gaussian of percent slider 1 x 0.4 + 0.6 pixels into the
// destination, with colour weighed by alpha around the blur so that clear pixels lend no colour.
bool SoftCopy(const EffectCall& call, const Buffers& b) {
  recipe::Refresh();
  engine::AdjustRGBA32PreFilter(b.source, b.width, b.height);
  const double radius = std::clamp(double(call.Percent(1)), 0.0, 100.0) * 0.4 + 0.6;
  if (!imaging::is5_GaussianBlurImage(b.source, uint32_t(b.width), uint32_t(b.height), 4,
                                      b.rowBytes(), b.destination, b.rowBytes(), radius, 15))
    return false;
  engine::AdjustRGBA32PostFilter(b.destination, b.width, b.height);
  return true;
}

// The contrast mask of the refreshed source (its grey inverted and blurred by radius pixels)
// in the destination.
bool ContrastMaskInDestination(const Buffers& b, double radius) {
  recipe::Refresh();
  return imaging::ISE40_ContrastMaskImage(b.source, uint32_t(b.width), uint32_t(b.height), 4,
                                          b.rowBytes(), b.destination, b.rowBytes(), radius) != 0;
}

void PhotoPopSteps(const EffectCall& call, int32_t extraPass) {
  PhotoPop(std::clamp(call.sliders[0], 0, 1000), Fraction(call, 2) * 100, extraPass);
}

}  // namespace

// The inverse smeared along the shapes and subtracted: subtracting works against the source's
// complement (d + s - 1), so the layer becomes what it has above its own smear, the light side
// of every edge, on black.
void GlowRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  if (!recipe::Own("Invert", recipe::Arguments(0))) return;
  OwnEffectArguments smear = recipe::Arguments(1);
  smear.sliders[0] = call.sliders[0];
  smear.sliders[1] = call.sliders[1];
  if (!recipe::Own("Value Blur", smear)) return;
  recipe::Merge(b, b.destination, render::kModeSubtract, 255);
}

void RadiantRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !SoftCopy(call, b)) return;
  recipe::Merge(b, b.destination, render::kModeOverlay, recipe::Opacity(call, 2, 2.5));
}

void Radiant2Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !SoftCopy(call, b)) return;
  recipe::Merge(b, b.destination, render::kModeScreen, recipe::Opacity(call, 2, 2.5));
}

// The mask in overlay: where the picture is light the mask is dark and holds it back, where it
// is dark the mask is light and opens it; a mid-grey mask changes nothing. Blur 1..51 pixels.
void ContrastMaskRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !ContrastMaskInDestination(b, 1 + Fraction(call, 1) * 50)) return;
  recipe::Merge(b, b.destination, render::kModeOverlay, recipe::Opacity(call, 2, 2.55));
}

void PhotoPopRecipe(const EffectCall& call) {
  Buffers b;
  if (recipe::Usable(&b)) PhotoPopSteps(call, call.options[2] == 1 ? 1 : 0);
}

// Photo Pop, then a contrast mask of 1..31 pixels in soft light: broad light and shade are
// evened out while detail smaller than the blur keeps its contrast, so it stands out.
void PhotoDetailerRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  PhotoPopSteps(call, 0);
  if (!ContrastMaskInDestination(b, 1 + Fraction(call, 3) * 30)) return;
  recipe::Merge(b, b.destination, render::kModeSoftLight, recipe::Opacity(call, 4, 2.55));
}

// A grey relief lit from 30 degrees up, where flat ground is exactly mid-grey, laid over the
// picture in overlay: flat areas keep their colour, slopes to the light brighten, others darken.
void Emboss3Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  if (!recipe::Own("Grayscale", recipe::Arguments(0))) return;
  ReliefLight light;
  light.depth = Fraction(call, 1) * 80;
  light.direction = Fraction(call, 2) * 360;
  light.height = 30;
  if (!EmbossPixels(b.destination, b.width, b.height, light)) return;
  recipe::Merge(b, b.destination, render::kModeOverlay, recipe::Opacity(call, 3, 2.55));
}

// The layer's shape filled with the shadow colour, softened, moved by the offsets (up to a
// quarter of the canvas's longer side either way; 50 % is no move) and laid under the layer:
// its alpha is cut where the layer already covers, so that only the clear parts show it.
void DropShadowRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  recipe::Refresh();
  engine::OwnedPlane<uint8_t> shadow = recipe::Scratch(b);
  const std::size_t count = std::size_t(b.width) * std::size_t(b.height);
  const uint8_t ink[3] = {uint8_t(call.red), uint8_t(call.green), uint8_t(call.blue)};
  for (std::size_t i = 0; i < count; ++i) {
    uint8_t* s = shadow.get() + 4 * i;
    s[0] = ink[0], s[1] = ink[1], s[2] = ink[2], s[3] = b.source[4 * i + 3];
  }
  const uint32_t w = uint32_t(b.width), h = uint32_t(b.height);
  if (!imaging::is5_GaussianBlurImage(shadow.get(), w, h, 4, b.rowBytes(), b.destination,
                                      b.rowBytes(), 0.5 + Fraction(call, 4) * 20, 8))
    return;
  const double reach = 0.5 * std::max(b.width, b.height);
  const double dx = (Fraction(call, 1) - 0.5) * reach, dy = (Fraction(call, 2) - 0.5) * reach;
  if (!imaging::is5_ClearAllTransforms() ||
      !imaging::is5_AddOffsetTransform(w, h, dx, dy, imaging::kEdgeFill) ||
      !imaging::is5_TransformProcess(b.destination, w, h, 4, b.rowBytes(), shadow.get(),
                                     b.rowBytes(), 1, 0, 0))
    return;
  const uint32_t opacity = uint32_t(Scaled(call, 3, 2.55));
  for (std::size_t i = 0; i < count; ++i) {
    uint8_t& a = shadow.get()[4 * i + 3];
    a = uint8_t(a * opacity / 255 * (255 - b.source[4 * i + 3]) / 255);
  }
  recipe::Merge(b, shadow.get(), render::kModeNormal, 255);
}

}  // namespace process
