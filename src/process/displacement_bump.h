// Displacement Bump: the current layer seen through a relief made by a picture script.
#pragma once

#include <cstdint>

namespace process {

// Paints the picture script at scriptPath, repeats it over the canvas as a grey relief and
// displaces the (refreshed, premultiplied) source buffer 32 through it into the destination,
// positions from outside the picture taking fillColour (red | green << 8 | blue << 16). On
// success the destination is divided by alpha and written into the current layer through the
// mask and the texture. Nothing is written when the script or a library step fails. The
// temporary blocks are freed on every way out.
void DisplacementBump(const char* scriptPath, double amount, uint32_t fillColour);

}  // namespace process
