// A plain per-pixel model of the view, written from the rules of the view rather than from the
// renderer: it builds its own layer order, composites one canvas position at a time in doubles
// and maps every output pixel to its canvas pixel on its own. Its blend knows the Normal,
// Multiply and Screen rules ("Reflect" and "Glow" blend as Normal) and the pre-pass of "Alpha
// Shader", "Layer Mask" and "Luminance Alpha", which is what the model tests use.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"

namespace view_model {

struct Px {
  uint32_t c0, c1, c2, a;
};

struct Layer {
  const engine::LayerRecord* rec;
  bool paint;
};

inline std::vector<Layer> Order() {
  const auto& s = engine::State();
  std::vector<Layer> order;
  for (int i = 1; i < 64; ++i) {
    const auto& l = s.layers[i];
    if (l.pixels && l.visible && l.mergeMode != 21) order.push_back({&l, false});
    if (s.currentLayer && l.pixels && l.pixels == s.currentLayer->pixels && s.paintLayer.pixels)
      order.push_back({&s.paintLayer, true});
  }
  return order;
}

// The model divides as the renderer does, by multiplying with the reciprocal of the scale or of
// R, and groups the Multiply terms as d*s + (rest): the rules allow either rounding, and a model
// that rounds the same way can be compared to the bit.
inline constexpr double kPerColour = 1.0 / 65280.0;
inline constexpr double kPerAlpha = 1.0 / 65535.0;

inline Px Composite(int cx, int cy) {
  const auto& s = engine::State();
  const auto order = Order();
  const std::size_t at = (std::size_t(cy) * s.canvasWidth + cx) * 4;
  double A = 0, c[3] = {0, 0, 0};
  bool copied = true;
  uint32_t ints[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto& rec = *order[i].rec;
    if (order[i].paint && rec.mergeMode == 21) continue;  // the documented paint-layer choice
    const uint16_t* p = rec.pixels + at;
    const bool background = i == 0 && order[0].rec == &s.layers[1];
    int64_t a;
    if (background) {
      a = 65535;
    } else {
      if (p[3] == 0 && rec.mergeMode <= 22) continue;
      a = p[3];
      std::size_t j = i + 1;
      if (rec.pixels == s.currentLayer->pixels && j < order.size() && order[j].paint) ++j;
      if (j < order.size() && order[j].rec->mergeMode == 42 && order[j].rec->visible &&
          order[j].rec->pixels[at + 3] != 0) {
        const uint16_t* m = order[j].rec->pixels + at;
        a = (a * ((m[0] + m[1] + m[2]) / 3)) >> 16;
      }
    }
    int64_t col[3] = {p[0], p[1], p[2]};
    // The operator stays the mode number; these alpha modes then blend by the Normal rule, but
    // only operator 0 itself takes the opaque copy.
    const int op = rec.mergeMode;
    int rule = op;
    const int64_t K = s.alphaLayerOpacity;
    if (op == 13 || op == 14) {  // Reflect and Glow composite as Normal
      rule = 0;
    } else if (op == 29) {  // Alpha Shader
      if (a > 0) col[0] = col[1] = col[2] = a, a = K;
      rule = 0;
    } else if (op == 42) {
      a = 0;
      rule = 0;
    } else if (op == 43) {  // Luminance Alpha
      a = (col[0] + col[1] + col[2]) / 3;
      col[0] = col[1] = col[2] = 65535;
      rule = 0;
    }
    if (rec.opacity < 255) a = (a * (rec.opacity + 1)) >> 8;
    if (A == 0) {
      if (op >= 19 && op <= 21) {
        A = 0, c[0] = c[1] = c[2] = 0, copied = true, std::fill_n(ints, 4, 0u);
      } else {
        copied = true;
        for (int k = 0; k < 3; ++k) ints[k] = uint32_t(col[k]), c[k] = col[k] * kPerColour;
        ints[3] = uint32_t(a), A = a * kPerAlpha;
      }
    } else if (a >= 65280 && op == 0) {
      copied = true;
      for (int k = 0; k < 3; ++k) ints[k] = uint32_t(col[k]), c[k] = col[k] * kPerColour;
      ints[3] = 65535, A = 1.0;
    } else {
      const double Sa = a * kPerAlpha, Da = A;
      const double R = std::clamp(Da + Sa * (1 - Da), 0.0, 1.0);
      for (int k = 0; k < 3; ++k) {
        const double Sc = col[k] * kPerColour * Sa, Dc = c[k] * Da;
        double X;
        if (rule == 0)
          X = Sc + Dc * (1 - Sa);
        else if (rule == 1)
          X = Sc * Dc + (Sc * (1 - Da) + Dc * (1 - Sa));
        else if (rule == 2)
          X = Sc + Dc - Sc * Dc;
        else {
          ADD_FAILURE() << "model has no rule " << rule;
          X = 0;
        }
        c[k] = std::clamp(X * (1.0 / R), 0.0, 1.0);
      }
      A = R;
      copied = false;
    }
  }
  if (copied) return {ints[0], ints[1], ints[2], ints[3]};
  return {uint32_t(c[0] * 65280), uint32_t(c[1] * 65280), uint32_t(c[2] * 65280),
          uint32_t(A * 65535)};
}

// The bytes blue, green, red of one output pixel showing canvas (cx, cy), with the mask read at
// (mx, my).
inline void Output(Px p, int cx, int cy, int mx, int my, bool oneToOne, uint8_t* bgr) {
  const auto& s = engine::State();
  const std::size_t at = (std::size_t(cy) * s.canvasWidth + cx) * 4;
  uint32_t ch[3] = {p.c0, p.c1, p.c2};
  if (s.tracingMode && s.traceLayer && s.traceLayer->pixels)
    for (int k = 0; k < 3; ++k) ch[k] = (s.traceLayer->pixels[at + k] + ch[k]) >> 1;
  const bool odd = ((cx / 32) + (cy / 32)) % 2 == 1;
  if (p.a < 65535) {
    const uint64_t K = odd ? 40959 : 65535;
    for (auto& v : ch) v = uint32_t((((p.a * uint64_t(v)) >> 8) + ((K * (65535 - p.a)) >> 8)) >> 8);
  }
  uint8_t out[3];
  const uint32_t raw = s.maskPlane[std::size_t(my) * s.canvasWidth + mx];
  if (s.maskDisplayed && s.maskEnabled && !(oneToOne && raw == 65535)) {
    const uint64_t m = s.maskFullStrength ? raw : (raw >> 1) + 32767;
    const uint16_t* tint = odd ? s.maskTintOdd : s.maskTintEven;
    for (int k = 0; k < 3; ++k)
      out[k] = uint8_t((((m * ch[k]) >> 8) + (((65535 - m) * tint[k]) >> 8)) >> 16);
  } else {
    for (int k = 0; k < 3; ++k) out[k] = uint8_t(ch[k] >> 8);
  }
  bgr[0] = out[2], bgr[1] = out[1], bgr[2] = out[0];
}

// The whole expected target (stride bytes a row, rows x stride bytes, untouched bytes keep fill).
inline std::vector<uint8_t> Expected(int x, int y, int width, int height, int stride, int rows,
                                     uint8_t fill) {
  const auto& s = engine::State();
  std::vector<uint8_t> target(std::size_t(stride) * rows, fill);
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  if (x0 + width > s.canvasWidth) width = s.canvasWidth - x0;
  if (y0 + height > s.canvasHeight) height = s.canvasHeight - y0;
  const float S = s.viewScale;
  const int I = s.viewScaleLevel;
  auto put = [&](int ox, int oy, int cx, int cy, int mx, int my, bool oneToOne) {
    if (ox >= s.viewWidth || oy >= s.viewHeight) return;
    Output(Composite(cx, cy), cx, cy, mx, my, oneToOne, &target[std::size_t(oy) * stride + ox * 3]);
  };
  if (S == float(I)) {
    for (int oy = 0; oy < height; ++oy)
      for (int ox = 0; ox < width; ++ox) put(ox, oy, x0 + ox, y0 + oy, x0 + ox, y0 + oy, true);
  } else if (S > float(I)) {
    const int lastX = int(float(x0) + float(width) / S - 1.0f);
    const int lastY = int(float(y0) + float(height) / S - 1.0f);
    int cy = y0;
    float fy = 0;
    for (int oy = 0; oy <= lastY - y0; ++oy) {
      int cx = x0;
      float fx = 0;
      for (int ox = 0; ox <= lastX - x0; ++ox) {
        put(ox, oy, cx, cy, cx, int(float(y0) + S * float(oy)), false);
        fx += S;
        cx += int(fx);
        fx -= float(int(fx));
      }
      fy += S;
      cy += int(fy);
      fy -= float(int(fy));
    }
  } else if (I >= 1) {
    for (int oy = 0; oy < I * height; ++oy)
      for (int ox = 0; ox < I * width; ++ox)
        put(ox, oy, x0 + ox / I, y0 + oy / I, x0 + ox / I, y0 + oy / I, false);
  }
  return target;
}

}  // namespace view_model
