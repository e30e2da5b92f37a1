#include "process/recipes/crayon_recipes.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "imaging/artistic_filters.h"
#include "imaging/colour_filters.h"
#include "imaging/noise.h"
#include "process/library/slider_scales.h"
#include "process/processing_buffers.h"
#include "process/recipes/recipe_steps.h"
#include "process/relief_script.h"
#include "render/merge_mode_names.h"

namespace process {

namespace {

using recipe::Buffers;

// The shared start of pencil and crayon: a relief against the neighbour option 1 names, the
// lightness-driven contrast curve, then the saturation scaled by twice the slider's fraction (50 %
// keeps it), each written into the layer. False when a step could not run.
bool PencilSteps(const EffectCall& call, const Buffers& b) {
  OwnEffectArguments relief = recipe::Arguments(0);
  relief.sliders[0] = 300;
  relief.options[0] = call.options[0];
  recipe::Refresh();
  if (!recipe::Own("Bas Relief", relief)) return false;
  recipe::WriteBack(b, b.destination);

  OwnEffectArguments contrast = recipe::Arguments(0);
  contrast.sliders[0] = call.sliders[0];
  recipe::Refresh();
  if (!recipe::Own("Hyper Contrast", contrast)) return false;
  recipe::WriteBack(b, b.destination);

  recipe::Refresh();
  if (!imaging::IS3ModifyImageSaturation(b.source, uint32_t(b.width), uint32_t(b.height), 4,
                                         b.rowBytes(), Fraction(call, 2) * 2))
    return false;
  recipe::WriteBack(b, b.source);
  return true;
}

// Value Blur with both weights from slider 3, from a fresh copy of the (refreshed) source.
void WaxSmear(const EffectCall& call, const Buffers& b) {
  OwnEffectArguments smear = recipe::Arguments(0);
  smear.sliders[0] = smear.sliders[1] = call.sliders[2];
  if (!recipe::Own("Value Blur", smear)) return;
  recipe::WriteBack(b, b.destination);
}

}  // namespace

void ColorPencilRecipe(const EffectCall& call) {
  Buffers b;
  if (recipe::Usable(&b)) PencilSteps(call, b);
}

void CrayonRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !PencilSteps(call, b)) return;
  recipe::Refresh();
  WaxSmear(call, b);
}

// Crayon whose smear runs over grains of colour noise, so that the colour breaks into dabs.
void PointillismRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b) || !PencilSteps(call, b)) return;
  recipe::Refresh();
  // A spread of up to 48 levels, each channel drawn on its own; alpha (bit 3) untouched.
  if (!imaging::ISE3AddGaussianNoise(b.source, uint32_t(b.width), uint32_t(b.height), 4,
                                     b.rowBytes(), Fraction(call, 4) * 4800, 0.0, 0, 7))
    return;
  WaxSmear(call, b);
}

// Pen scribbles and pen outlines (the picture's relief lit from straight above: white on flat
// ground, dark on slopes) both drawn from the picture as it is; then a wash of smeared colour
// written into the layer, and the outlines and the scribbles multiplied over it (white paper
// changes nothing).
void WatercolorAndInkRecipe(const EffectCall& call) {
  Buffers b;
  if (!recipe::Usable(&b)) return;
  AllocSrcBuffer24();
  AllocDstBuffer24();
  const engine::ProcessingBuffers& p = engine::State().processingBuffers;
  if (!p.src24 || !p.dst24) return;
  const uint32_t w = uint32_t(b.width), h = uint32_t(b.height);
  if (!imaging::ISE3Scribble(p.src24, w, h, w * 3, p.dst24, w * 3,
                             uint32_t(4 + Scaled(call, 3, 0.6)), Fraction(call, 2), 1))
    return;

  recipe::Refresh();
  if (!recipe::Own("Grayscale", recipe::Arguments(0))) return;
  ReliefLight outline;
  outline.depth = Fraction(call, 4) * 100;
  outline.direction = 180;
  outline.height = 90;
  if (!EmbossPixels(b.destination, b.width, b.height, outline)) return;
  engine::OwnedPlane<uint8_t> lines = recipe::Scratch(b);
  std::copy_n(b.destination, std::size_t(w) * h * 4, lines.get());

  OwnEffectArguments wash = recipe::Arguments(0);
  wash.sliders[0] = wash.sliders[1] = call.sliders[0];
  if (!recipe::Own("Value Blur", wash)) return;
  recipe::WriteBack(b, b.destination);
  recipe::Merge(b, lines.get(), render::kModeMultiply, 255);

  // The ink as RGBA32 with the layer's alpha, so that clear parts of the layer stay clear.
  recipe::Refresh();
  engine::OwnedPlane<uint8_t> ink = recipe::Scratch(b);
  const uint8_t* rgb = p.dst24;
  const uint8_t* alpha = b.source;
  uint8_t* out = ink.get();
  for (std::size_t i = 0, n = std::size_t(w) * h; i < n; ++i, rgb += 3, alpha += 4, out += 4) {
    out[0] = rgb[0], out[1] = rgb[1], out[2] = rgb[2], out[3] = alpha[3];
  }
  recipe::Merge(b, ink.get(), render::kModeMultiply, 255);
}

}  // namespace process
