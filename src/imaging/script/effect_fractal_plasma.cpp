// Effect 55, fractal plasma: ridged fractal noise (octaves of smooth value noise, each folded
// about its middle so that it forms sharp veins) run through a colour palette, like flames or
// marbling. Every octave's lattice wraps round the picture, so the picture tiles without seams.
// Slots: 1 features across the picture at the coarsest octave (1..64), 2 octaves (1..10), 7
// roughness % (each octave's strength relative to the one before), 8 colour cycles; the shared
// generator slots.
#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/script/effect_table.h"
#include "imaging/script/generator_settings.h"
#include "imaging/script/palette_table.h"

namespace imaging::script {
namespace {

float Smooth(float t) { return t * t * (3 - 2 * t); }

// Where each pixel of one axis falls on an octave's lattice of `cells` (which wraps round).
struct AxisStep {
  uint32_t low, high;
  float weight;
};
std::vector<AxisStep> AxisSteps(uint32_t pixels, uint32_t cells) {
  std::vector<AxisStep> steps(pixels);
  for (uint32_t i = 0; i < pixels; ++i) {
    const double u = (i + 0.5) * cells / pixels;
    const uint32_t low = static_cast<uint32_t>(u) % cells;
    steps[i] = {low, (low + 1) % cells, Smooth(static_cast<float>(u - std::floor(u)))};
  }
  return steps;
}

struct Octave {
  uint32_t cellsX;
  std::vector<float> lattice;  // cellsY rows of cellsX values in 0..1
  std::vector<AxisStep> alongX, alongY;
  float strength;
};

}  // namespace

bool RunFractalPlasma(const Picture& picture, const std::array<double, kScriptValueSlots>& values) {
  const GeneratorSettings s = ReadGeneratorSettings(values, 0);
  const double features = Limited(values[1], 1, 64);
  const int octaveCount = static_cast<int>(Limited(values[2], 1, 10));
  const double roughness = Limited(values[7], 0, 100) / 100;
  const double cycles = Limited(values[8], -100, 100);
  EffectRandom random(s.seed);
  std::vector<Octave> octaves;
  float total = 0, strength = 1;
  for (int o = 0; o < octaveCount; ++o) {
    const double across = features * std::ldexp(1.0, o);
    // No octave finer than the pixels.
    if (o > 0 && across > picture.width && across > picture.height) break;
    Octave octave;
    // At least three cells a side: a lattice of two that wraps runs there and back again and
    // mirrors the picture.
    octave.cellsX = static_cast<uint32_t>(std::max(3.0, std::round(across)));
    const uint32_t cellsY =
        static_cast<uint32_t>(std::max(3.0, std::round(across * picture.height / picture.width)));
    octave.lattice.resize(size_t{octave.cellsX} * cellsY);
    for (float& v : octave.lattice) v = static_cast<float>(random.Unit());
    octave.alongX = AxisSteps(picture.width, octave.cellsX);
    octave.alongY = AxisSteps(picture.height, cellsY);
    octave.strength = strength;
    total += strength;
    strength *= static_cast<float>(0.2 + 0.6 * roughness);
    octaves.push_back(std::move(octave));
  }
  const PaletteTable palette(s.colour, s.variation);
  const float scale = static_cast<float>(cycles) / total;
  PaintRowsOnto(picture, s.mode, size_t{picture.width} * sizeof(float),
                [&](uint32_t y, uint8_t* row, uint8_t* scratch) {
                  // Each octave's value along the row, summed in octave order.
                  float* sum = reinterpret_cast<float*>(scratch);
                  std::fill(sum, sum + picture.width, 0.0f);
                  for (const Octave& o : octaves) {
                    const AxisStep& sy = o.alongY[y];
                    const float* top = o.lattice.data() + size_t{sy.low} * o.cellsX;
                    const float* bottom = o.lattice.data() + size_t{sy.high} * o.cellsX;
                    for (uint32_t x = 0; x < picture.width; ++x) {
                      const AxisStep& sx = o.alongX[x];
                      const float upper = top[sx.low] + (top[sx.high] - top[sx.low]) * sx.weight;
                      const float lower =
                          bottom[sx.low] + (bottom[sx.high] - bottom[sx.low]) * sx.weight;
                      const float v = upper + (lower - upper) * sy.weight;
                      // Folded about the middle: 1 on the ridge where the noise crosses one half.
                      sum[x] += o.strength * (1 - std::fabs(2 * v - 1));
                    }
                  }
                  for (uint32_t x = 0; x < picture.width; ++x)
                    SetOpaquePixel(row + size_t{x} * 4, palette.At(sum[x] * scale));
                });
  return true;
}

}  // namespace imaging::script
