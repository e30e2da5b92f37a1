#include "engine/canvas_lifecycle.h"

#include <cstring>
#include <utility>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/scratch_pool.h"
#include "engine/host_reentry.h"
#include "engine/layer_stack.h"
#include "engine/undo_store.h"

namespace engine {
namespace {

constexpr uint32_t kRandomPoolLength = 1000000;

// Every plane whose size follows the canvas or the largest brush. They are all allocated before
// any of them is installed, so a failure leaves the engine exactly as it was.
struct CanvasPlanes {
  OwnedPlane<uint8_t> grit[kGritBufferCount];
  OwnedPlane<uint16_t> shape;
  OwnedPlane<uint16_t> blend;
  OwnedPlane<uint16_t> mask;
  OwnedPlane<uint16_t> back;
  OwnedPlane<uint16_t> backMask;
};

CanvasPlanes AllocateCanvasPlanes(int32_t width, int32_t height, int32_t maxBrushSize) {
  if (maxBrushSize < 0) throw std::bad_alloc();
  const int64_t gritSide = int64_t{maxBrushSize} + 25;
  const std::size_t gritBytes = PlaneBytes(gritSide, gritSide, 1);
  const std::size_t brushPixels = PlaneBytes(maxBrushSize, maxBrushSize, 1);
  const std::size_t canvasPixels = PlaneBytes(width, height, 1);
  PlaneBytes(width, height, 8);  // the largest plane must fit the engine's sizes too
  PlaneBytes(maxBrushSize, maxBrushSize, 8);

  CanvasPlanes planes;
  for (auto& grit : planes.grit) grit = MakeOwnedPlane<uint8_t>(gritBytes);
  planes.shape = MakeOwnedPlane<uint16_t>(brushPixels);
  planes.blend = MakeOwnedPlane<uint16_t>(brushPixels * 4);
  planes.mask = MakeOwnedPlane<uint16_t>(canvasPixels);
  planes.back = MakeOwnedPlane<uint16_t>(canvasPixels * 4);
  planes.backMask = MakeOwnedPlane<uint16_t>(canvasPixels);
  // The back buffer is refilled by the history reset only when a layer is current; start it clear
  // so that nothing undefined can ever be undone into a layer.
  std::memset(planes.back.get(), 0, canvasPixels * 8);
  std::memset(planes.mask.get(), 0xFF, canvasPixels * 2);
  return planes;
}

void ReleaseBrushBuffers(EngineState& s) {
  ReleasePlane(s.blendBuffer);
  ReleasePlane(s.paintLayer.pixels);
  ReleasePlane(s.shapeBuffer);
  ReleasePlane(s.shapeImageCache.pixels);
  s.shapeImageCache.width = s.shapeImageCache.height = 0;
  for (auto& grit : s.gritBuffers) ReleasePlane(grit);
}

// The processing buffers go back to the scratch pool, which is then emptied: a canvas of
// another size (or none) has no use for blocks of the old one.
void ReleaseProcessingBuffers(EngineState& s) {
  ProcessingBuffers& b = s.processingBuffers;
  for (uint8_t** pixels : {&b.src32, &b.dst32, &b.src24, &b.dst24}) {
    ReturnScratch(*pixels);
    *pixels = nullptr;
  }
  TrimScratch();
}

// The mask, the texture, the back buffers and every history step (the first steps of deletion,
// shared with resizing).
void ReleaseCanvasPlanesAndHistory(EngineState& s) {
  ReleasePlane(s.maskPlane);
  ReleasePlane(s.textureImage);
  ReleasePlane(s.undo.historyBack);
  ReleasePlane(s.undo.historyBackMask);
  HistoryEntry& backEntry = s.undo.entries[0];
  backEntry = HistoryEntry{};
  backEntry.maskFlag = s.maskEnabled;
  ClearUndo();
  s.undo.undoUsedKB = 0;
}

void InstallPlanes(EngineState& s, CanvasPlanes& planes) {
  for (int i = 0; i < kGritBufferCount; ++i) s.gritBuffers[i] = planes.grit[i].release();
  s.shapeBuffer = planes.shape.release();
  s.blendBuffer = planes.blend.release();
  s.maskPlane = planes.mask.release();
  s.undo.historyBack = planes.back.release();
  s.undo.historyBackMask = planes.backMask.release();
}

// Builds the two pools the brush grit draws from; a failure is reported under the pool builder's
// own name and the canvas goes on without that pool.
void BuildRandomPools(EngineState& s) {
  try {
    MakeRandArrayByte(s.randomPoolA, 255, kRandomPoolLength);
    MakeRandArrayByte(s.randomPoolB, 254, kRandomPoolLength);
  } catch (...) {
    SetLastError("MakeRandArrayByte Excpt");
  }
}

int32_t BackBufferKB(const EngineState& s) {
  return static_cast<int32_t>(int64_t{s.canvasWidth} * s.canvasHeight * 10 / 1024);
}

}  // namespace

int32_t ClampCanvasSide(int32_t side) { return (side < 0 || side > 10000) ? 100 : side; }

bool CanvasLive() { return State().undo.historyBack != nullptr; }

void CreateImage(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
                 int32_t reservedParam) {
  RefuseInsideHostCallback();
  EngineState& s = State();
  width = ClampCanvasSide(width);
  height = ClampCanvasSide(height);
  CanvasPlanes planes = AllocateCanvasPlanes(width, height, maxBrushSize);

  s.canvasWidth = width;
  s.viewScale = 1.0f;
  s.canvasStride = 4 * width;
  s.hostWindow = hostWindow;
  s.canvasHeight = height;
  s.brushStride = 4 * maxBrushSize;
  s.maxBrushSize = maxBrushSize;
  s.reservedParam = reservedParam;
  s.viewScaleLevel = 1;
  s.viewOffsetX = s.viewOffsetY = 0;

  for (auto& layer : s.layers) ReleasePlane(layer.pixels);
  s.currentLayer = nullptr;

  // A host that creates a second canvas without deleting the first would otherwise leak the old
  // brush buffers, mask, back buffers and processing buffers, and keep a texture plane and a paint
  // layer of the old size for the brush to run past: they are released as the new planes go in.
  ReleasePlane(s.blendBuffer);
  ReleasePlane(s.shapeBuffer);
  for (auto& grit : s.gritBuffers) ReleasePlane(grit);
  ReleasePlane(s.maskPlane);
  ReleasePlane(s.textureImage);
  ReleasePlane(s.undo.historyBack);
  ReleasePlane(s.undo.historyBackMask);
  if (s.paintLayer.width != width || s.paintLayer.height != height)
    ReleasePlane(s.paintLayer.pixels);
  ReleaseProcessingBuffers(s);
  InstallPlanes(s, planes);
  // The first quarter of the blend buffer: the extent that clearing the blend buffer covers.
  std::memset(s.blendBuffer, 0, PlaneBytes(maxBrushSize, maxBrushSize, 2));

  s.maskEnabled = 1;
  s.tracingMode = 0;
  s.traceLayer = &s.layers[0];

  ClearUndo();
  s.undo.undoUsedKB = BackBufferKB(s);
  BuildRandomPools(s);
}

void NewSize(void* hostWindow, int32_t width, int32_t height, int32_t maxBrushSize,
             int32_t reservedParam) {
  RefuseInsideHostCallback();
  EngineState& s = State();
  width = ClampCanvasSide(width);
  height = ClampCanvasSide(height);
  CanvasPlanes planes = AllocateCanvasPlanes(width, height, maxBrushSize);

  s.canvasHeight = height;
  s.hostWindow = hostWindow;
  s.canvasWidth = width;

  ReleaseCanvasPlanesAndHistory(s);
  ReleaseBrushBuffers(s);
  ReleaseProcessingBuffers(s);

  s.viewScale = 1.0f;
  s.canvasStride = 4 * width;
  s.brushStride = 4 * maxBrushSize;
  s.maxBrushSize = maxBrushSize;
  s.reservedParam = reservedParam;
  s.viewScaleLevel = 1;
  s.viewOffsetX = s.viewOffsetY = 0;

  InstallPlanes(s, planes);
  s.maskEnabled = 1;
  s.tracingMode = 0;

  ClearUndo();
  s.undo.undoUsedKB = BackBufferKB(s);
  BuildRandomPools(s);
}

void DeleteImage() {
  RefuseInsideHostCallback();
  EngineState& s = State();
  ReleaseCanvasPlanesAndHistory(s);
  ReleaseBrushBuffers(s);
  for (int32_t index = 0; index < kLayerSlots; ++index) DeleteLayer(index);
  ReleaseProcessingBuffers(s);
}

}  // namespace engine
