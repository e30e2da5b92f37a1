// Operations that change the pixel grid of the whole layer stack. They rebuild every layer at the
// new size; the canvas size itself, the mask, the undo history and the processing buffers stay
// as they are (the host changes the canvas size afterwards). Sizes that cannot be layer sizes are
// refused without effect.
#pragma once

#include <cstdint>

namespace process {

// Resamples every layer to newWidth x newHeight with the named filter (see ResizeFilterCode).
void IPLResize(int32_t newWidth, int32_t newHeight, const char* filterName);
// Narrows or widens every layer by seam carving (only the width is carved; the layers become
// newWidth x newHeight, rows beyond the old height transparent). With the mask enabled, the mask
// steers the seams: masked-out pixels are protected.
void IPLSeamCarvingRGBA(int32_t newWidth, int32_t newHeight);
// Changes the page size, placing the old picture by the anchor ("TL" ... "BR"); layer 1 gets the
// background colour where the old picture does not reach, other layers transparency.
void IPLResizePage(int32_t newWidth, int32_t newHeight, const char* anchor, int32_t red,
                   int32_t green, int32_t blue);
// Keeps the canvas rectangle left..right-1 x top..bottom-1 of every layer.
void IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom);
// Quarter turns of the whole stack.
void IPLRotateLeft();
void IPLRotateRight();

// Offsets of the old picture on the new page for an anchor; 0, 0 for any text that is not one.
void PageOffsets(const char* anchor, int32_t widthChange, int32_t heightChange, int32_t& x,
                 int32_t& y);

}  // namespace process
