// Cutting the source buffer 32 out by the mask.
#pragma once

namespace process {

// When the mask is in force, scales the alpha of every source buffer 32 pixel by the mask sample
// at the same canvas position (high byte 0 clears, 255 keeps). Nothing happens without a source
// buffer of the present canvas size or with the mask switched off.
void ApplyMaskToAlpha_IPLSrcRGBA();

}  // namespace process
