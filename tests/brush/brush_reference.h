// Plain reference models of the brush engine, written from the brushes' rules (not from the
// engine's code): one pixel at a time, 64-bit arithmetic, no shortcuts. The tests
// compare the engine against them over random pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace brush_ref {

// The engine's random generator: x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF.
struct Lcg {
  uint32_t x;
  int32_t Next() {
    x = x * 214013u + 2531011u;
    return int32_t((x >> 16) & 0x7FFF);
  }
};

// The settings a mix rule reads.
struct RuleSettings {
  int32_t mode = 32;
  int64_t amount = 0;  // m; the inverse is 256 - m
  int32_t shift = 0;
  uint16_t bank[4][3] = {};  // bank k, channel c
  bool erase = false;
};

// A dab meeting one pixel with mixMode 34 and above: pre-mix of the pixel, the rule colour, the
// weighting and the coverage compositing. s and d are in/out: s loses its alpha when erasing, d
// is the pixel after its pre-mix. Returns the new colour n and alpha na. draws counts the random
// numbers the rule drew.
void MixRulePixel(const RuleSettings& r, int64_t a, int64_t s[4], int64_t d[4], int64_t n[3],
                  int64_t& na, int& draws);

// A dab meeting one pixel with mixMode 33 and below. d's colour is zeroed when d is clear (it then
// counts as nothing for the remix). eraseOnly: no colour result.
void LowRulePixel(int32_t mode, bool blending, bool erase, int64_t a, const int64_t s[4],
                  int64_t d[4], int64_t n[3], int64_t& na);

// The blend buffer's mix rule: carried paint q meets canvas p. Returns x and xa.
void BlendMixRule(const RuleSettings& r, const int64_t q[4], const int64_t p[4], int64_t x[3],
                  int64_t& xa, int& draws);

// Everything a deterministic colour dab reads and writes, copied out of the engine.
struct DabWorld {
  int32_t width = 0, height = 0, maxBrush = 0;
  std::vector<uint16_t> target, blend, shape, mask;
  std::vector<uint8_t> texture;  // empty: none
  bool maskEnabled = false;
  const uint8_t* grit = nullptr;  // window origin; null: no grit
  int32_t density = 0;
  int32_t brushSize = 0, scaledSize = 0;
  std::vector<int32_t> sizeIndex;
  int32_t alphaPercent = 100, alphaScaled = 128;
  bool solid = false, imageBrush = false, rotate = false;
  float sine = 0, cosine = 1;
  int32_t blendStrength = 0, blendInverse = 0, primary = 0, primaryInverse = 0;
  bool remix = false, blendOff = false, erase = false;
  RuleSettings rule;
  bool colorLocked = false, blobLocked = false, alphaWritable = true;
  int32_t alphaLevel = 0;
};

// One colour dab at (x, y) with the dab colour given (already varied / erased by the caller).
void ColourDab(DabWorld& w, int32_t x, int32_t y, const int64_t colour[4]);

}  // namespace brush_ref
