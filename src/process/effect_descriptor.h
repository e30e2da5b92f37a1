// What the dispatcher knows of one effect: its exact name, the route by which it reads the
// current layer and writes its result back, the arguments it reads with a label, range and
// default for each, a one-line summary, and its body. Each effect's descriptor is defined beside
// its code; the registry collects them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "process/effect_call.h"
#include "process/effects/own_effect_table.h"

namespace process {

enum class EffectRoute : uint8_t {
  // Refreshed source buffer 32 (premultiplied when the descriptor says so); an own effect into
  // the destination buffer 32, divided by alpha again when premultiplied, and written into the
  // current layer through the mask and the texture.
  kOwn,
  // Refreshed source buffer 32; the mask opened; an own effect that marks the mask plane. The
  // layer is not written.
  kOwnIntoMask,
  // Refreshed source buffer 32 (premultiplied when the descriptor says so); a buffer body into
  // the destination buffer 32. When it reports success the destination is divided by alpha again
  // (when premultiplied) and written through the mask and the texture; otherwise nothing.
  kSource32,
  // The same on the source buffer 32 as the host last filled it, not refreshed.
  kUnrefreshedSource32,
  // The 24-bit buffers filled from the current layer; a buffer body on RGB24 pixels. On success
  // the destination is written through the mask and the texture, the layer's alpha kept.
  kRgb24,
  // A copy of the current layer changed in place by the body and, on success, written back
  // through the mask and the texture.
  kLayerCopy,
  // Refreshed source buffer 32; the body reads it and writes its own result back (a user filter,
  // a plug-in).
  kOnSource,
  // The body does everything itself: recipes of several steps and results merged into the layer.
  kFreeForm,
};

// A body that reads width x height pixels of the source and writes the destination (RGBA32 on
// the 32-bit routes, RGB24 on the 24-bit one). False: it failed and nothing is written back.
using BufferBody = bool (*)(const EffectCall& call, const uint8_t* source, uint8_t* destination,
                            int32_t width, int32_t height);
// A body that changes a width x height RGBA32 copy of the current layer in place. False: it
// failed and the copy is not written back.
using LayerCopyBody = bool (*)(const EffectCall& call, uint8_t* pixels, int32_t width,
                               int32_t height);
// A body that does its own reading and writing back.
using FreeFormBody = void (*)(const EffectCall& call);

// Which part of the argument block a parameter is.
enum class ArgumentKind : uint8_t { kSlider, kOption, kColour, kText, kScriptValue };

// One argument an effect reads. Sliders count tenths of a percent (0..1000 is 0..100 %);
// options are whole numbers; a colour's values pack red | green << 8 | blue << 16; a text
// argument has no range, only a default file under the data folder (may be empty).
struct EffectParameter {
  ArgumentKind kind;
  uint8_t number;  // slider 1..6 or option 1..8; 0 for the others
  std::string_view label;
  int32_t low = 0;
  int32_t high = 0;
  int32_t standard = 0;  // the default: neutral where the effect has a neutral point
  std::string_view defaultText = {};
};

// Bits of the argument block a descriptor reads (derived from its parameters).
enum EffectReads : uint32_t {
  kReadsSlider1 = 1u << 0,  // slider k is bit k - 1
  kReadsOption1 = 1u << 6,  // option k is bit 6 + k - 1
  kReadsColour = 1u << 14,
  kReadsScriptValue = 1u << 15,
  kReadsText = 1u << 16,
};

constexpr uint32_t ReadBit(const EffectParameter& p) {
  switch (p.kind) {
    case ArgumentKind::kSlider:
      return kReadsSlider1 << (p.number - 1);
    case ArgumentKind::kOption:
      return kReadsOption1 << (p.number - 1);
    case ArgumentKind::kColour:
      return kReadsColour;
    case ArgumentKind::kText:
      return kReadsText;
    case ArgumentKind::kScriptValue:
      return kReadsScriptValue;
  }
  return 0;
}

struct EffectDescriptor {
  std::string_view name;
  EffectRoute route;
  bool premultiplied = false;  // kOwn, kSource32: colour multiplied by alpha around the body
  std::string_view summary = {};
  std::span<const EffectParameter> parameters = {};
  const OwnEffect* own = nullptr;     // kOwn, kOwnIntoMask
  BufferBody buffer = nullptr;        // kSource32, kUnrefreshedSource32, kRgb24
  LayerCopyBody layerCopy = nullptr;  // kLayerCopy
  FreeFormBody freeForm = nullptr;    // kOnSource, kFreeForm

  constexpr uint32_t Reads() const {
    uint32_t bits = 0;
    for (const EffectParameter& p : parameters) bits |= ReadBit(p);
    return bits;
  }
  // The described parameter for that slot, or null.
  constexpr const EffectParameter* Parameter(ArgumentKind kind, int number) const {
    for (const EffectParameter& p : parameters)
      if (p.kind == kind && p.number == number) return &p;
    return nullptr;
  }
};

// Whether a route multiplies colour by alpha around the body (for effects that mix neighbouring
// pixels, so that transparent pixels do not lend them their colour).
inline constexpr bool kPremultiplied = true;
inline constexpr bool kAsItIs = false;

// Parameter rows.
constexpr EffectParameter Slider(int number, std::string_view label, int32_t standard,
                                 int32_t low = 0, int32_t high = 1000) {
  return {ArgumentKind::kSlider, uint8_t(number), label, low, high, standard};
}
constexpr EffectParameter Option(int number, std::string_view label, int32_t low, int32_t high,
                                 int32_t standard) {
  return {ArgumentKind::kOption, uint8_t(number), label, low, high, standard};
}
// An option that is a check box: 1 is on, anything else off.
constexpr EffectParameter Flag(int number, std::string_view label, int32_t standard = 0) {
  return Option(number, label, 0, 1, standard);
}
constexpr EffectParameter Colour(std::string_view label, int32_t red, int32_t green, int32_t blue) {
  return {ArgumentKind::kColour, 0, label, 0, 0xFFFFFF, red | green << 8 | blue << 16};
}
constexpr EffectParameter TextArgument(std::string_view label, std::string_view defaultFile) {
  return {ArgumentKind::kText, 0, label, 0, 0, 0, defaultFile};
}
constexpr EffectParameter ScriptValue(std::string_view label, int32_t low, int32_t high,
                                      int32_t standard) {
  return {ArgumentKind::kScriptValue, 0, label, low, high, standard};
}

// Descriptor rows, one builder per kind of body.
constexpr EffectDescriptor OwnEffectRow(const OwnEffect& own, bool premultiplied,
                                        std::span<const EffectParameter> parameters,
                                        std::string_view summary) {
  return {.name = own.name,
          .route = EffectRoute::kOwn,
          .premultiplied = premultiplied,
          .summary = summary,
          .parameters = parameters,
          .own = &own};
}
constexpr EffectDescriptor BufferRow(std::string_view name, EffectRoute route, bool premultiplied,
                                     BufferBody body, std::span<const EffectParameter> parameters,
                                     std::string_view summary) {
  return {.name = name,
          .route = route,
          .premultiplied = premultiplied,
          .summary = summary,
          .parameters = parameters,
          .buffer = body};
}
constexpr EffectDescriptor LayerCopyRow(std::string_view name, LayerCopyBody body,
                                        std::span<const EffectParameter> parameters,
                                        std::string_view summary) {
  return {.name = name,
          .route = EffectRoute::kLayerCopy,
          .summary = summary,
          .parameters = parameters,
          .layerCopy = body};
}
constexpr EffectDescriptor FreeFormRow(std::string_view name, EffectRoute route, FreeFormBody body,
                                       std::span<const EffectParameter> parameters,
                                       std::string_view summary) {
  return {
      .name = name, .route = route, .summary = summary, .parameters = parameters, .freeForm = body};
}

}  // namespace process
