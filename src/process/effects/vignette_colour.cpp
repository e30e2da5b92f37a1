#include "process/effects/vignette_colour.h"

namespace process {

void CurrentPaintColour(double colour[3]) {
  // Wired to the brush colour once the tool settings are in place.
  colour[0] = colour[1] = colour[2] = 0;
}

}  // namespace process
