// Resizing a picture with the engine's resampler, which works on the layer stack through 8-bit
// copies: the result has 8 significant bits a channel (each sample's low byte is 0).
#pragma once

#include <string>
#include <vector>

#include "deep_png.h"

namespace host {

// The filter names the engine's resampler takes, in its own order.
const std::vector<std::string>& ResizeFilterNames();

// The picture resampled to width x height (both 1..10000, as any canvas) with the named filter.
// Throws HostError for a picture larger than a canvas or when the engine reports failure.
DeepPicture ResizeWithEngine(const DeepPicture& picture, int width, int height,
                             const std::string& filter);

}  // namespace host
