// The corners of a box turned in space about its middle line and seen in perspective again.
#pragma once

#include "process/polygon_warps/polygon_warp_frame.h"

namespace process {

// Turns the box by degrees about its upright (vertical true) or level middle line; the eye sits
// twice the box's larger side in front of it, so the near edge grows and the far one shrinks.
WarpTargets PivotedCorners(const ContentBox& box, double degrees, bool vertical);

}  // namespace process
