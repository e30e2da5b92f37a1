#include "process/effects/bas_relief.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "engine/heap.h"
#include "engine/parallel_rows.h"
#include "engine/colour_models.h"
#include "process/effects/colour_memo.h"

namespace process {

namespace {

struct Hsl {
  double h, s, l;
};

Hsl HslOf(const uint8_t* p) {
  Hsl c;
  engine::RGBToHSL(p[0], p[1], p[2], &c.h, &c.s, &c.l);
  return c;
}

// Which way the pixel moves from its neighbour: 0 stays, 1 up, 2 down, for lightness (low bits)
// and saturation (high bits).
inline uint32_t Direction(const Hsl& p, const Hsl& n) {
  const uint32_t l = p.l > n.l ? 1 : p.l < n.l ? 2 : 0;
  const uint32_t s = p.s > n.s ? 1 : p.s < n.s ? 2 : 0;
  return l | s << 2;
}

// The pixel's HSL moved away from its neighbour's by s, in the given direction, as bytes through
// the HSL writer's limits.
inline void ReliefColour(Hsl p, uint32_t direction, double s, uint8_t out[3]) {
  if ((direction & 3) == 1)
    p.l += (1 - p.l) * s;
  else if ((direction & 3) == 2)
    p.l -= p.l * s;
  if ((direction >> 2) == 1)
    p.s += (1 - p.s) * s;
  else if ((direction >> 2) == 2)
    p.s -= p.s * s;
  engine::HSLToRGB(std::clamp(p.h, 0.0, 359.0), std::clamp(p.s, 0.0, 1.0),
                   std::clamp(p.l, 0.0, 1.0), &out[0], &out[1], &out[2]);
}

// Lightness and saturation depend on a colour's largest and smallest byte alone (the conversion
// scales each byte by the same factor, which keeps their order). The rank of each value among
// those of every (largest, smallest) pair orders two colours exactly as the values do, equal
// values sharing a rank, so a pixel's direction from its neighbour needs no conversion at all.
struct HslRanks {
  uint16_t l, s;
};

inline uint32_t RankIndex(const uint8_t* p) {
  const uint32_t hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
  return hi << 8 | lo;
}

const HslRanks* RankTable() {
  static HslRanks table[256 * 256];
  static std::once_flag filled;
  std::call_once(filled, [] {
    std::vector<double> ls, ss;
    for (int hi = 0; hi < 256; ++hi)
      for (int lo = 0; lo <= hi; ++lo) {
        const Hsl c = HslOf(std::array<uint8_t, 3>{uint8_t(hi), uint8_t(lo), uint8_t(lo)}.data());
        ls.push_back(c.l), ss.push_back(c.s);
      }
    auto ranks = [](std::vector<double> values) {
      std::sort(values.begin(), values.end());
      values.erase(std::unique(values.begin(), values.end()), values.end());
      return values;
    };
    const std::vector<double> lOrder = ranks(ls), sOrder = ranks(ss);
    auto rank = [](const std::vector<double>& order, double v) {
      return uint16_t(std::lower_bound(order.begin(), order.end(), v) - order.begin());
    };
    std::size_t i = 0;
    for (int hi = 0; hi < 256; ++hi)
      for (int lo = 0; lo <= hi; ++lo, ++i)
        table[hi << 8 | lo] = {rank(lOrder, ls[i]), rank(sOrder, ss[i])};
  });
  return table;
}

inline uint32_t Direction(HslRanks p, HslRanks n) {
  const uint32_t l = p.l > n.l ? 1 : p.l < n.l ? 2 : 0;
  const uint32_t s = p.s > n.s ? 1 : p.s < n.s ? 2 : 0;
  return l | s << 2;
}

inline void Relief(const EffectContext& context, int32_t x, int32_t y, const Hsl& p, const Hsl& n,
                   double s) {
  if (!context.Inside(x, y)) return;
  uint8_t* q = context.WriteRow(y) + std::ptrdiff_t(x) * 4;
  ReliefColour(p, Direction(p, n), s, q);
}

}  // namespace

void BasRelief(EffectContext& context) {
  // The neighbour chosen by option 1; any other value compares the pixel with itself.
  int32_t dx = 0, dy = 0;
  if (context.option1 == 0) dx = -1;
  if (context.option1 == 1) dy = -1;
  if (context.option1 == 2) dx = -1, dy = -1;
  const double s = context.slider1;
  const int32_t w = context.width;
  if (context.lastRow < 2 || context.lastColumn < 2) return;

  if (context.chainFlag) {
    // Reading what is being written: neighbours to the left and above are already relieved.
    for (int32_t y = 1; y < context.lastRow; ++y)
      for (int32_t x = 1; x < context.lastColumn; ++x)
        Relief(context, x, y, HslOf(context.ReadRow(y) + std::ptrdiff_t(x) * 4),
               HslOf(context.ReadRow(y + dy) + std::ptrdiff_t(x + dx) * 4), s);
    return;
  }
  // From the unchanging source each band ranks its rows once, keeping one row until the next
  // has used it as the upper neighbour.
  const HslRanks* rankOf = RankTable();
  const int32_t inner = context.lastRow - 1;  // rows 1 .. lastRow - 1
  engine::ForRowBands(inner, std::size_t(w) * 96, [&](int32_t begin, int32_t end) {
    engine::OwnedPlane<HslRanks> rows = engine::MakeOwnedPlane<HslRanks>(std::size_t(w) * 2);
    // The result depends on the colour and the two directions alone: remembered by both, so
    // only a colour and direction met for the first time is converted.
    ColourMemo memo;
    HslRanks* previous = rows.get();
    HslRanks* current = rows.get() + w;
    const int32_t first = 1 + begin;
    const uint8_t* above = context.ReadRow(first - 1);
    for (int32_t x = 0; x < w; ++x) previous[x] = rankOf[RankIndex(above + std::ptrdiff_t(x) * 4)];
    for (int32_t y = first; y < 1 + end; ++y) {
      const uint8_t* row = context.ReadRow(y);
      for (int32_t x = 0; x < w; ++x) current[x] = rankOf[RankIndex(row + std::ptrdiff_t(x) * 4)];
      const HslRanks* neighbours = dy ? previous : current;
      uint8_t* out = context.WriteRow(y);
      for (int32_t x = 1; x < context.lastColumn; ++x) {
        const uint8_t* p = row + std::ptrdiff_t(x) * 4;
        const uint32_t direction = Direction(current[x], neighbours[x + dx]);
        const uint32_t key = p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | direction << 24;
        memo.MapKeyed(key, out + std::ptrdiff_t(x) * 4,
                      [&](uint8_t* rgb) { ReliefColour(HslOf(p), direction, s, rgb); });
      }
      std::swap(previous, current);
    }
  });
}

}  // namespace process
