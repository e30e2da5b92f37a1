#include "process/effects/own_effect_table.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "process/effects/own_effects.h"

namespace process {

namespace {

// Every own effect once; each carries its own name (defined beside its code).
constexpr const OwnEffect* kOwnEffects[] = {
    &kAntiAliasOwn,      &kAdaptiveBlurOwn,   &kLineArtCleanerOwn,
    &kBasicThresholdOwn, &kAdjustLabOwn,      &kDetailBlurOwn,
    &kValueBlurOwn,      &kNoiseReductionOwn, &kNoiseReductionRGBOwn,
    &kHyperContrastOwn,  &kBasReliefOwn,      &kGrayscaleOwn,
    &kInvertOwn,         &kVignetteOwn,       &kChannelOwn,
    &kReflectionOwn,     &kFaderOwn,          &kBorderizeOwn,
    &kClampOwn,          &kMaskDetailOwn,
};
constexpr std::size_t kCount = std::size(kOwnEffects);

// Indices of kOwnEffects ordered by name, for a binary search.
constexpr std::array<uint8_t, kCount> SortedByName() {
  std::array<uint8_t, kCount> order{};
  for (std::size_t i = 0; i < kCount; ++i) order[i] = uint8_t(i);
  std::sort(order.begin(), order.end(),
            [](uint8_t a, uint8_t b) { return kOwnEffects[a]->name < kOwnEffects[b]->name; });
  return order;
}
constexpr std::array<uint8_t, kCount> kByName = SortedByName();

constexpr bool NamesAreUnique() {
  for (std::size_t i = 1; i < kCount; ++i)
    if (kOwnEffects[kByName[i - 1]]->name == kOwnEffects[kByName[i]]->name) return false;
  return true;
}
static_assert(NamesAreUnique(), "every own effect has a name of its own");

}  // namespace

const OwnEffect* FindOwnEffect(std::string_view name) {
  const auto at =
      std::lower_bound(kByName.begin(), kByName.end(), name,
                       [](uint8_t i, std::string_view key) { return kOwnEffects[i]->name < key; });
  if (at == kByName.end() || kOwnEffects[*at]->name != name) return nullptr;
  return kOwnEffects[*at];
}

}  // namespace process
