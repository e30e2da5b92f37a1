// The colour kernels of the mix rules (mixMode 34 and above): the rule colour X is weighed against
// the source by mixAmount and the result is laid over the pixel by the coverage. One kernel per
// rule, found once per dab in the rule table.
#include <algorithm>
#include <iterator>

#include "brush/dab_internal.h"
#include "brush/mix_rules.h"
#include "brush/paint_pixel.h"
#include "engine/random_pool.h"

namespace brush {
namespace {

// What a rule sees and gives for one pixel. s is the source (alpha 0 when erasing), d the target
// after its pre-mix. The rule writes n; it may change the alpha target A (the source alpha) and
// the colour dc that the coverage compositing lays n over (d's colour).
struct RulePixel {
  uint32_t s[4];
  uint32_t d[4];
  uint32_t n[3];
  uint32_t A;
  uint32_t dc[3];
};

// N = X weighed against S: ((256 - m) s + m X) / 256, each product shifted in two steps of 4.
inline uint32_t Weigh(uint32_t x, uint32_t s, const PaintRules& r) {
  return (((uint32_t(r.mixInverse) * s) >> 4) + ((x * uint32_t(r.mixAmount)) >> 4)) >> 4;
}

inline void WeighAll(RulePixel& p, const uint32_t* x, const PaintRules& r) {
  for (int c = 0; c < 3; ++c) p.n[c] = Weigh(x[c], p.s[c], r);
}

inline void KeepTarget(RulePixel& p) {
  p.n[0] = p.d[0], p.n[1] = p.d[1], p.n[2] = p.d[2];
  p.A = p.d[3];
}

inline void WeighBank(RulePixel& p, int bank, const PaintRules& r) {
  for (int c = 0; c < 3; ++c) p.n[c] = Weigh(r.banks[c][bank], p.s[c], r);
}

// Rules 34..48: one formula per channel.
template <uint32_t (*kFormula)(uint32_t, uint32_t)>
struct ChannelRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    for (int c = 0; c < 3; ++c) p.n[c] = Weigh(kFormula(p.s[c], p.d[c]), p.s[c], r);
  }
};

// Rules 249..251: the bank of the source's grey band.
template <int (*kBand)(uint32_t)>
struct BankBandRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    WeighBank(p, kBand(rules::Mean3(p.s)), r);
  }
};

struct BankGradientRule {  // 252
  static void Apply(RulePixel& p, const PaintRules& r) {
    const uint32_t L = rules::Mean3(p.s);
    for (int c = 0; c < 3; ++c) p.n[c] = Weigh(rules::BankGradient(r.banks, c, L), p.s[c], r);
  }
};

// Rules 253 and 254: bank 0 on dark (or light) sources, the pixel elsewhere. Each evaluation
// draws one random number, which the brushes painted so far did too.
template <bool kLight>
struct BankOrTargetRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    engine::Generator().Next();
    const uint32_t L = rules::Mean3(p.s);
    if (kLight ? L > 0x7FFF : L < 0x7FFF) {
      WeighBank(p, 0, r);
    } else {
      WeighAll(p, p.d, r);
    }
  }
};

struct BankSourceBankRule {  // 255
  static void Apply(RulePixel& p, const PaintRules& r) {
    const uint32_t L = rules::Mean3(p.s);
    if (L < 0x4FFF) {
      WeighBank(p, 0, r);
    } else if (L < 0xC000) {
      WeighAll(p, p.s, r);
    } else {
      WeighBank(p, 1, r);
    }
  }
};

// Rules 256..258: the source where its grey level lies in a band, the pixel kept elsewhere.
template <uint32_t kLow, uint32_t kHigh>
struct SourceBandRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    const uint32_t L = rules::Mean3(p.s);
    if (L >= kLow && L < kHigh) {
      WeighAll(p, p.s, r);
    } else {
      KeepTarget(p);
    }
  }
};

// Rules 259 and 260: bank 0 where the source is very dark (or very light), the pixel elsewhere.
template <bool kLight>
struct BankBandOrKeepRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    const uint32_t L = rules::Mean3(p.s);
    if (kLight ? L >= 0xDFFF : L < 0x3000) {
      WeighBank(p, 0, r);
    } else {
      KeepTarget(p);
    }
  }
};

template <uint32_t (*kLevels)(uint32_t)>
struct LevelsRule {  // 261, 262
  static void Apply(RulePixel& p, const PaintRules& r) {
    for (int c = 0; c < 3; ++c) p.n[c] = Weigh(kLevels(p.s[c]), p.s[c], r);
  }
};

struct PosterizeRule {  // 295: unweighted
  static void Apply(RulePixel& p, const PaintRules& r) {
    for (int c = 0; c < 3; ++c) p.n[c] = rules::Posterize(p.s[c], r.mixShift);
  }
};

struct GreyOutRule {  // 340: mid grey, alpha toward the source's brightness
  static void Apply(RulePixel& p, const PaintRules&) {
    for (int c = 0; c < 3; ++c) p.n[c] = p.dc[c] = 0x7FFF;
    p.A = rules::Mean3(p.s);
  }
};

// Rules 387 and 388: the darker (or lighter) of source and pixel; ties go to the source.
template <bool kLighter>
struct KeepBrightnessRule {
  static void Apply(RulePixel& p, const PaintRules& r) {
    const uint32_t ys = rules::Brightness(p.s), yd = rules::Brightness(p.d);
    const bool source = kLighter ? yd <= ys : ys <= yd;
    WeighAll(p, source ? p.s : p.d, r);
  }
};

// Rule numbers of 34 and above without a formula paint the source colour itself, laid over the
// pixel by the coverage like every rule.
struct SourceColourRule {
  static void Apply(RulePixel& p, const PaintRules&) {
    p.n[0] = p.s[0], p.n[1] = p.s[1], p.n[2] = p.s[2];
  }
};

template <class Rule>
void MixRuleSpan(const PaintSpan& span, const PaintRules& r) {
  for (int32_t i = 0; i < span.count; ++i) {
    const uint32_t a = span.coverage[i];
    if (a == 0) continue;
    const uint16_t* sp = span.source + span.sourceStep * i;
    uint16_t* dp = span.target + 4 * i;
    RulePixel p;
    for (int c = 0; c < 4; ++c) p.s[c] = sp[c], p.d[c] = dp[c];
    const uint32_t da = p.d[3];
    // A partly clear pixel first takes on the source colour, the more the clearer it is and the
    // more the dab covers it; a clear one takes the source colour outright.
    if (da == 0) {
      p.d[0] = p.s[0], p.d[1] = p.s[1], p.d[2] = p.s[2];
    } else if (da < 65535) {
      const uint32_t w = std::min<uint32_t>((((65535 - da) * a) >> 16) * 3, 65535);
      for (int c = 0; c < 3; ++c) {
        p.d[c] = ((((65535 - w) * p.d[c]) >> 8) + ((w * p.s[c]) >> 8)) >> 8;
      }
    }
    if (r.erase) p.s[3] = 0;
    p.A = p.s[3];
    p.dc[0] = p.d[0], p.dc[1] = p.d[1], p.dc[2] = p.d[2];
    Rule::Apply(p, r);
    uint32_t n[3], na;
    if (a < 65535) {
      const uint32_t k = 65536 - a;
      for (int c = 0; c < 3; ++c) {
        const uint32_t laid = std::min<uint32_t>(p.n[c], 65535);
        n[c] = std::min<uint32_t>(((((laid * a) >> 8) + ((k * p.dc[c]) >> 8)) >> 8) + 1, 65535);
      }
      na = (((p.A * a) >> 8) + ((k * da) >> 8)) >> 8;
    } else {
      for (int c = 0; c < 3; ++c) n[c] = std::min<uint32_t>(p.n[c], 65535);
      na = p.A;
    }
    if (r.remix) Remix(r.blend + 4 * std::size_t(span.position[i]), p.d, p.s, r);
    WriteBack(dp, n[0], n[1], n[2], na, da, r);
  }
}

struct MixRuleRow {
  int32_t number;
  PaintKernel kernel;
};

constexpr MixRuleRow kMixRules[] = {
    {34, &MixRuleSpan<ChannelRule<&rules::Screen>>},
    {35, &MixRuleSpan<ChannelRule<&rules::Darken>>},
    {36, &MixRuleSpan<ChannelRule<&rules::Lighten>>},
    {37, &MixRuleSpan<ChannelRule<&rules::Difference>>},
    {38, &MixRuleSpan<ChannelRule<&rules::Negation>>},
    {39, &MixRuleSpan<ChannelRule<&rules::Exclusion>>},
    {40, &MixRuleSpan<ChannelRule<&rules::Overlay>>},
    {41, &MixRuleSpan<ChannelRule<&rules::HardLight>>},
    {42, &MixRuleSpan<ChannelRule<&rules::SoftLight>>},
    {43, &MixRuleSpan<ChannelRule<&rules::Dodge>>},
    {44, &MixRuleSpan<ChannelRule<&rules::Burn>>},
    {45, &MixRuleSpan<ChannelRule<&rules::Reflect>>},
    {46, &MixRuleSpan<ChannelRule<&rules::Glow>>},
    {47, &MixRuleSpan<ChannelRule<&rules::Add>>},
    {48, &MixRuleSpan<ChannelRule<&rules::Subtract>>},
    {249, &MixRuleSpan<BankBandRule<&rules::BankOfTwo>>},
    {250, &MixRuleSpan<BankBandRule<&rules::BankOfThree>>},
    {251, &MixRuleSpan<BankBandRule<&rules::BankOfFour>>},
    {252, &MixRuleSpan<BankGradientRule>},
    {253, &MixRuleSpan<BankOrTargetRule<false>>},
    {254, &MixRuleSpan<BankOrTargetRule<true>>},
    {255, &MixRuleSpan<BankSourceBankRule>},
    {256, &MixRuleSpan<SourceBandRule<0x4FFF, 0x10000>>},
    {257, &MixRuleSpan<SourceBandRule<0, 0xC000>>},
    {258, &MixRuleSpan<SourceBandRule<0x4FFF, 0xC000>>},
    {259, &MixRuleSpan<BankBandOrKeepRule<false>>},
    {260, &MixRuleSpan<BankBandOrKeepRule<true>>},
    {261, &MixRuleSpan<LevelsRule<&rules::FourLevels>>},
    {262, &MixRuleSpan<LevelsRule<&rules::ThreeLevels>>},
    {295, &MixRuleSpan<PosterizeRule>},
    {340, &MixRuleSpan<GreyOutRule>},
    {387, &MixRuleSpan<KeepBrightnessRule<false>>},
    {388, &MixRuleSpan<KeepBrightnessRule<true>>},
};
static_assert(std::size(kMixRules) == 15 + 14 + 4,
              "15 blend rules, 14 bank rules, 4 special rules");
static_assert(std::is_sorted(std::begin(kMixRules), std::end(kMixRules),
                             [](const MixRuleRow& a, const MixRuleRow& b) {
                               return a.number < b.number;
                             }));

}  // namespace

PaintKernel MixRuleKernel(int32_t mixMode) {
  const auto row = std::lower_bound(std::begin(kMixRules), std::end(kMixRules), mixMode,
                                    [](const MixRuleRow& r, int32_t n) { return r.number < n; });
  if (row != std::end(kMixRules) && row->number == mixMode) return row->kernel;
  return &MixRuleSpan<SourceColourRule>;
}

}  // namespace brush
