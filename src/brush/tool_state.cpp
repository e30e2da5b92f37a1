#include "brush/tool_state.h"

#include "brush/image_brush_pictures.h"

namespace brush {
namespace {

struct BrushRecords {
  ToolState tool;
  DabScratch scratch;
  ImageBrushPictures imageBrushes;
};

// Zero-initialised before any code runs, like the engine state: no first-use guard on the paths
// that paint.
BrushRecords records;

}  // namespace

ToolState& Tool() { return records.tool; }
DabScratch& Scratch() { return records.scratch; }
ImageBrushPictures& ImageBrushes() { return records.imageBrushes; }

void ResetBrushState() {
  engine::DeleteRandArrayBtye(records.tool.pixColorArray);
  engine::DeleteRandArrayBtye(records.tool.pixLumArray);
  records.tool = ToolState{};
  records.scratch = DabScratch{};
  records.imageBrushes = ImageBrushPictures{};
}

}  // namespace brush
