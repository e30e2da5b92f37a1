// The image-processing library the engine calls. Each function keeps its published name and
// argument list; every one returns non-zero for success and 0 for failure, and writes nothing on
// failure. Pictures handed back to the caller are allocated with malloc and released with free.
#pragma once

#include "imaging/library_lifecycle.h"
#include "imaging/overlay.h"
#include "imaging/plane_filters.h"
#include "imaging/shapes.h"
#include "imaging/gaussian_blur.h"
#include "imaging/colour_filters.h"
#include "imaging/bump_map_displacement.h"
