// The image-processing library the engine calls. Each function keeps its published name and
// argument list; every one returns non-zero for success and 0 for failure, and writes nothing on
// failure. Pictures handed back to the caller are allocated with malloc and released with free.
#pragma once

#include "imaging/bump_map_displacement.h"
#include "imaging/channels.h"
#include "imaging/color_quantize.h"
#include "imaging/colour_filters.h"
#include "imaging/colour_regions.h"
#include "imaging/file_handles.h"
#include "imaging/gaussian_blur.h"
#include "imaging/geometry.h"
#include "imaging/gradients.h"
#include "imaging/library_lifecycle.h"
#include "imaging/line_writers.h"
#include "imaging/overlay.h"
#include "imaging/picture_readers.h"
#include "imaging/picture_script.h"
#include "imaging/picture_writers.h"
#include "imaging/plane_filters.h"
#include "imaging/push_warp.h"
#include "imaging/resample.h"
#include "imaging/seam_carve.h"
#include "imaging/shapes.h"
#include "imaging/spline_points.h"
#include "imaging/thumbnail_resize.h"
#include "imaging/transforms.h"
#include "imaging/zlib_buffers.h"
