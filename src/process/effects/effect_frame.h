// What the own effects need from the processing frame while they run.
#pragma once

#include <cstdint>

namespace process {

// The processing buffers 32 with the canvas size they cover.
struct CanvasBuffers32 {
  uint8_t* source = nullptr;
  uint8_t* destination = nullptr;
  int32_t width = 0;
  int32_t height = 0;
};

// True, filling *buffers, when both processing buffers 32 exist for the present canvas.
bool UsableProcessingBuffers32(CanvasBuffers32* buffers);

// Writes a canvas-sized RGBA32 picture into the current layer through the mask and the texture
// (as every effect's result is written back). Nothing happens without a current layer.
void LoadDestinationIntoCurrentLayer(const uint8_t* pixels, int32_t rowBytes);

}  // namespace process
