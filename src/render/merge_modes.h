// What each merge-mode number does when it composites: the blend rule it uses and the few
// properties that change the per-pixel steps. One row per mode number; the names live in
// merge_mode_names.h.
#pragma once

#include <array>
#include <cstdint>

#include "render/merge_mode_names.h"

namespace render {

// The floating-point blend rules. Several mode numbers share one rule.
enum class BlendRule : uint8_t {
  kNormal,
  kMultiply,
  kScreen,
  kDarken,
  kLighten,
  kDifference,
  kExclusion,  // also "Negation": the two formulas are the same
  kOverlay,
  kHardLight,
  kSoftLight,
  kDodge,
  kBurn,
  kAdd,
  kSubtract,
  kColor,
  kHardColor,
  kTexturize,
  kTexturize2,
  kTexturize3,
};
inline constexpr int kBlendRuleCount = 19;

// Mode properties.
inline constexpr uint32_t kAlphaModeFlag = 1u << 0;    // alpha pre-pass; transparent pixels count
inline constexpr uint32_t kOpaqueCopyFlag = 1u << 1;   // an opaque source replaces the destination
inline constexpr uint32_t kClearsOverEmpty = 1u << 2;  // over alpha 0 the result is (0, 0, 0, 0)

struct MergeModeInfo {
  int32_t number;
  BlendRule rule;
  uint32_t flags;
};

inline constexpr std::array<MergeModeInfo, kMergeModeCount> kMergeModes = {{
    {0, BlendRule::kNormal, kOpaqueCopyFlag},
    {1, BlendRule::kMultiply, 0},
    {2, BlendRule::kScreen, 0},
    {3, BlendRule::kDarken, 0},
    {4, BlendRule::kLighten, 0},
    {5, BlendRule::kDifference, 0},
    {6, BlendRule::kExclusion, 0},
    {7, BlendRule::kExclusion, 0},
    {8, BlendRule::kOverlay, 0},
    {9, BlendRule::kHardLight, 0},
    {10, BlendRule::kSoftLight, 0},
    {11, BlendRule::kDodge, 0},
    {12, BlendRule::kBurn, 0},
    {13, BlendRule::kNormal, 0},  // "Reflect" and "Glow" never had rules of their own
    {14, BlendRule::kNormal, 0},
    {15, BlendRule::kAdd, 0},
    {16, BlendRule::kSubtract, 0},
    {17, BlendRule::kColor, 0},
    {18, BlendRule::kHardColor, 0},
    {19, BlendRule::kTexturize, kClearsOverEmpty},
    {20, BlendRule::kTexturize2, kClearsOverEmpty},
    {21, BlendRule::kTexturize3, kClearsOverEmpty},
    {22, BlendRule::kNormal, 0},
    // The alpha modes blend with the Normal rule unless their pre-pass picks another operator.
    {23, BlendRule::kNormal, kAlphaModeFlag},
    {24, BlendRule::kNormal, kAlphaModeFlag},
    {25, BlendRule::kNormal, kAlphaModeFlag},
    {26, BlendRule::kNormal, kAlphaModeFlag},
    {27, BlendRule::kNormal, kAlphaModeFlag},
    {28, BlendRule::kNormal, kAlphaModeFlag},
    {29, BlendRule::kNormal, kAlphaModeFlag},
    {30, BlendRule::kNormal, kAlphaModeFlag},
    {31, BlendRule::kNormal, kAlphaModeFlag},
    {32, BlendRule::kNormal, kAlphaModeFlag},
    {33, BlendRule::kNormal, kAlphaModeFlag},
    {34, BlendRule::kNormal, kAlphaModeFlag},
    {35, BlendRule::kNormal, kAlphaModeFlag},
    {36, BlendRule::kNormal, kAlphaModeFlag},
    {37, BlendRule::kNormal, kAlphaModeFlag},
    {38, BlendRule::kNormal, kAlphaModeFlag},
    {39, BlendRule::kNormal, kAlphaModeFlag},
    {40, BlendRule::kNormal, kAlphaModeFlag},
    {41, BlendRule::kNormal, kAlphaModeFlag},
    {42, BlendRule::kNormal, kAlphaModeFlag},
    {43, BlendRule::kNormal, kAlphaModeFlag},
    {44, BlendRule::kNormal, kAlphaModeFlag},
}};

namespace merge_modes_checks {
constexpr bool RowsAreInNumberOrder() {
  for (int32_t i = 0; i < kMergeModeCount; ++i) {
    if (kMergeModes[i].number != i) return false;
  }
  return true;
}
constexpr bool AlphaFlagMarksExactlyTheAlphaModes() {
  for (int32_t i = 0; i < kMergeModeCount; ++i) {
    const bool flagged = (kMergeModes[i].flags & kAlphaModeFlag) != 0;
    if (flagged != IsAlphaMode(i)) return false;
  }
  return true;
}
constexpr int CountFlag(uint32_t flag) {
  int count = 0;
  for (const auto& mode : kMergeModes) count += (mode.flags & flag) ? 1 : 0;
  return count;
}
}  // namespace merge_modes_checks

static_assert(std::size(kMergeModes) == 45);
static_assert(merge_modes_checks::RowsAreInNumberOrder());
static_assert(merge_modes_checks::AlphaFlagMarksExactlyTheAlphaModes());
static_assert(merge_modes_checks::CountFlag(kOpaqueCopyFlag) == 1 &&
              (kMergeModes[kModeNormal].flags & kOpaqueCopyFlag));
static_assert(merge_modes_checks::CountFlag(kClearsOverEmpty) == 3 &&
              (kMergeModes[kModeTexturize].flags & kClearsOverEmpty) &&
              (kMergeModes[kModeTexturize3].flags & kClearsOverEmpty));
static_assert(kMergeModes[kModeNegation].rule == kMergeModes[kModeExclusion].rule);
static_assert(kMergeModes[kModeReflect].rule == BlendRule::kNormal &&
              kMergeModes[kModeGlow].rule == BlendRule::kNormal &&
              kMergeModes[kModeUnnamed].rule == BlendRule::kNormal);
static_assert(static_cast<int>(BlendRule::kTexturize3) + 1 == kBlendRuleCount);

inline constexpr const MergeModeInfo& ModeInfo(int32_t mode) { return kMergeModes[mode]; }

}  // namespace render
