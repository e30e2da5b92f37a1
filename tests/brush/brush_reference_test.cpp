// Reference models of the brush engine (the file name joins it to the test program).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "brush/brush_reference.h"

namespace brush_ref {
namespace {

int64_t Min(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max(int64_t a, int64_t b) { return a > b ? a : b; }
int64_t Abs(int64_t a) { return a < 0 ? -a : a; }

// The per-channel formula of blend rules 34..48, read from the rule table.
int64_t BlendFormula(int32_t rule, int64_t s, int64_t d) {
  switch (rule) {
    case 34:
      return 65535 - (((65535 - d) * (65535 - s)) >> 16);
    case 35:
      return Min(s, d);
    case 36:
      return Max(s, d);
    case 37:
      return Abs(d - s);
    case 38:
      return 65535 - Abs(65535 - d - s);
    case 39:
      return d + s - ((d * s) >> 15);
    case 40:
      return d < 0x7FFF ? (d * s) >> 15 : 65535 - (((65535 - d) * (65535 - s)) >> 15);
    case 41:
      return s < 0x7FFF ? (d * s) >> 15 : 65535 - (((65535 - d) * (65535 - s)) >> 15);
    case 42: {
      const double sg = s / 65535.0, dl = d / 65535.0;
      double res;
      if (sg >= 0.5)
        res = 2 * dl * (1 - sg) + (2 * sg - 1) * std::sqrt(dl);
      else
        res = ((1 - 2 * sg) * dl + 2 * sg) * dl;
      return int64_t(res * 65535);
    }
    case 43: {
      if (s == 65535) return 65535;
      const int64_t v = (d * 65536) / (65535 - s);
      return v >= 65536 ? 65535 : v;
    }
    case 44: {
      if (s == 0) return 0;
      const int64_t v = 65535 - ((65535 - d) * 65536) / s;
      return v < 0 ? 0 : v;
    }
    case 45: {
      if (s == 65535) return 65535;
      const int64_t v = (d * d) / (65535 - s);
      return v >= 65536 ? 65535 : v;
    }
    case 46: {
      if (d == 65535) return 65535;
      const int64_t v = (s * s) / (65535 - d);
      return v >= 65536 ? 65535 : v;
    }
    case 47:
      return Min(s + d, 65535);
    case 48:
      return Max(d + s - 65535, 0);
  }
  std::abort();
}

int64_t Grey(const int64_t c[4]) { return (c[0] + c[1] + c[2]) / 3; }
int64_t Bright(const int64_t c[4]) { return (3 * c[0] + c[2] + 4 * c[1]) >> 3; }

// The colour of a bank-and-threshold rule (249..255, 261, 262) for channel ch, with src the
// source, dst the target; true when the rule has one.
bool BankColour(const RuleSettings& r, int32_t rule, const int64_t src[4], const int64_t dst[4],
                int ch, int64_t& x) {
  const int64_t L = Grey(src);
  const int64_t s = src[ch];
  switch (rule) {
    case 249:
      x = r.bank[L < 0x7FFF ? 0 : 1][ch];
      return true;
    case 250:
      x = r.bank[L < 0x5555 ? 0 : (L < 0xAAAA ? 1 : 2)][ch];
      return true;
    case 251:
      x = r.bank[L < 0x3FFF ? 0 : (L < 0x7FFF ? 1 : (L < 0xBFFF ? 2 : 3))][ch];
      return true;
    case 252:
      if (L < 0x7FFF) {
        const int64_t f = (2 * L) >> 8;
        x = (r.bank[1][ch] * f + r.bank[0][ch] * (256 - f)) >> 8;
      } else {
        const int64_t f = (2 * L - 0xFFFE) >> 8;
        x = (r.bank[1][ch] * (256 - f) + r.bank[2][ch] * f) >> 8;
      }
      return true;
    case 253:
      x = L < 0x7FFF ? r.bank[0][ch] : dst[ch];
      return true;
    case 254:
      x = L > 0x7FFF ? r.bank[0][ch] : dst[ch];
      return true;
    case 255:
      x = L < 0x4FFF ? r.bank[0][ch] : (L < 0xC000 ? s : r.bank[1][ch]);
      return true;
    case 261:
      x = s < 0x2AAA ? 0 : s < 0x7FFF ? 0x5555 : s < 0xD555 ? 0xAAAA : 0xFFFF;
      return true;
    case 262:
      x = s < 0x5555 ? 0 : s < 0xAAAA ? 0x7FFF : 0xFFFF;
      return true;
  }
  return false;
}

}  // namespace

void MixRulePixel(const RuleSettings& r, int64_t a, int64_t s[4], int64_t d[4], int64_t n[3],
                  int64_t& na, int& draws) {
  const int64_t m = r.amount, mi = 256 - r.amount;
  // 1. Pre-mix of the target colour.
  if (d[3] == 0) {
    for (int c = 0; c < 3; ++c) d[c] = s[c];
  } else if (d[3] < 65535) {
    const int64_t w = Min((((65535 - d[3]) * a) >> 16) * 3, 65535);
    for (int c = 0; c < 3; ++c) d[c] = ((((65535 - w) * d[c]) >> 8) + ((w * s[c]) >> 8)) >> 8;
  }
  // 2, 3.
  if (r.erase) s[3] = 0;
  int64_t A = s[3];
  int64_t dd[3] = {d[0], d[1], d[2]};  // the colour the coverage compositing lays over
  auto weighted = [&](int64_t x, int64_t sc) { return (((mi * sc) >> 4) + ((x * m) >> 4)) >> 4; };
  const int rule = r.mode;
  const int64_t L = Grey(s);
  if (rule == 253 || rule == 254) ++draws;
  for (int c = 0; c < 3; ++c) {
    int64_t x;
    if (rule >= 34 && rule <= 48) {
      n[c] = weighted(BlendFormula(rule, s[c], d[c]), s[c]);
    } else if (BankColour(r, rule, s, d, c, x)) {
      n[c] = weighted(x, s[c]);
    } else if (rule >= 256 && rule <= 258) {
      const bool inBand = rule == 256   ? L >= 0x4FFF
                          : rule == 257 ? L < 0xC000
                                        : (L >= 0x4FFF && L < 0xC000);
      if (inBand) {
        n[c] = (((mi * s[c]) >> 4) + ((m * s[c]) >> 4)) >> 4;
      } else {
        n[c] = d[c];
        A = d[3];
      }
    } else if (rule == 259 || rule == 260) {
      const bool inBand = rule == 259 ? L < 0x3000 : L >= 0xDFFF;
      if (inBand) {
        n[c] = (((r.bank[0][c] * m) >> 4) + ((mi * s[c]) >> 4)) >> 4;
      } else {
        n[c] = d[c];
        A = d[3];
      }
    } else if (rule == 295) {
      n[c] = r.shift < 0 ? 0 : (s[c] >> r.shift) << r.shift;
    } else if (rule == 340) {
      n[c] = 0x7FFF;
      dd[c] = 0x7FFF;
      A = (s[0] + s[1] + s[2]) / 3;
    } else if (rule == 387) {
      n[c] = weighted(Bright(s) <= Bright(d) ? s[c] : d[c], s[c]);
    } else if (rule == 388) {
      n[c] = weighted(Bright(d) <= Bright(s) ? s[c] : d[c], s[c]);
    } else {
      n[c] = s[c];  // the engine's choice for unlisted rule numbers: the source colour
    }
  }
  // 5. Coverage compositing.
  if (a < 65535) {
    const int64_t k = 65536 - a;
    for (int c = 0; c < 3; ++c)
      n[c] = Min(65535, ((((n[c] * a) >> 8) + ((k * dd[c]) >> 8)) >> 8) + 1);
    na = (((A * a) >> 8) + ((k * d[3]) >> 8)) >> 8;
  } else {
    na = A;
  }
}

void LowRulePixel(int32_t mode, bool blending, bool erase, int64_t a, const int64_t s[4],
                  int64_t d[4], int64_t n[3], int64_t& na) {
  const int64_t Da = d[3];
  for (int c = 0; c < 3; ++c) n[c] = d[c];
  if (Da == 0) {
    for (int c = 0; c < 3; ++c) n[c] = s[c], d[c] = 0;
    na = (a * s[3]) >> 16;
  } else if (blending && mode == 32) {
    const int64_t k = 65536 - a;
    na = (((k * Da) >> 8) + ((a * s[3]) >> 8)) >> 8;
    if (s[3] != 0) {
      for (int c = 0; c < 3; ++c) n[c] = (((k * d[c]) >> 8) + ((a * s[c]) >> 8)) >> 8;
    }
  } else if (erase) {
    na = ((65535 - a) * Da) >> 16;
  } else if (mode == 32) {
    const int64_t p = (a * s[3]) >> 16, q = 65535 - p;
    na = (((65535 - Da) * p) >> 16) + Da;
    for (int c = 0; c < 3; ++c) {
      const int64_t kept = ((((d[c] * Da) >> 16) * q) >> 16) << 16;
      const int64_t laid = ((p * s[c]) >> 16) * 65536;
      n[c] = Min((kept + laid) / na, 65535);  // the engine limits instead of wrapping
    }
  } else {
    const int64_t p = (a * s[3]) / 65535;
    na = ((65535 - Da) * p) / 65535 + Da;
    for (int c = 0; c < 3; ++c) {
      const int64_t ps = (p * s[c]) >> 16, pd = (d[c] * Da) >> 16;
      const int64_t sum = (65535 - p) * pd / 65535 + (65535 - Da) * ps / 65535 + pd * ps / 65535;
      n[c] = Min(sum * 65535 / na, 65535);
    }
  }
}

void BlendMixRule(const RuleSettings& r, const int64_t q[4], const int64_t p[4], int64_t x[3],
                  int64_t& xa, int& draws) {
  const int rule = r.mode;
  const int64_t L = Grey(q);
  xa = q[3];
  if (rule == 253 || rule == 254) ++draws;
  for (int c = 0; c < 3; ++c) {
    int64_t v;
    if (rule == 33) {
      x[c] = (q[c] * p[c]) >> 16;
    } else if (rule >= 34 && rule <= 48) {
      x[c] = BlendFormula(rule, q[c], p[c]);
    } else if (BankColour(r, rule, q, p, c, v)) {
      x[c] = v;
    } else if (rule == 256 || rule == 257 || rule == 258) {
      const bool carried = rule == 256   ? !(L < 0x4FFF)
                           : rule == 257 ? !(L > 0xBFFF)
                                         : (L >= 0x4FFF && L <= 0xBFFF);
      x[c] = carried ? q[c] : p[c];
      if (!carried) xa = p[3];
    } else if (rule == 259 || rule == 260) {
      const bool bank = rule == 259 ? L <= 0x2FFF : L >= 0xDFFF;
      x[c] = bank ? r.bank[0][c] : p[c];
      if (!bank) xa = p[3];
    } else if (rule == 295) {
      x[c] = r.shift < 0 ? 0 : (q[c] >> r.shift) << r.shift;
    } else if (rule == 340) {
      x[c] = 0x7FFF;
      xa = (q[0] + q[1] + q[2]) / 3;
    } else if (rule == 387) {
      x[c] = Bright(p) >= Bright(q) ? q[c] : p[c];
    } else if (rule == 388) {
      x[c] = Bright(p) <= Bright(q) ? q[c] : p[c];
    } else {
      x[c] = q[c];
    }
  }
}

void ColourDab(DabWorld& w, int32_t x, int32_t y, const int64_t colour[4]) {
  const int32_t size = w.scaledSize, half = w.brushSize / 2;
  const int32_t left = x - size / 2, top = y - size / 2;
  const bool blending = w.blendStrength != 0 && !w.blendOff;
  for (int32_t j = 0; j < size; ++j) {
    for (int32_t i = 0; i < size; ++i) {
      const int32_t cx = left + i, cy = top + j;
      if (cx < 0 || cy < 0 || cx >= w.width || cy >= w.height) continue;
      int32_t row = w.sizeIndex[j], col = w.sizeIndex[i];
      if (w.rotate) {
        const int32_t dx = col - half, dy = row - half;
        const float fx = w.cosine * float(dx) - w.sine * float(dy);
        const float fy = w.sine * float(dx) + w.cosine * float(dy);
        const int32_t rx = int32_t(std::trunc(fx)) + half, ry = int32_t(std::trunc(fy)) + half;
        if (rx >= 0 && rx < w.brushSize && ry >= 0 && ry < w.brushSize) row = ry, col = rx;
      }
      const std::size_t sp = std::size_t(row) * w.maxBrush + col;
      if (w.grit && w.grit[sp] > w.density) continue;
      int64_t a = w.shape[sp];
      if (w.alphaPercent < 100) a = (a * w.alphaScaled) >> 7;
      const std::size_t ci = std::size_t(cy) * w.width + cx;
      if (!w.texture.empty() && w.texture[ci] < 255) a = (w.texture[ci] * a) >> 8;
      if (w.maskEnabled && w.mask[ci] < 65535) a = (w.mask[ci] * a) >> 16;
      if (a == 0) continue;
      if (w.solid) a = 65535;
      int64_t s[4];
      uint16_t* q = &w.blend[sp * 4];
      if (blending) {
        for (int c = 0; c < 4; ++c) s[c] = q[c];
        if (w.imageBrush && s[3] < 65535) {
          a = Max((a * s[3]) >> 16, 1);
          s[3] = 65535;
        }
        if (w.primary != 0) {
          for (int c = 0; c < 4; ++c) s[c] = (w.primaryInverse * s[c] + w.primary * colour[c]) >> 8;
        }
      } else {
        for (int c = 0; c < 4; ++c) s[c] = colour[c];
      }
      uint16_t* t = &w.target[ci * 4];
      int64_t d[4] = {t[0], t[1], t[2], t[3]};
      const int64_t Da = d[3];
      int64_t n[3], na;
      int draws = 0;
      if (w.rule.mode <= 33) {
        LowRulePixel(w.rule.mode, blending, w.erase, a, s, d, n, na);
      } else {
        RuleSettings r = w.rule;
        r.erase = w.erase;
        MixRulePixel(r, a, s, d, n, na, draws);
      }
      if (blending && w.remix) {
        const int64_t bs = w.blendStrength, bi = w.blendInverse;
        if (s[3] == 0) {
          q[0] = uint16_t(d[0]), q[1] = uint16_t(d[1]), q[2] = uint16_t(d[2]);
          q[3] = uint16_t((d[3] * bi) >> 8);
        } else if (d[3] == 0) {
          q[0] = uint16_t(s[0]), q[1] = uint16_t(s[1]), q[2] = uint16_t(s[2]);
          q[3] = uint16_t((bs * s[3]) >> 8);
        } else {
          for (int c = 0; c < 3; ++c)
            q[c] = uint16_t(Min(65535, ((d[c] * bi + bs * s[c]) >> 8) + 1));
          q[3] = uint16_t((d[3] * bi + bs * s[3]) >> 8);
        }
      }
      if (!w.erase) {
        if (!w.colorLocked) t[0] = uint16_t(n[0]), t[1] = uint16_t(n[1]), t[2] = uint16_t(n[2]);
        if (w.alphaWritable && (!w.blobLocked || (Da > 0x1FFF && na > 0x1FFF))) {
          t[3] = uint16_t(w.alphaLevel > 0 ? w.alphaLevel : na);
        }
      } else if (!w.blobLocked) {
        t[3] = uint16_t(na);
      } else if (Da > 0x1FFF) {
        t[3] = uint16_t(Max(na, 0x23FF));
      }
    }
  }
}

}  // namespace brush_ref
