// The blend buffer's mix: the carried paint Q meets the canvas P through the current mix rule
// (Q in the role of the source, P of the target), then takes on the canvas by its share k.
#include <algorithm>
#include <iterator>

#include "brush/blend_buffer_internal.h"
#include "brush/mix_rules.h"
#include "engine/random_pool.h"

namespace brush {
namespace {

// The rule colour x and rule alpha xa (preset to Q's colour and alpha) of carried paint q and
// canvas pixel p.
struct MixPixel {
  uint32_t q[4];
  uint32_t p[4];
  uint32_t x[3];
  uint32_t xa;
};

inline void TakeCanvas(MixPixel& m) {
  m.x[0] = m.p[0], m.x[1] = m.p[1], m.x[2] = m.p[2];
  m.xa = m.p[3];
}
inline void TakeBank(MixPixel& m, int bank, const MixRules& r) {
  for (int c = 0; c < 3; ++c) m.x[c] = r.banks[c][bank];
}

struct CarriedRule {  // 32 and every number without a rule: the carried paint itself
  static void Apply(MixPixel&, const MixRules&) {}
};
struct MultiplyRule {  // 33
  static void Apply(MixPixel& m, const MixRules&) {
    for (int c = 0; c < 3; ++c) m.x[c] = (m.q[c] * m.p[c]) >> 16;
  }
};
template <uint32_t (*kFormula)(uint32_t, uint32_t)>
struct ChannelRule {  // 34..48
  static void Apply(MixPixel& m, const MixRules&) {
    for (int c = 0; c < 3; ++c) m.x[c] = kFormula(m.q[c], m.p[c]);
  }
};
template <int (*kBand)(uint32_t)>
struct BankBandRule {  // 249..251
  static void Apply(MixPixel& m, const MixRules& r) { TakeBank(m, kBand(rules::Mean3(m.q)), r); }
};
struct BankGradientRule {  // 252
  static void Apply(MixPixel& m, const MixRules& r) {
    const uint32_t L = rules::Mean3(m.q);
    for (int c = 0; c < 3; ++c) m.x[c] = rules::BankGradient(r.banks, c, L);
  }
};
template <bool kLight>
struct BankOrCanvasRule {  // 253, 254: one random number drawn per evaluation
  static void Apply(MixPixel& m, const MixRules& r) {
    engine::Generator().Next();
    const uint32_t L = rules::Mean3(m.q);
    if (kLight ? L > 0x7FFF : L < 0x7FFF) {
      TakeBank(m, 0, r);
    } else {
      for (int c = 0; c < 3; ++c) m.x[c] = m.p[c];
    }
  }
};
struct BankCarriedBankRule {  // 255
  static void Apply(MixPixel& m, const MixRules& r) {
    const uint32_t L = rules::Mean3(m.q);
    if (L < 0x4FFF) TakeBank(m, 0, r);
    if (L > 0xBFFF) TakeBank(m, 1, r);
  }
};
// 256..258: the carried paint while its grey level lies in the band, the canvas elsewhere.
template <uint32_t kLow, uint32_t kHigh>
struct CarriedBandRule {
  static void Apply(MixPixel& m, const MixRules&) {
    const uint32_t L = rules::Mean3(m.q);
    if (L < kLow || L > kHigh) TakeCanvas(m);
  }
};
template <bool kLight>
struct BankBandOrCanvasRule {  // 259, 260
  static void Apply(MixPixel& m, const MixRules& r) {
    const uint32_t L = rules::Mean3(m.q);
    if (kLight ? L >= 0xDFFF : L <= 0x2FFF) {
      TakeBank(m, 0, r);
    } else {
      TakeCanvas(m);
    }
  }
};
template <uint32_t (*kLevels)(uint32_t)>
struct LevelsRule {  // 261, 262
  static void Apply(MixPixel& m, const MixRules&) {
    for (int c = 0; c < 3; ++c) m.x[c] = kLevels(m.q[c]);
  }
};
struct PosterizeRule {  // 295
  static void Apply(MixPixel& m, const MixRules& r) {
    for (int c = 0; c < 3; ++c) m.x[c] = rules::Posterize(m.q[c], r.mixShift);
  }
};
struct GreyOutRule {  // 340
  static void Apply(MixPixel& m, const MixRules&) {
    m.x[0] = m.x[1] = m.x[2] = 0x7FFF;
    m.xa = rules::Mean3(m.q);
  }
};
// 387, 388: the darker (or lighter) of carried paint and canvas; ties keep the carried paint.
template <bool kLighter>
struct KeepBrightnessRule {
  static void Apply(MixPixel& m, const MixRules&) {
    const uint32_t yp = rules::Brightness(m.p), yq = rules::Brightness(m.q);
    if (kLighter ? yp > yq : yp < yq) {
      for (int c = 0; c < 3; ++c) m.x[c] = m.p[c];
    }
  }
};

template <class Rule>
void MixSpan(const MixRow& row, const MixRules& r) {
  const uint32_t k = r.k, keep = 65536 - k;
  for (int32_t i = 0; i < row.count; ++i) {
    const uint16_t* pp = row.canvas + 4 * i;
    uint16_t* qp = row.blend + 4 * i;
    const uint32_t pa = row.canvasAlpha[i];
    if (pa == 0) {  // a clear canvas pixel only fades the carried alpha
      qp[3] = uint16_t((keep * qp[3]) >> 16);
      continue;
    }
    if (k == 0) continue;
    if (qp[3] == 0) {  // nothing carried: take the canvas
      for (int c = 0; c < 3; ++c) qp[c] = std::min<uint16_t>(pp[c], 65280);
      qp[3] = uint16_t(pa);
      continue;
    }
    MixPixel m;
    for (int c = 0; c < 3; ++c) m.q[c] = qp[c], m.p[c] = pp[c], m.x[c] = qp[c];
    m.q[3] = m.xa = qp[3];
    m.p[3] = pa;
    Rule::Apply(m, r);
    qp[3] = uint16_t((((m.xa * keep) >> 8) + ((pa * k) >> 8)) >> 8);
    for (int c = 0; c < 3; ++c) {
      const uint32_t mixed = ((((m.x[c] * keep) >> 8) + ((m.p[c] * k) >> 8)) >> 8) + 1;
      qp[c] = uint16_t(std::min<uint32_t>(mixed, 65280));
    }
  }
}

struct MixRuleRow {
  int32_t number;
  MixKernel kernel;
};

constexpr MixRuleRow kBlendMixRules[] = {
    {33, &MixSpan<MultiplyRule>},
    {34, &MixSpan<ChannelRule<&rules::Screen>>},
    {35, &MixSpan<ChannelRule<&rules::Darken>>},
    {36, &MixSpan<ChannelRule<&rules::Lighten>>},
    {37, &MixSpan<ChannelRule<&rules::Difference>>},
    {38, &MixSpan<ChannelRule<&rules::Negation>>},
    {39, &MixSpan<ChannelRule<&rules::Exclusion>>},
    {40, &MixSpan<ChannelRule<&rules::Overlay>>},
    {41, &MixSpan<ChannelRule<&rules::HardLight>>},
    {42, &MixSpan<ChannelRule<&rules::SoftLight>>},
    {43, &MixSpan<ChannelRule<&rules::Dodge>>},
    {44, &MixSpan<ChannelRule<&rules::Burn>>},
    {45, &MixSpan<ChannelRule<&rules::Reflect>>},
    {46, &MixSpan<ChannelRule<&rules::Glow>>},
    {47, &MixSpan<ChannelRule<&rules::Add>>},
    {48, &MixSpan<ChannelRule<&rules::Subtract>>},
    {249, &MixSpan<BankBandRule<&rules::BankOfTwo>>},
    {250, &MixSpan<BankBandRule<&rules::BankOfThree>>},
    {251, &MixSpan<BankBandRule<&rules::BankOfFour>>},
    {252, &MixSpan<BankGradientRule>},
    {253, &MixSpan<BankOrCanvasRule<false>>},
    {254, &MixSpan<BankOrCanvasRule<true>>},
    {255, &MixSpan<BankCarriedBankRule>},
    {256, &MixSpan<CarriedBandRule<0x4FFF, 0xFFFF>>},
    {257, &MixSpan<CarriedBandRule<0, 0xBFFF>>},
    {258, &MixSpan<CarriedBandRule<0x4FFF, 0xBFFF>>},
    {259, &MixSpan<BankBandOrCanvasRule<false>>},
    {260, &MixSpan<BankBandOrCanvasRule<true>>},
    {261, &MixSpan<LevelsRule<&rules::FourLevels>>},
    {262, &MixSpan<LevelsRule<&rules::ThreeLevels>>},
    {295, &MixSpan<PosterizeRule>},
    {340, &MixSpan<GreyOutRule>},
    {387, &MixSpan<KeepBrightnessRule<false>>},
    {388, &MixSpan<KeepBrightnessRule<true>>},
};
static_assert(std::is_sorted(std::begin(kBlendMixRules), std::end(kBlendMixRules),
                             [](const MixRuleRow& a, const MixRuleRow& b) {
                               return a.number < b.number;
                             }));

}  // namespace

MixKernel BlendMixKernel(int32_t mixMode) {
  const auto row = std::lower_bound(std::begin(kBlendMixRules), std::end(kBlendMixRules), mixMode,
                                    [](const MixRuleRow& r, int32_t n) { return r.number < n; });
  if (row != std::end(kBlendMixRules) && row->number == mixMode) return row->kernel;
  return &MixSpan<CarriedRule>;
}

bool BlendMixKeepsCarriedPaint(int32_t mixMode) {
  return BlendMixKernel(mixMode) == &MixSpan<CarriedRule>;
}

}  // namespace brush
