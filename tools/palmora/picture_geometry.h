// Crops, quarter turns and mirrors of a 16-bit picture. They only move pixels, so they are done
// here at full depth; the engine's own geometry goes through 8-bit copies.
#pragma once

#include "cli_values.h"
#include "deep_png.h"

namespace host {

// The rectangle of the picture; it must lie inside the picture (HostError otherwise).
DeepPicture Crop(const DeepPicture& picture, const Area& area);
// Turns the picture clockwise by quarterTurns quarters (1, 2 or 3).
DeepPicture TurnClockwise(const DeepPicture& picture, int quarterTurns);
// Mirrors left to right (horizontal) or top to bottom.
DeepPicture Mirror(const DeepPicture& picture, bool horizontal);

}  // namespace host
