// Creating, resizing and deleting the canvas and the planes that belong to it.
#pragma once

#include <cstdint>

namespace engine {

void CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                 int32_t reservedParam);
void NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
             int32_t reservedParam);
void DeleteImage();

// A width or height below 0 or above 10000 becomes 100; 0 is kept.
int32_t ClampCanvasSide(int32_t side);

// True when a canvas exists (its planes are allocated).
bool CanvasLive();

}  // namespace engine
