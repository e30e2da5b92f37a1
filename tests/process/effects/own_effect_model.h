// A plain reference model of the own effects, written from their rules: one pixel at a time
// through clipped accessors, loops nested in the order each effect walks the picture, doubles
// where a rule uses fractions. Slow and obvious, for comparison with the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace effects_model {

struct Args {
  int chain = 0;
  int sliders[6] = {};
  int options[8] = {};
  int red = 0, green = 0, blue = 0;
};

// A run of the model: source and destination pictures (RGBA32, packed rows) of one size.
struct Run {
  int w = 0, h = 0;
  std::vector<uint8_t> src, dst;
  std::vector<uint16_t>* mask = nullptr;  // canvas-sized mask for Mask Detail
  double paint[3] = {0, 0, 0};            // the current paint colour for Vignette's option 8
};

// Runs the named effect; the destination starts as a copy of the source when the chain flag is 0.
void RunModel(const std::string& name, const Args& args, Run& run);

}  // namespace effects_model
