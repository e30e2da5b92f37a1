// The steps recipes are made of: own effects on the processing buffers, write-backs into the
// current layer through the mask and the texture, and results merged into the layer with a merge
// mode. A recipe stops at the first step that fails; what earlier steps wrote stays.
#pragma once

#include <cstdint>

#include "engine/heap.h"
#include "process/effect_call.h"

namespace process::recipe {

// The processing buffers 32 and the canvas size, for one recipe run.
struct Buffers {
  uint8_t* source = nullptr;
  uint8_t* destination = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t rowBytes() const { return uint32_t(width) * 4; }
};

// True, filling *buffers, when both processing buffers 32 exist for the present canvas.
bool Usable(Buffers* buffers);

// Own-effect arguments: everything zero but what a step sets.
OwnEffectArguments Arguments(int32_t chain);

// Runs an own effect on the processing buffers; false when it could not run.
bool Own(const char* name, const OwnEffectArguments& arguments);

// Refills the source buffer from the current layer.
void Refresh();

// Writes a canvas-sized RGBA32 picture into the current layer through the mask and the texture.
void WriteBack(const Buffers& buffers, const uint8_t* pixels);

// Scales the picture's alpha by the mask and the texture, then composites it over the whole
// current layer with the merge mode and opacity (0..256, 255 and up opaque) under the layer's
// alpha lock. False when there is no canvas-sized current layer or no room for the merge.
bool Merge(const Buffers& buffers, uint8_t* pixels, int32_t mode, int32_t opacity);

// A canvas-sized RGBA32 block from the engine heap, freed on every way out of the recipe.
engine::OwnedPlane<uint8_t> Scratch(const Buffers& buffers);

// Percent slider k limited to 0..100 and scaled to an opacity: factor 2.5 gives 0..250.
int32_t Opacity(const EffectCall& call, int k, double factor);

}  // namespace process::recipe
