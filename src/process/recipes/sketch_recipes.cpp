#include "process/recipes/sketch_recipes.h"

#include <algorithm>

#include "imaging/gaussian_blur.h"
#include "process/library/slider_scales.h"
#include "process/recipes/recipe_steps.h"
#include "process/relief_script.h"
#include "render/merge_mode_names.h"

namespace process {

namespace {

using recipe::Buffers;

// The light straight above the relief: flat ground stays white and every slope darkens by its
// steepness, whichever way it faces, which draws the picture's edges as lines.
ReliefLight OutlineLight(double depth) {
  ReliefLight light;
  light.depth = depth;
  light.direction = 180;
  light.height = 90;
  light.look = 0;
  return light;
}

// The grey picture's outlines in the destination buffer: grey, then lit from straight above.
bool OutlinesInDestination(const EffectCall& call, const Buffers& b) {
  OwnEffectArguments grey = recipe::Arguments(0);
  grey.options[0] = call.options[0];
  recipe::Refresh();
  if (!recipe::Own("Grayscale", grey)) return false;
  return EmbossPixels(b.destination, b.width, b.height, OutlineLight(Fraction(call, 1) * 100));
}

}  // namespace

// The grey picture goes into the layer; its inverse, smeared along the shapes by Value Blur, is
// laid over it in dodge mode: flat areas burn out to paper white, while the smear lets the
// darks show through along the edges as strokes.
void CharcoalRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  OwnEffectArguments grey = recipe::Arguments(0);
  grey.options[0] = call.options[0];
  if (!recipe::Own("Grayscale", grey)) return;
  recipe::WriteBack(b, b.destination);
  recipe::Refresh();
  if (!recipe::Own("Invert", grey)) return;
  OwnEffectArguments smear = recipe::Arguments(1);
  smear.sliders[0] = call.sliders[0];
  smear.sliders[1] = call.sliders[1];
  if (!recipe::Own("Value Blur", smear)) return;
  recipe::Merge(b, b.destination, render::kModeDodge, 255);
}

// As Charcoal, but the grey picture never reaches the layer: the inverted grey lit from straight
// above is white on flat ground and darker on slopes, and dodging the coloured layer with it
// leaves colour only along the edges.
void ColorPencil2Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  if (!recipe::Own("Grayscale", recipe::Arguments(0))) return;
  if (!recipe::Own("Invert", recipe::Arguments(1))) return;
  if (!EmbossPixels(b.destination, b.width, b.height, OutlineLight(Fraction(call, 1) * 100)))
    return;
  recipe::Merge(b, b.destination, render::kModeDodge, 255);
}

// The pencil sketch: the grey picture in the layer, its inverse blurred by a Gaussian of the
// line width laid over it in dodge mode. Only edges narrower than the blur stay dark.
void Edge3Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  if (!recipe::Own("Grayscale", recipe::Arguments(0))) return;
  recipe::WriteBack(b, b.destination);
  recipe::Refresh();
  if (!recipe::Own("Invert", recipe::Arguments(0))) return;
  engine::OwnedPlane<uint8_t> blurred = recipe::Scratch(b);
  const double radius = 0.5 + Fraction(call, 1) * 10;
  if (!imaging::is5_GaussianBlurImage(b.destination, uint32_t(b.width), uint32_t(b.height), 4,
                                      b.rowBytes(), blurred.get(), b.rowBytes(), radius, 7))
    return;
  recipe::Merge(b, blurred.get(), render::kModeDodge, 255);
}

// The outlines multiplied into the picture: white changes nothing, the lines darken.
void Outliner1Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !OutlinesInDestination(call, b)) return;
  recipe::Merge(b, b.destination, render::kModeMultiply, recipe::Opacity(call, 2, 2.55));
}

// The outlines laid over the picture as they are.
void Outliner2Recipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !OutlinesInDestination(call, b)) return;
  recipe::Merge(b, b.destination, render::kModeNormal, recipe::Opacity(call, 2, 2.55));
}

}  // namespace process
