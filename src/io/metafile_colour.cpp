#include "io/metafile_colour.h"

namespace io {

// The tool settings (and with them the current colour) are not part of the engine state yet;
// until they are, metafiles render over black, the colour a fresh tool state starts with.
uint32_t MetafileBackgroundColour() { return 0; }

}  // namespace io
