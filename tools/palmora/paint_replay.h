// Replaying a paint script through the brush engine the way a painting program drives it: the
// tool from the named brush, dabs spaced along each stroke by the brush size and the pressure,
// the carried paint of wet brushes picked up and mixed, each stroke merged and committed as one
// undo step, "Filter" records run through the effect dispatcher.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "canvas.h"
#include "paint_script.h"
#include "progress.h"

namespace host {

struct ReplayCounts {
  std::size_t strokes = 0;
  std::size_t dabs = 0;
  std::size_t filters = 0;
};

// Replays onto the canvas's painting. The canvas must have been made with the script's seed for
// the grit and colour variation to come out as recorded. Throws HostError ("NAME:LINE: ...") for
// records that cannot be played: an unknown brush or effect, a stroke record out of place.
ReplayCounts ReplayPaintScript(Canvas& canvas, const PaintScript& script, const std::string& name,
                               Progress* progress);

}  // namespace host
