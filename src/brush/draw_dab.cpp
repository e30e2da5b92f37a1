// The colour dab: per dab, the colour, the grit window, the frame and the kernel; per row, the
// coverage, source and paint passes.
#include <algorithm>

#include "brush/carried_paint_kernels.h"
#include "brush/dab.h"
#include "brush/dab_internal.h"
#include "brush/tool_state.h"
#include "engine/layer_stack.h"

namespace brush {
namespace {

// The paint target: the paint layer when it has pixels, else the current layer. Both must have
// the canvas's size, as the dab addresses them with the canvas stride.
engine::LayerRecord* PaintTarget(engine::EngineState& s) {
  engine::LayerRecord* layer = s.paintLayer.pixels ? &s.paintLayer : s.currentLayer;
  return layer && engine::IsCanvasSized(layer) ? layer : nullptr;
}

// The dab colour: the brush colour moved by the colour variation (alpha too), or the eraser's.
void DabColour(ToolState& t, uint16_t colour[4]) {
  for (int c = 0; c < 4; ++c) colour[c] = engine::State().brushColor[c];
  if (t.colorVary > 0) {
    const int64_t v = (int64_t{t.colorVary} / 2 - engine::Generator().Next() % t.colorVary) * 256;
    for (int c = 0; c < 4; ++c) colour[c] = Clamp16(colour[c] + v);
  }
  if (t.eraseModeOn) colour[0] = colour[1] = colour[2] = 65535, colour[3] = 0;
}

PaintRules MakePaintRules(engine::EngineState& s, bool blending) {
  const ToolState& t = brush::Tool();
  PaintRules r;
  r.mixMode = t.mixMode;
  r.blending = blending;
  r.erase = t.eraseModeOn != 0;
  r.remix = blending && t.blendRemix != 0;
  r.blendStrength = t.blendStrength;
  r.blendInverse = t.blendStrengthInverse;
  r.remixInRange = t.blendStrength >= 1 && t.blendStrength <= 256 &&
                   t.blendStrengthInverse == 256 - t.blendStrength;
  r.writeColour = t.colorLocked == 0;
  const bool layerAllowsAlpha = s.currentLayer && s.currentLayer->alphaLock == 0 &&
                                t.alphaLocked == 0 && s.currentLayerIndex > 1;
  r.alphaWritable = s.paintLayer.pixels != nullptr || layerAllowsAlpha;
  r.blobLocked = t.blobLocked != 0;
  r.alphaLevel = std::min(t.alphaLevel, 65535);
  // An amount outside 0..256 is taken as the nearer end.
  r.mixAmount = std::clamp(t.mixAmount, 0, 256);
  r.mixInverse = 256 - r.mixAmount;
  r.mixShift = t.mixShift;
  for (int c = 0; c < 4; ++c) {
    for (int k = 0; k < 4; ++k) r.banks[c][k] = engine::State().colorBanks[c][k];
  }
  r.blend = s.blendBuffer;
  return r;
}

// The source pass: each covered pixel's colour, from the blend buffer or the dab colour, with the
// per-pixel variations. Image brushes also scale the coverage by the carried alpha here.
struct SourcePass {
  bool blending = false;
  bool imageBrush = false;
  int32_t primaryStrength = 0, primaryInverse = 0;
  uint16_t dab[4] = {};
  const uint16_t* blend = nullptr;

  void Row(PixelVariation& v, int32_t count, uint32_t* coverage, const int32_t* position,
           uint16_t* source) const {
    for (int32_t i = 0; i < count; ++i) {
      if (coverage[i] == 0) continue;
      uint16_t* s = source + 4 * i;
      if (blending) {
        const uint16_t* q = blend + 4 * std::size_t(position[i]);
        s[0] = q[0], s[1] = q[1], s[2] = q[2], s[3] = q[3];
        if (imageBrush && s[3] < 65535) {
          coverage[i] = std::max<uint32_t>((coverage[i] * s[3]) >> 16, 1);
          s[3] = 65535;
        }
        if (v.colorVary > 0) {
          const int32_t offset = v.NextColorOffset();
          for (int c = 0; c < 3; ++c) s[c] = Clamp16(int64_t{s[c]} + offset);
        }
        if (v.lumVary > 0) {
          const double f = v.NextLumFactor();
          for (int c = 0; c < 3; ++c) s[c] = ApplyLumFactor(s[c], f);
        }
        if (primaryStrength != 0) {
          for (int c = 0; c < 4; ++c) {
            s[c] =
                Clamp16((int64_t{primaryInverse} * s[c] + int64_t{primaryStrength} * dab[c]) >> 8);
          }
        }
      } else {
        s[0] = dab[0], s[1] = dab[1], s[2] = dab[2], s[3] = dab[3];
        if (v.colorVary > 0) {
          const int32_t offset = v.NextColorOffset();
          for (int c = 0; c < 4; ++c) s[c] = Clamp16(int64_t{dab[c]} + offset);
        }
        // The luminance variation starts again from the dab colour, so it wins over the colour
        // variation on the colour channels.
        if (v.lumVary > 0) {
          const double f = v.NextLumFactor();
          for (int c = 0; c < 3; ++c) s[c] = ApplyLumFactor(dab[c], f);
        }
      }
    }
  }
};

}  // namespace

void DrawDabGrit(int32_t x, int32_t y, int32_t red, int32_t green, int32_t blue) {
  engine::EngineState& s = engine::State();
  ToolState& t = brush::Tool();
  engine::State().brushColor[0] = static_cast<uint16_t>(red & 0xFF00);
  engine::State().brushColor[1] = static_cast<uint16_t>(green & 0xFF00);
  engine::State().brushColor[2] = static_cast<uint16_t>(blue & 0xFF00);
  engine::State().brushColor[3] = 65535;
  if (t.maskMakerOn) {
    DrawDabGritMask(x, y);
    return;
  }
  engine::LayerRecord* target = PaintTarget(s);
  if (!BrushReady(s) || !target) return;

  const bool blending = t.blendStrength != 0 && t.blendOffOnce == 0;
  SourcePass source;
  DabColour(t, source.dab);
  DrawGritWindow(s);
  source.blending = blending;
  source.imageBrush = t.imageBrushMode != 0;
  source.primaryStrength = t.blendPrimaryColorStrength;
  source.primaryInverse = t.blendPrimaryColorInverse;
  source.blend = s.blendBuffer;

  const DabFrame frame = PlaceDab(s, x, y);
  WidenChangedRects(s, frame, true);
  if (frame.y0 >= frame.y1) return;

  CoverageSetup coverageSetup = MakeCoverageSetup(s, true);
  coverageSetup.needPositions = blending;
  PixelVariation variation = MakePixelVariation(s);
  const PaintRules rules = MakePaintRules(s, blending);
  const bool perPixelSource = blending || variation.Any();
  const PaintKernel kernel = t.mixMode >= kFirstMixRule
                                 ? MixRuleKernel(t.mixMode)
                                 : LowRuleKernel(t.mixMode, rules, !perPixelSource);
  const bool positionsRepeat = coverageSetup.rotate && rules.remix;
  // Carried paint used as it is, on an unscaled, unturned shape, is read straight from the blend
  // buffer's row.
  const bool blendRowIsSource = blending && !variation.Any() && !source.imageBrush &&
                                source.primaryStrength == 0 && !coverageSetup.rotate &&
                                t.scaledSize == t.brushSize;
  const CarriedPaintKernel carriedVector =
      blendRowIsSource && CarriedPaintVectorFits(rules) ? VectorCarriedPaintKernel() : nullptr;
  brush::DabScratch& scratch = brush::Scratch();

  PaintSpan span;
  span.coverage = scratch.coverage;
  span.position = scratch.samplePosition;
  span.source = perPixelSource ? scratch.source : source.dab;
  span.sourceStep = perPixelSource ? 4 : 0;
  span.count = frame.Columns();
  for (int32_t y = frame.y0, j = frame.firstRow; y < frame.y1; ++y, ++j) {
    variation.StartRow();
    if (span.count == 0) continue;
    CoverageRow(coverageSetup, frame, j, y, scratch.coverage, scratch.samplePosition);
    span.target = target->pixels + std::size_t(y) * s.canvasStride + std::size_t(frame.x0) * 4;
    if (blendRowIsSource) {
      uint16_t* blendRow =
          s.blendBuffer + (std::size_t(t.sizeIndex[j]) * s.maxBrushSize + frame.firstColumn) * 4;
      PaintSpan rest = span;
      rest.source = blendRow;
      if (carriedVector) {
        const int32_t done = carriedVector(span.target, span.coverage, span.count, blendRow, rules);
        rest.target += 4 * done, rest.coverage += done, rest.position += done,
            rest.source += 4 * done;
        rest.count -= done;
      }
      kernel(rest, rules);
      continue;
    }
    if (!positionsRepeat) {
      if (perPixelSource) {
        source.Row(variation, span.count, scratch.coverage, scratch.samplePosition, scratch.source);
      }
      kernel(span, rules);
      continue;
    }
    // A turned shape can sample one blend pixel for several dab pixels of a row; each must read
    // the paint the previous one remixed, so the row runs pixel by pixel.
    PaintSpan one = span;
    one.count = 1;
    for (int32_t i = 0; i < span.count; ++i) {
      one.coverage = scratch.coverage + i;
      one.position = scratch.samplePosition + i;
      one.source = scratch.source + 4 * i;
      one.target = span.target + 4 * i;
      source.Row(variation, 1, scratch.coverage + i, scratch.samplePosition + i,
                 scratch.source + 4 * i);
      kernel(one, rules);
    }
  }
  t.blendOffOnce = t.maskMakerOn = t.eraseModeOn = 0;
}

}  // namespace brush
