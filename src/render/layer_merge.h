// Merging one layer into another layer or into a host buffer, and the paint layer into a layer.
#pragma once

#include <cstdint>

#include "engine/layer_record.h"
#include "render/composite_internal.h"
#include "render/host_rect.h"

namespace render {

// The index of the "Layer Mask" layer that masks layer, or 0: the nearest visible layer with
// pixels above it (up to topLayerIndex) when that layer's mode is "Layer Mask". A mask further up,
// behind another visible layer, does not count. 0 for an index outside 0..63.
int32_t FindLayerMaskAbove(int32_t layer);

// The mask pixels that apply to a layer: those of its "Layer Mask" layer when that has the canvas
// size, else null.
const uint16_t* LayerMaskPixelsFor(int32_t layer);

// The layer's record when it can be merged: index 0..63, pixels of exactly the canvas size.
const engine::LayerRecord* MergeableLayer(int32_t index);

// Composites the canvas part of rect of a mergeable layer into the host buffer (no alpha lock,
// no same-mode rule), with the layer's mode, opacity and mask. Rows first..end of the canvas part
// only, so that the flattening can work band by band.
void CompositeLayerIntoHostRows(int32_t index, const engine::LayerRecord& layer, uint16_t* buffer,
                                const HostRect& rect, int32_t firstRow, int32_t endRow);

// The job that composites the whole canvas part of rect of a mergeable layer into the host
// buffer, as CompositeLayerIntoHostRows does; false when there is nothing to composite.
bool HostLayerJob(int32_t index, const engine::LayerRecord& layer, uint16_t* buffer,
                  const HostRect& rect, CompositeJob& job);

void MergeLayer(int32_t source, int32_t destination);
void MergeLayerIntoRect(int32_t layer, uint16_t* buffer, int32_t x, int32_t y, int32_t width,
                        int32_t height);
void MergeLayerInto(int32_t layer, uint16_t* buffer);
void MergePaintLayer(int32_t destination);
int32_t SetAlphaLayerOpacity(int32_t percent);

}  // namespace render
