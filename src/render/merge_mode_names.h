// The merge-mode numbering as the compositor spells it: the numbers and names belong to the
// engine, which stores a mode with each layer.
#pragma once

#include "engine/merge_mode_names.h"

namespace render {
using namespace engine::merge_modes;
}  // namespace render
