// The reference model of the own effects (support code; its name joins it to the test program).
#include "process/effects/own_effect_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "engine/colour_models.h"

namespace effects_model {

namespace {

struct Ctx {
  Run& run;
  int w, h;
  bool chain;
  double s[7];  // s[1..6]
  int o1, o2;
  int o[9];  // o[3..8], low bytes
  double red, green, blue;

  std::vector<uint8_t>& Reading() { return chain ? run.dst : run.src; }
  bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  int Get(int x, int y, int c) {
    if (!In(x, y)) return 0;
    return Reading()[(std::size_t(y) * w + x) * 4 + c];
  }
  int Lum(int x, int y) { return (Get(x, y, 0) + Get(x, y, 1) + Get(x, y, 2)) / 3; }
  void Put(int x, int y, int c, long long v) {
    if (!In(x, y)) return;
    run.dst[(std::size_t(y) * w + x) * 4 + c] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
  int& At(int x, int y, int c) = delete;
};

long long T(double v) { return static_cast<long long>(v); }  // truncation toward zero
constexpr double k255 = 0.00392156862745098;

// The eight scan passes shared by the smearing effects, walked literally: horizontal passes row by
// row, vertical passes column by column. pair(prevX, prevY, nextX, nextY, besideX, besideY).
using Pair = std::function<void(int, int, int, int, int, int)>;

void Horizontal(int x0, int x1, int s, int y0, int y1, int ys, const Pair& pair) {
  for (int y = y0; ys > 0 ? y < y1 : y > y1; y += ys)
    for (int x = x0; s > 0 ? x < x1 : x > x1; x += s) pair(x, y, x + s, y, x + s, y + ys);
}
void Vertical(int c0, int c1, int cs, int y0, int y1, int s, const Pair& pair) {
  for (int x = c0; cs > 0 ? x < c1 : x > c1; x += cs)
    for (int y = y0; s > 0 ? y < y1 : y > y1; y += s) pair(x, y, x, y + s, x + cs, y + s);
}
void EightPasses(int W, int H, const Pair& pair) {
  Horizontal(0, W - 2, 1, 0, H - 2, 1, pair);
  Horizontal(W - 1, 1, -1, H - 1, 1, -1, pair);
  Horizontal(W - 1, 1, -1, 1, H - 1, 1, pair);
  Horizontal(0, W - 2, 1, H - 1, 1, -1, pair);
  Vertical(0, W - 2, 1, 0, H - 2, 1, pair);
  Vertical(W - 1, 1, -1, H - 1, 1, -1, pair);
  Vertical(W - 1, 1, -1, 0, H - 2, 1, pair);
  Vertical(0, W - 2, 1, H - 1, 1, -1, pair);
}

void Smear(Ctx& c, long long w, int px, int py, int nx, int ny) {
  for (int k = 0; k < 4; ++k) {
    const long long next = c.Get(nx, ny, k), prev = c.Get(px, py, k);
    c.Put(nx, ny, k, (((w * next) >> 8) + (((65535 - w) * prev) >> 8)) >> 8);
  }
}

void WriteHSL(Ctx& c, int x, int y, double h, double s, double l) {
  uint8_t r, g, b;
  engine::HSLToRGB(std::clamp(h, 0.0, 359.0), std::clamp(s, 0.0, 1.0), std::clamp(l, 0.0, 1.0), &r,
                   &g, &b);
  c.Put(x, y, 0, r), c.Put(x, y, 1, g), c.Put(x, y, 2, b);
}

void WriteFractions(Ctx& c, int x, int y, const double v[4]) {
  for (int k = 0; k < 4; ++k) c.Put(x, y, k, T(std::clamp(v[k], 0.0, 1.0) * 255));
}

void ValueBlur(Ctx& c) {
  c.chain = true;
  const long long a = T(c.s[1] * 65535), b = T(c.s[2] * 65535);
  EightPasses(c.w, c.h, [&](int px, int py, int nx, int ny, int, int) {
    const int lp = c.Lum(px, py), ln = c.Lum(nx, ny);
    const long long w = lp > ln ? a : lp < ln ? b : 0;
    if (w != 0) Smear(c, w, px, py, nx, ny);
  });
}

void NoiseReduction(Ctx& c) {
  c.s[1] = 1 - c.s[1] * 0.5;
  c.chain = true;
  const int t = int(T(c.s[2] * 255));
  const long long k = T(c.s[1] * 65535);
  EightPasses(c.w, c.h, [&](int px, int py, int nx, int ny, int, int) {
    if (std::abs(c.Lum(px, py) - c.Lum(nx, ny)) < t) Smear(c, k, px, py, nx, ny);
  });
}

void NoiseReductionRGB(Ctx& c) {
  for (int i : {1, 3, 5}) c.s[i] = 1 - c.s[i] * 0.5;
  c.chain = true;
  EightPasses(c.w, c.h, [&](int px, int py, int nx, int ny, int, int) {
    for (int ch = 0; ch < 3; ++ch) {
      const int t = int(T(c.s[2 * ch + 2] * 255));
      const long long k = T(c.s[2 * ch + 1] * 65535);
      const long long prev = c.Get(px, py, ch), next = c.Get(nx, ny, ch);
      if (std::abs(prev - next) < t)
        c.Put(nx, ny, ch, (((prev * (65535 - k)) >> 8) + ((k * next) >> 8)) >> 8);
    }
  });
}

void AntiAlias(Ctx& c) {
  c.chain = true;
  const int t1 = int(T((1 - c.s[3]) * 255)), t2 = int(T((1 - c.s[4]) * 255));
  EightPasses(c.w, c.h, [&](int px, int py, int nx, int ny, int bx, int by) {
    const int lc = c.Lum(px, py), ln = c.Lum(nx, ny), d = c.Lum(bx, by);
    double m;
    if (lc - ln > t1 && lc <= d)
      m = c.s[1];
    else if (ln - lc > t2 && d <= lc)
      m = c.s[2];
    else
      return;
    for (int k = 0; k < 4; ++k)
      c.Put(nx, ny, k, T(c.Get(nx, ny, k) * m + c.Get(px, py, k) * (1 - m)));
  });
}

void Grayscale(Ctx& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const int l = c.Lum(x, y);
      c.Put(x, y, 0, l), c.Put(x, y, 1, l), c.Put(x, y, 2, l);
    }
}

void Invert(Ctx& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      for (int k = 0; k < 3; ++k) c.Put(x, y, k, 255 - c.Get(x, y, k));
}

void Threshold(Ctx& c, int t) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const int v = c.Lum(x, y) >= t ? 255 : 0;
      c.Put(x, y, 0, v), c.Put(x, y, 1, v), c.Put(x, y, 2, v);
    }
}

void HyperContrast(Ctx& c) {
  long long a = T((1 - c.s[1]) * 255);
  if (a == 0) a = 1;
  if (a >= 250) a = 250;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      double hh, ss, l;
      engine::RGBToHSL(c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2), &hh, &ss, &l);
      int out[3];
      for (int k = 0; k < 3; ++k) {
        const long long v = c.Get(x, y, k);
        out[k] = int(std::clamp<long long>(
            T((1 - l) * (255 - (255 - v) * (255 - v) / a) + l * (v * v / a)), 0, 255));
      }
      for (int k = 0; k < 3; ++k) c.Put(x, y, k, out[k]);
    }
}

void BasRelief(Ctx& c) {
  for (int y = 1; y <= c.h - 2; ++y)
    for (int x = 1; x <= c.w - 2; ++x) {
      int nx = x, ny = y;
      if (c.o1 == 0)
        nx = x - 1;
      else if (c.o1 == 1)
        ny = y - 1;
      else if (c.o1 == 2)
        nx = x - 1, ny = y - 1;
      double h, s, l, nh, ns, nl;
      engine::RGBToHSL(c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2), &h, &s, &l);
      engine::RGBToHSL(c.Get(nx, ny, 0), c.Get(nx, ny, 1), c.Get(nx, ny, 2), &nh, &ns, &nl);
      const double k = c.s[1];
      if (l > nl) l += (1 - l) * k;
      if (l < nl) l -= l * k;
      if (s > ns) s += (1 - s) * k;
      if (s < ns) s -= s * k;
      WriteHSL(c, x, y, h, std::clamp(s, 0.0, 1.0), std::clamp(l, 0.0, 1.0));
    }
}

void Channel(Ctx& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      int p[4] = {c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2), c.Get(x, y, 3)};
      for (int ch = 0; ch < 3; ++ch) {
        if (c.o[3 + ch] != 1) continue;
        const int v = p[ch];
        if (v > 0) {
          p[0] = p[1] = p[2] = 0;
          p[ch] = 255, p[3] = v;
        } else {
          p[0] = p[1] = p[2] = p[3] = 0;
        }
      }
      for (int k = 0; k < 4; ++k) c.Put(x, y, k, p[k]);
    }
}

void MaskDetail(Ctx& c) {
  if (!c.run.mask) return;
  const int t = int(T(c.s[1] * 255));
  for (int y = 1; y <= c.h - 2; ++y)
    for (int x = 1; x <= c.w - 2; ++x) {
      bool detail = false;
      for (int k = 0; k < 3; ++k) {
        const int v = c.Get(x, y, k);
        const bool both_h =
            std::abs(v - c.Get(x - 1, y, k)) > t && std::abs(v - c.Get(x + 1, y, k)) > t;
        const bool both_v =
            std::abs(v - c.Get(x, y - 1, k)) > t && std::abs(v - c.Get(x, y + 1, k)) > t;
        if (both_h || both_v) detail = true;
      }
      if (detail) (*c.run.mask)[std::size_t(y) * c.w + x] = uint16_t(T((1 - c.s[2]) * 65535));
    }
}

void AdjustLab(Ctx& c) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      double X, Y, Z, L, A, B;
      engine::RGBToXYZ(c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2), &X, &Y, &Z);
      engine::XYZToLab(X, Y, Z, &L, &A, &B);
      L += (c.s[1] - 0.5) * 200, A += (c.s[2] - 0.5) * 200, B += (c.s[3] - 0.5) * 200;
      uint8_t r, g, b;
      engine::LabToRGB(L, A, B, &r, &g, &b);
      c.Put(x, y, 0, r), c.Put(x, y, 1, g), c.Put(x, y, 2, b);
    }
}

void Fader(Ctx& c) {
  int left = 0, top = 0, right = c.w - 1, bottom = c.h - 1;
  if (c.o[3] == 1) {  // bounds of non-zero alpha in what the effect reads
    left = c.w, top = c.h, right = -1, bottom = -1;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        if (c.Get(x, y, 3) != 0)
          left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
          bottom = std::max(bottom, y);
  }
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const double fx = right == left
                            ? 2 * c.s[3]
                            : 2 * c.s[3] + (2 * c.s[4] - 2 * c.s[3]) * (x - left) / (right - left);
      const double fy = bottom == top
                            ? 2 * c.s[1]
                            : 2 * c.s[1] + (2 * c.s[2] - 2 * c.s[1]) * (y - top) / (bottom - top);
      const double f = fx * fy;
      if (c.o[4] == 1 || c.o[5] == 1) {
        double h, s, l;
        engine::RGBToHSL(c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2), &h, &s, &l);
        if (c.o[4] == 1) s = std::clamp(s * f, 0.0, 1.0);
        if (c.o[5] == 1) l = std::clamp(l * f, 0.0, 1.0);
        uint8_t r, g, b;
        engine::HSLToRGB(h, s, l, &r, &g, &b);
        const int a = c.Get(x, y, 3);
        c.Put(x, y, 0, r), c.Put(x, y, 1, g), c.Put(x, y, 2, b);
        if (c.o[6] == 1) c.Put(x, y, 3, T(f * a));
      } else if (c.o[6] == 1) {
        c.Put(x, y, 3, T(f * c.Get(x, y, 3)));
      }
    }
}

void Clamp(Ctx& c) {
  const double t1 = c.s[1] * 255, t2 = c.s[3] * 255;
  const long long r1 = T(c.s[2] * 255), r2 = T(c.s[4] * 255);
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      long long v[4];
      for (int k = 0; k < 4; ++k) {
        v[k] = c.Get(x, y, k);
        if (c.o[3 + k] == 1) {
          if (v[k] < t1) v[k] = r1;
          if (v[k] > t2) v[k] = r2;
        }
      }
      for (int k = 0; k < 4; ++k) c.Put(x, y, k, v[k]);
    }
}

void Borderize(Ctx& c) {
  const int W = c.w, H = c.h;
  const long long n = T(std::min(W, H) / 2 * c.s[2]);
  const double g = c.s[1];
  for (int k = 0; k < n; ++k) {
    int x, y;
    if (g < 0.25)
      x = int(T(4 * g * W)), y = k;
    else if (g < 0.5)
      x = W - 1 - k, y = int(T(4 * (g - 0.25) * H));
    else if (g < 0.75)
      x = int(T(W - W * 4 * (g - 0.5))), y = H - 1 - k;
    else
      x = k, y = int(T(H - H * 4 * (g - 0.75)));
    const int col[3] = {c.Get(x, y, 0), c.Get(x, y, 1), c.Get(x, y, 2)};
    for (int i = k; i <= W - 1 - k; ++i)
      for (int ch = 0; ch < 3; ++ch) c.Put(i, k, ch, col[ch]), c.Put(i, H - 1 - k, ch, col[ch]);
    for (int j = k; j <= H - 1 - k; ++j)
      for (int ch = 0; ch < 3; ++ch) c.Put(k, j, ch, col[ch]), c.Put(W - 1 - k, j, ch, col[ch]);
  }
}

void Reflection(Ctx& c) {
  const int H = c.h;
  const long long m0 = std::max<long long>(T((1 - c.s[1]) * (H - 1)), 0);
  long long shared = 0;
  if (c.o[3] == 1)
    for (int x = 0; x < c.w; ++x)
      for (int y = H - 1; y >= 0; --y)
        if (c.Get(x, y, 3) > 253) {
          shared = std::max<long long>(shared, y);
          break;
        }
  for (int x = 0; x < c.w; ++x) {
    long long n;
    if (c.o[3] == 1) {
      n = shared;
    } else if (c.o[4] == 1) {
      n = m0 - 1;
    } else {
      n = m0 - 1;
      for (long long y = H - 1; y >= m0 + 1; --y)
        if (c.Get(x, int(y), 3) != 0) {
          n = y;
          break;
        }
    }
    if (n < 0) n = 0;
    if (n >= H - 1) continue;
    double r = double(n - 1), f = c.s[2];
    const double step = (c.s[2] - (1 - c.s[3]) * c.s[2]) / std::max(H / 16, 1);
    for (long long j = n; j <= H - 1; ++j) {
      const int ry = int(T(r));
      for (int k = 0; k < 3; ++k) c.Put(x, int(j), k, c.Get(x, ry, k));
      c.Put(x, int(j), 3, T(c.Get(x, ry, 3) * f));
      r -= c.s[4] * 4;
      f -= step;
    }
  }
}

void DetailBlur(Ctx& c) {
  const int t = int(T(c.s[1] * 255));
  for (int y = 1; y <= c.h - 2; ++y)
    for (int x = 1; x <= c.w - 2; ++x) {
      int sumL = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) sumL += c.Lum(x + i, y + j);
      const long long m = T(sumL * (1.0 / 9));
      if (std::abs(c.Lum(x, y) - m) <= t) continue;
      long long out[4];
      for (int k = 0; k < 4; ++k) {
        int sum = 0;
        for (int j = -1; j <= 1; ++j)
          for (int i = -1; i <= 1; ++i) sum += c.Get(x + i, y + j, k);
        out[k] = T(sum * (1.0 / 9));
      }
      for (int k = 0; k < 4; ++k) c.Put(x, y, k, out[k]);
    }
}

void AdaptiveBlur(Ctx& c) {
  const double g = (1 - c.s[1]) * 255;
  const int nx[4] = {-1, 1, 0, 0}, ny[4] = {0, 0, -1, 1};
  for (int y = 1; y <= c.h - 2; ++y)
    for (int x = 1; x <= c.w - 2; ++x) {
      const int L = c.Lum(x, y);
      int which = 0;  // 1 brighter, 2 darker
      for (int i = 0; i < 4 && !which; ++i) {
        const int N = c.Lum(x + nx[i], y + ny[i]);
        if (L - N > g)
          which = 1;
        else if (N - L > g)
          which = 2;
      }
      if (!which) continue;
      const double w = which == 1 ? c.s[2] : c.s[3];
      long long out[4];
      for (int k = 0; k < 4; ++k) {
        const long long P = T(c.Get(x, y, k) * (1 - w));
        long long S = 0;
        for (int i = 0; i < 4; ++i) S = T(c.Get(x + nx[i], y + ny[i], k) * w + S + P);
        out[k] = S / 4;
      }
      for (int k = 0; k < 4; ++k) c.Put(x, y, k, out[k]);
    }
}

void LineArtCleaner(Ctx& c) {
  const int t1 = int(T(c.s[1] * 255)), t2 = int(T(c.s[2] * 255));
  Threshold(c, t1);
  c.run.src = c.run.dst;
  for (int y = 1; y <= c.h - 2; ++y)
    for (int x = 1; x <= c.w - 2; ++x) {
      const int L = c.Lum(x, y);
      if (L >= t1) continue;
      int sum = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) sum += c.Lum(x + i, y + j);
      if (L < T(sum * (1.0 / 9)) - t2)
        c.Put(x, y, 0, 255), c.Put(x, y, 1, 255), c.Put(x, y, 2, 255);
    }
}

// Vignette with its rectangle and no blur (slider 4 = 0): the weight is 1 inside the centred
// rectangle (right and bottom exclusive) and 0 outside.
void VignetteRectangle(Ctx& c) {
  const int shorter = std::min(c.w, c.h);
  const int hx = c.o[7] == 1 ? shorter / 2 : c.w / 2, hy = c.o[7] == 1 ? shorter / 2 : c.h / 2;
  const int cx = c.w / 2, cy = c.h / 2;
  if (c.s[1] == 0) c.s[1] = 0.001;
  const double T3[3] = {c.o[8] == 1 ? c.run.paint[0] : c.s[1],
                        c.o[8] == 1 ? c.run.paint[1] : c.s[2],
                        c.o[8] == 1 ? c.run.paint[2] : c.s[3]};
  const double k = c.o[4] == 1 ? 0 : 1;
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const bool inside = x >= cx - hx && x < cx + hx && y >= cy - hy && y < cy + hy;
      double v = inside ? 255 * k255 : 0;
      if (c.o[5] == 1) v = 1 - v;
      double p[4];
      for (int i = 0; i < 4; ++i) p[i] = c.Get(x, y, i) * k255;
      const double a = p[3];
      if (c.o[3] == 1)
        for (int i = 0; i < 3; ++i) p[i] = a == 0 ? T3[i] : v * p[i] + (1 - v) * T3[i];
      p[3] = a * v + (1 - v) * k;
      WriteFractions(c, x, y, p);
    }
}

}  // namespace

void RunModel(const std::string& name, const Args& args, Run& run) {
  Ctx c{run, run.w, run.h, args.chain != 0, {}, args.options[0], args.options[1], {}, 0, 0, 0};
  for (int k = 0; k < 6; ++k) c.s[k + 1] = args.sliders[k] * 0.001;
  for (int k = 2; k < 8; ++k) c.o[k + 1] = args.options[k] & 0xFF;
  c.red = args.red * k255, c.green = args.green * k255, c.blue = args.blue * k255;
  if (!c.chain) run.dst = run.src;
  if (name == "Value Blur")
    ValueBlur(c);
  else if (name == "Noise Reduction")
    NoiseReduction(c);
  else if (name == "Noise Reduction RGB")
    NoiseReductionRGB(c);
  else if (name == "Anti Alias")
    AntiAlias(c);
  else if (name == "Grayscale")
    Grayscale(c);
  else if (name == "Invert")
    Invert(c);
  else if (name == "Basic Threshold")
    Threshold(c, int(T(c.s[1] * 255)));
  else if (name == "Hyper Contrast")
    HyperContrast(c);
  else if (name == "Bas Relief")
    BasRelief(c);
  else if (name == "Channel")
    Channel(c);
  else if (name == "Mask Detail")
    MaskDetail(c);
  else if (name == "Adjust Lab")
    AdjustLab(c);
  else if (name == "Fader")
    Fader(c);
  else if (name == "Clamp")
    Clamp(c);
  else if (name == "Borderize")
    Borderize(c);
  else if (name == "Reflection")
    Reflection(c);
  else if (name == "Detail Blur")
    DetailBlur(c);
  else if (name == "Adaptive Blur")
    AdaptiveBlur(c);
  else if (name == "Line Art Cleaner")
    LineArtCleaner(c);
  else if (name == "Vignette")
    VignetteRectangle(c);
}

}  // namespace effects_model
