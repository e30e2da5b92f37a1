// An independent model of the compositing rule, written straight from the rule's description in
// long double, for the tests to compare the engine against. It shares no code with the engine.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace composite_model {

struct Pixel {
  uint16_t r, g, b, a;
};

struct Options {
  int mode = 0;
  bool clipApplied = false;  // clip pixels given and clip flag 42
  int opacity = 256;
  bool alphaLock = false;
  bool sameAlphaMode = false;
  int K = 65535;  // alpha-layer opacity
};

struct Outcome {
  Pixel pixel;
  bool blended;  // went through the floating-point blend (last unit may differ)
};

using LD = long double;

inline LD Clamp(LD v, LD lo, LD hi) { return v < lo ? lo : (v > hi ? hi : v); }

// trunc(c + (65535 - c) * p / q) and trunc(c - c * p / q) with exact rationals.
inline int64_t Lighten(int64_t c, int64_t p, int64_t q) { return (c * q + (65535 - c) * p) / q; }
inline int64_t Darken(int64_t c, int64_t p, int64_t q) { return (c * q - c * p) / q; }

// The floating-point blend of one pixel; src colour may be above 65535 after the pre-pass.
inline Pixel Blend(int op, const int64_t s[3], int64_t a, const Pixel& d, int64_t da) {
  const LD Sa = LD(a) / 65535, Da = LD(da) / 65535;
  const int64_t dc[3] = {d.r, d.g, d.b};
  LD Sc[3], Dc[3], X[3];
  for (int i = 0; i < 3; ++i) {
    Sc[i] = LD(s[i]) / 65280 * Sa;
    Dc[i] = LD(dc[i]) / 65280 * Da;
  }
  LD R = Da + Sa * (1 - Da);
  const LD L = (Dc[0] + Dc[1] + Dc[2]) / 3;
  const LD ls = LD(s[0] + s[1] + s[2]) / (3 * 65280.0L);
  LD u[3];
  for (int i = 0; i < 3; ++i) u[i] = LD(dc[i]) / 65280;
  for (int i = 0; i < 3; ++i) {
    const LD sc = Sc[i], dcv = Dc[i];
    const LD rest = sc * (1 - Da) + dcv * (1 - Sa);
    LD x;
    switch (op) {
      case 1:
        x = sc * dcv + rest;
        break;
      case 2:
        x = sc + dcv - sc * dcv;
        break;
      case 3:
        x = (dcv * Sa > sc * Da) ? sc + dcv * (1 - Sa) : dcv + sc * (1 - Da);
        break;
      case 4:
        x = (dcv * Sa < sc * Da) ? sc + dcv * (1 - Sa) : dcv + sc * (1 - Da);
        break;
      case 5:
        x = sc + dcv - 2 * std::min(sc * Da, dcv * Sa);
        break;
      case 6:
      case 7:
        x = sc * Da + dcv * Sa - 2 * sc * dcv + rest;
        break;
      case 8:
      case 9: {
        const bool first = op == 8 ? Da > 2 * dcv : Sa > 2 * sc;
        x = first ? 2 * sc * dcv + rest : Sa * Da - 2 * (Da - dcv) * (Sa - sc) + rest;
        break;
      }
      case 10: {
        const LD m = dcv / Da;
        if (Sa > 2 * sc) {
          x = dcv * (Sa + (2 * sc - Sa) * (1 - m)) + rest;
        } else if (Da >= 8 * dcv) {
          x = dcv * (Sa + (2 * sc - Sa) * (1 - m) * (3 - 8 * m)) + rest;
        } else {
          x = dcv * Sa + (2 * sc - Sa) * (Da * std::sqrt(m) - dcv) + rest;
        }
        break;
      }
      case 11:
        if (Sa * Da <= sc * Da + dcv * Sa) {
          x = Sa * Da + rest;
        } else {
          x = dcv * Sa / (1 - sc / Sa) + rest;
        }
        break;
      case 12:
        if (Sa * Da < sc * Da + dcv * Sa) {
          x = Sa * (sc * Da + dcv * Sa - Sa * Da) / sc + rest;
        } else {
          x = rest;
        }
        break;
      case 15:
        x = sc + dcv;
        R = Sa + Da;
        break;
      case 16:
        x = sc + dcv - Sa * Da;
        R = Sa + Da;
        break;
      case 17:
        x = sc + Sa * (L - 0.5L) + dcv * (1 - Sa);
        R = Da;
        break;
      case 18:
        x = sc + Sa * (1.75L * (L - 0.5L)) + dcv * (1 - Sa);
        R = Da;
        break;
      case 19: {
        const LD J = (u[0] + u[1] + u[2]) / 3 + Sa * (ls - 0.5L);
        x = u[i] + 1.75L * Sa * (J - 0.5L);
        R = Da;
        break;
      }
      case 20:
        x = u[i] + 1.75L * Sa * (ls - 0.5L);
        R = Da;
        break;
      case 21:
        x = dcv;
        R = Da;
        break;
      default:
        x = sc + dcv * (1 - Sa);
        break;  // Normal and every other number
    }
    X[i] = x;
  }
  R = Clamp(R, 0, 1);
  Pixel out;
  out.r = uint16_t(int64_t(Clamp(X[0] / R, 0, 1) * 65280));
  out.g = uint16_t(int64_t(Clamp(X[1] / R, 0, 1) * 65280));
  out.b = uint16_t(int64_t(Clamp(X[2] / R, 0, 1) * 65280));
  out.a = uint16_t(int64_t(R * 65535));
  return out;
}

// The whole per-pixel composite of source s (and its clip pixel) onto destination d.
inline Outcome Composite(const Pixel& s, const Pixel& d, const Pixel& clip, const Options& o) {
  const int mode = o.mode;
  if (s.a == 0 && mode <= 22) return {d, false};

  int64_t a = s.a;
  if (o.clipApplied && clip.a != 0) {
    const int64_t m = (int64_t(clip.r) + clip.g + clip.b) / 3;
    a = (int64_t(s.a) * m) >> 16;
  }

  int64_t col[3] = {s.r, s.g, s.b};
  int64_t da = d.a;
  int op = mode;
  const int64_t K = o.K;
  const bool same = o.sameAlphaMode;
  auto setColour = [&](int64_t v) { col[0] = col[1] = col[2] = v; };
  auto shade = [&] {  // modes 30 and 31
    for (auto& c : col) {
      c = a < 32767 ? std::max<int64_t>(0, c - 2 * (32767 - a))
                    : std::min<int64_t>(65535, c + 2 * (a - 32767));
    }
  };
  auto cut = [&] {
    if (a != 0) a = a < 8191 ? 0 : K;
  };
  auto ramp = [&] {
    if (a == 0) return;
    if (a < 8191)
      a = 0;
    else if (a >= 9215)
      a = K;
    else
      a = 65535 - std::min<int64_t>(65535, (9215 - a) * 64);
  };
  auto mergeCut = [&] {
    if (a < 8191)
      a = 0;
    else
      da = 0;
  };
  auto mergeRamp = [&] {
    if (a < 8191)
      a = 0;
    else if (a >= 9215)
      da = 0;
    else
      op = 1;
  };
  auto lum35 = [&](int64_t darkenDen) {
    for (auto& c : col)
      c = a > 32767 ? Lighten(c, a - 32767, 32767) : Darken(c, 32767 - a, darkenDen);
  };
  auto lum37 = [&] {
    for (auto& c : col) c = a > 36862 ? Lighten(c, a - 36862, 28672) : Darken(c, 36862 - a, 30000);
  };

  if (mode == 42) {
    a = 0;
  } else if (mode == 43) {
    a = (int64_t(s.r) + s.g + s.b) / 3;
    setColour(65535);
  } else if (mode == 44) {
    a = 65535 - (int64_t(s.r) + s.g + s.b) / 3;
    setColour(0);
  } else if (mode >= 23 && same) {
    if (mode == 34 || mode == 38 || mode == 39)
      mergeRamp();
    else if (mode == 35 || mode == 36 || mode == 37)
      mergeCut();
    else if (mode == 41) {
      if (a <= 32512)
        a = 0;
      else
        da = 0;
    } else if (a > 0) {
      da = 0;
    }
  } else if (mode >= 23) {
    switch (mode) {
      case 23:
        if (a > 0) a = K;
        break;
      case 24:
        a = 65535 - a;
        setColour(65535);
        break;
      case 25:
      case 40:
        if (a >= 1 && a <= 65279) {
          a = K;
          setColour(0);
        }
        break;
      case 26:
      case 27:
        if (a >= 12287)
          a = K;
        else if (a > 0)
          a = 65535 - a;
        break;
      case 28:
        if (a > 0) a = 65535 - a;
        break;
      case 29:
        if (a > 0) {
          setColour(a);
          a = K;
        }
        break;
      case 30:
        if (a > 0) {
          shade();
          a = K;
        }
        break;
      case 31:
        if (a > 0) {
          shade();
          a = K;
          op = 20;
        }
        break;
      case 32:
        if (a > 0) {
          if (a >= 32767) {
            for (auto& c : col) c = std::min<int64_t>(65535, c + 2 * (a - 32767));
            a = K;
          } else {
            const int64_t e = 2 * (32767 - a);
            a = a < e ? 0 : a - e;
          }
          op = 20;
        }
        break;
      case 33:
        if (a > 0) {
          if (a >= 32767)
            a = K;
          else {
            const int64_t e = 4 * (32767 - a);
            a = a < e ? 0 : a - e;
          }
        }
        break;
      case 34:
        ramp();
        break;
      case 35:
        lum35(32767);
        cut();
        break;
      case 36:
        lum35(65535);
        cut();
        break;
      case 37:
        lum37();
        cut();
        break;
      case 38:
        lum37();
        ramp();
        break;
      case 39:
        lum35(32767);
        ramp();
        break;
      case 41:
        if (a > 32512) a = 0;
        break;
    }
  }

  if (o.opacity < 255) a = (a * (o.opacity + 1)) >> 8;

  Pixel result;
  bool blended = false;
  // A channel the lighten rules carried past 65535 is stored as 65535.
  auto stored = [](int64_t c) { return uint16_t(std::min<int64_t>(c, 65535)); };
  if (da == 0) {
    if (op == 19 || op == 20 || op == 21 || a == 0) {
      result = {0, 0, 0, 0};
    } else {
      result = {stored(col[0]), stored(col[1]), stored(col[2]), uint16_t(a)};
    }
  } else if (a == 0) {
    result = d;
  } else if (a >= 65280 && op == 0) {
    result = {stored(col[0]), stored(col[1]), stored(col[2]), uint16_t(a)};
  } else {
    result = Blend(op, col, a, d, da);
    blended = true;
  }
  if (o.alphaLock) result.a = d.a;
  return {result, blended};
}

}  // namespace composite_model
