#include "io/metafile_colour.h"

#include "engine/engine_state.h"
#include "engine/pixel_formats.h"

namespace io {

// The brush colour is what the host last set with the colour setters (or a dab carried); its
// alpha plays no part, the metafile is opaque.
uint32_t MetafileBackgroundColour() {
  const uint16_t* colour = engine::State().brushColor;
  return uint32_t(engine::High8(colour[0])) | uint32_t(engine::High8(colour[1])) << 8 |
         uint32_t(engine::High8(colour[2])) << 16;
}

}  // namespace io
