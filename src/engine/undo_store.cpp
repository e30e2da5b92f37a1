#include "engine/undo_store.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "engine/engine_state.h"
#include "engine/heap.h"
#include "engine/layer_stack.h"
#include "imaging/overlay.h"
#include "platform/memory_status.h"

namespace engine {
namespace {

constexpr uint32_t kColourBytes = 8;  // RGBA64
constexpr uint32_t kMaskBytes = 2;    // G16

struct Rect {
  int32_t x, y, w, h;
};

Rect EntryRect(const HistoryEntry& e) {
  return {e.left, e.top, e.right - e.left + 1, e.bottom - e.top + 1};
}

int64_t Area(const HistoryEntry& e) {
  const Rect r = EntryRect(e);
  return int64_t{r.w} * r.h;
}

UndoHistory& History() { return State().undo; }

void SubtractUsed(int64_t kb) {
  UndoHistory& h = History();
  h.undoUsedKB = static_cast<int32_t>(std::max<int64_t>(0, h.undoUsedKB - kb));
}

// Frees an entry's buffers, giving their memory back, and resets its flag and rectangle.
void ReleaseEntry(HistoryEntry& e, uint8_t maskFlag) {
  const int64_t area = Area(e);
  if (e.colour) SubtractUsed(area * kColourBytes / 1024);
  if (e.mask) SubtractUsed(area * kMaskBytes / 1024);
  ReleasePlane(e.colour);
  ReleasePlane(e.mask);
  e = HistoryEntry{};
  e.maskFlag = maskFlag;
}

// Buffers released while making room, kept for the step being committed when their size fits it
// exactly (so the memory figures stay exact).
struct SpareBuffers {
  OwnedPlane<uint16_t> colour;
  OwnedPlane<uint16_t> mask;
};

void ReleaseEntry(HistoryEntry& e, uint8_t maskFlag, std::size_t wantedArea, SpareBuffers& spare) {
  if (std::size_t(Area(e)) == wantedArea) {
    if (e.colour && !spare.colour) {
      SubtractUsed(Area(e) * kColourBytes / 1024);
      spare.colour.reset(std::exchange(e.colour, nullptr));
    }
    if (e.mask && !spare.mask) {
      SubtractUsed(Area(e) * kMaskBytes / 1024);
      spare.mask.reset(std::exchange(e.mask, nullptr));
    }
  }
  ReleaseEntry(e, maskFlag);
}

// The rectangle moves between planes go through the library's exact overlay copy. A canvas-sized
// plane and a packed w x h buffer are both described by their own width, height and row bytes.
void CanvasToPacked(const uint16_t* plane, uint32_t bytesPerPixel, const Rect& r,
                    uint16_t* packed) {
  const EngineState& s = State();
  imaging::IS3OverlayImage(packed, r.w, r.h, bytesPerPixel, r.w * bytesPerPixel, plane,
                           s.canvasWidth, s.canvasHeight, s.canvasWidth * bytesPerPixel, -r.x, -r.y,
                           1.0, 0);
}

void PackedToCanvas(const uint16_t* packed, uint32_t bytesPerPixel, const Rect& r,
                    uint16_t* plane) {
  const EngineState& s = State();
  imaging::IS3OverlayImage(plane, s.canvasWidth, s.canvasHeight, bytesPerPixel,
                           s.canvasWidth * bytesPerPixel, packed, r.w, r.h, r.w * bytesPerPixel,
                           r.x, r.y, 1.0, 0);
}

void CanvasToCanvas(const uint16_t* from, uint32_t bytesPerPixel, const Rect& r, uint16_t* to) {
  const EngineState& s = State();
  const std::size_t rowBytes = std::size_t(s.canvasWidth) * bytesPerPixel;
  const auto* origin = reinterpret_cast<const uint8_t*>(from) + std::size_t(r.y) * rowBytes +
                       std::size_t(r.x) * bytesPerPixel;
  imaging::IS3OverlayImage(to, s.canvasWidth, s.canvasHeight, bytesPerPixel, rowBytes, origin, r.w,
                           r.h, rowBytes, r.x, r.y, 1.0, 0);
}

// The current layer's pixels when the history can read it against the canvas-sized back buffer.
// A layer of another size (left behind by a canvas resize) takes no part in colour steps.
uint16_t* CurrentCanvasLayer() {
  EngineState& s = State();
  return IsCanvasSized(s.currentLayer) ? s.currentLayer->pixels : nullptr;
}

// The three copies that undo and redo share: the entry's pixels go into the live plane, the back
// buffer's into the entry, and the live plane's into the back buffer.
void SwapThroughBackBuffer(uint16_t* stored, uint16_t* live, uint16_t* back, uint32_t bytesPerPixel,
                           const Rect& r) {
  PackedToCanvas(stored, bytesPerPixel, r, live);
  CanvasToPacked(back, bytesPerPixel, r, stored);
  CanvasToCanvas(live, bytesPerPixel, r, back);
}

void SwapEntry(HistoryEntry& e, int32_t layerIndex) {
  EngineState& s = State();
  const Rect r = EntryRect(e);
  // The step belongs to one layer; if that layer could not be selected (it was deleted), its
  // pixels must not land in another one.
  uint16_t* layer = s.currentLayerIndex == layerIndex ? CurrentCanvasLayer() : nullptr;
  if (e.colour && layer && s.undo.historyBack)
    SwapThroughBackBuffer(e.colour, layer, s.undo.historyBack, kColourBytes, r);
  if (e.mask && s.maskPlane && s.undo.historyBackMask)
    SwapThroughBackBuffer(e.mask, s.maskPlane, s.undo.historyBackMask, kMaskBytes, r);
}

void RemoveAdandonedUndo() {
  UndoHistory& h = History();
  if (h.redoCount == 0) return;
  const uint8_t maskEnabled = State().maskEnabled;
  const int32_t dropped = static_cast<int32_t>(std::min<uint32_t>(h.redoCount, kHistoryEntries));
  for (int32_t k = 1; k <= dropped; ++k) ReleaseEntry(h.entries[k], maskEnabled);
  for (int32_t k = dropped + 1; k <= h.undoLevels; ++k) {
    h.entries[k - dropped] = h.entries[k];
    h.historyLayer[k - dropped - 1] = h.historyLayer[k - 1];
    h.entries[k] = HistoryEntry{};
  }
  h.redoCount = 0;
}

void SelectLayerOf(int32_t layerIndex) {
  if (layerIndex != State().currentLayerIndex) SetLayer(layerIndex);
}

}  // namespace

void EmptyPendingRect() {
  const EngineState& s = State();
  History().pending = {s.canvasWidth - 1, s.canvasHeight - 1, 0, 0};
}

void WidenPendingRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  PendingRect& p = History().pending;
  p.left = std::min(p.left, left);
  p.top = std::min(p.top, top);
  p.right = std::max(p.right, right);
  p.bottom = std::max(p.bottom, bottom);
}

void RecomputeUndoBudget() {
  EngineState& s = State();
  UndoHistory& h = s.undo;
  if (!h.undoBudgetAuto) return;
  platform::MemoryStatus status;
  if (!platform::ReadMemoryStatus(status)) return;
  const uint64_t freeKB = std::min(status.availablePhysical, status.availablePageFile) >> 10;
  const double x = static_cast<double>(freeKB) * 0.85 + h.undoUsedKB;
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  const int64_t budgetBase = static_cast<int64_t>(std::min(x, kMax));
  const int64_t pages = int64_t{s.canvasWidth} * s.canvasHeight / 1024;
  const int64_t budget = std::max(budgetBase - 20 * pages, 15 * pages);
  h.undoBudgetKB = static_cast<int32_t>(std::clamp<int64_t>(budget, 0, INT32_MAX));
}

void SetUndoLevels(int32_t levels) {
  ClearUndo();
  History().undoLevels = std::clamp(levels, 0, kHistoryEntries);
}

void SetUndoMB(int32_t megabytes) {
  UndoHistory& h = History();
  if (megabytes != 0) {
    h.undoBudgetAuto = 0;
    h.undoBudgetKB =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{megabytes} * 1024, 0, INT32_MAX));
  } else {
    h.undoBudgetAuto = 1;
    RecomputeUndoBudget();
  }
}

int32_t GetTotalUndoMemory() {
  RecomputeUndoBudget();
  return History().undoBudgetKB / 1024;
}

int32_t GetCurrentUndoMemory() { return History().undoUsedKB / 1024; }

void ClearUndo() {
  EngineState& s = State();
  UndoHistory& h = s.undo;
  EmptyPendingRect();
  h.undoPaused = 0;
  h.redoCount = 0;
  for (int32_t k = 1; k <= kHistoryEntries; ++k) ReleaseEntry(h.entries[k], s.maskEnabled);
  h.undoUsedKB = static_cast<int32_t>(int64_t{s.canvasWidth} * s.canvasHeight * 10 / 1024);
  SaveUndoBackBuffer(s.currentLayerIndex);
  RecomputeUndoBudget();
}

void SaveUndoBackBuffer(int32_t index) {
  EngineState& s = State();
  UndoHistory& h = s.undo;
  if (h.undoPaused) return;
  const std::size_t pixels = std::size_t(std::max(s.canvasWidth, 0)) * std::max(s.canvasHeight, 0);
  // Only a layer of the canvas's size is copied: one left at another size by a canvas resize
  // would be read past its end (or only partly).
  const LayerRecord* layer = LayerSlot(index);
  if (h.historyBack && IsCanvasSized(layer)) std::copy_n(layer->pixels, pixels * 4, h.historyBack);
  if (h.historyBackMask && s.maskPlane) std::copy_n(s.maskPlane, pixels, h.historyBackMask);
}

void SaveUndoBuffer(bool saveColour, bool saveMask) {
  EngineState& s = State();
  UndoHistory& h = s.undo;
  if (h.undoPaused || !h.historyBack || s.canvasWidth <= 0 || s.canvasHeight <= 0) return;
  uint16_t* layer = CurrentCanvasLayer();
  saveColour = saveColour && layer;
  saveMask = saveMask && s.maskPlane && h.historyBackMask;

  PendingRect& p = h.pending;
  p.left = std::max(p.left, 0);
  p.top = std::max(p.top, 0);
  p.right = std::min(p.right, s.canvasWidth - 1);
  p.bottom = std::min(p.bottom, s.canvasHeight - 1);
  RemoveAdandonedUndo();
  if (p.right <= p.left || p.bottom <= p.top) p = {0, 0, s.canvasWidth - 1, s.canvasHeight - 1};
  const Rect r{p.left, p.top, p.right - p.left + 1, p.bottom - p.top + 1};
  RecomputeUndoBudget();

  if (h.undoLevels > 0) {
    // Make room from the oldest slot; the shift below drops the last entry anyway. A released
    // buffer of exactly the new step's size is kept for it: once the history is full, every commit
    // would otherwise hand a block back to the system and fault a fresh one in.
    const std::size_t area = std::size_t(r.w) * r.h;
    SpareBuffers spare;
    ReleaseEntry(h.entries[h.undoLevels], 0, area, spare);
    const int64_t stepKB = int64_t{r.w} * r.h * 10 / 1024;
    for (int32_t k = h.undoLevels - 1; k >= 1 && stepKB + h.undoUsedKB >= h.undoBudgetKB; --k)
      ReleaseEntry(h.entries[k], 0, area, spare);

    OwnedPlane<uint16_t> colour, mask;
    try {
      if (saveColour)
        colour = spare.colour ? std::move(spare.colour) : MakeOwnedPlane<uint16_t>(area * 4);
      if (saveMask) mask = spare.mask ? std::move(spare.mask) : MakeOwnedPlane<uint16_t>(area);
    } catch (const std::bad_alloc&) {
      SetLastError("SaveUndoBuf Excpt");
      return;
    }
    if (colour) h.undoUsedKB += static_cast<int32_t>(int64_t(area) * kColourBytes / 1024);
    if (mask) h.undoUsedKB += static_cast<int32_t>(int64_t(area) * kMaskBytes / 1024);

    for (int32_t k = h.undoLevels - 1; k >= 1; --k) {
      h.entries[k + 1] = h.entries[k];
      h.historyLayer[k] = h.historyLayer[k - 1];
    }
    HistoryEntry& e = h.entries[1];
    e = HistoryEntry{colour.release(), mask.release(), s.maskEnabled, p.left, p.top,
                     p.right,          p.bottom};
    h.historyLayer[0] = s.currentLayerIndex;
    if (e.colour) CanvasToPacked(h.historyBack, kColourBytes, r, e.colour);
    if (e.mask) CanvasToPacked(h.historyBackMask, kMaskBytes, r, e.mask);
  }
  if (saveColour) CanvasToCanvas(layer, kColourBytes, r, h.historyBack);
  if (saveMask) CanvasToCanvas(s.maskPlane, kMaskBytes, r, h.historyBackMask);
  EmptyPendingRect();
}

void ReduceUndo(int32_t kilobytes) {
  UndoHistory& h = History();
  RemoveAdandonedUndo();
  int64_t released = 0;
  for (int32_t k = h.undoLevels; k >= 1; --k) {
    HistoryEntry& e = h.entries[k];
    if (!e.colour) continue;
    if (released >= kilobytes) break;
    const int64_t kb = Area(e) * 10 / 1024;
    ReleasePlane(e.colour);
    ReleasePlane(e.mask);
    SubtractUsed(kb);
    released += kb;
    e = HistoryEntry{};
  }
}

void Undo() {
  UndoHistory& h = History();
  if (h.undoPaused || h.redoCount >= static_cast<uint32_t>(h.undoLevels)) return;
  HistoryEntry& e = h.entries[h.redoCount + 1];
  if (!e.colour && !e.mask) return;
  const int32_t layerIndex = h.historyLayer[h.redoCount];
  SelectLayerOf(layerIndex);
  SwapEntry(e, layerIndex);
  h.redoCount += 1;
}

void Redo() {
  UndoHistory& h = History();
  if (h.undoPaused || h.redoCount == 0) return;
  h.redoCount -= 1;
  const uint32_t entry = h.redoCount + 1;
  const int32_t layerIndex = h.historyLayer[entry - 1];
  SelectLayerOf(layerIndex);
  SwapEntry(h.entries[entry], layerIndex);
}

bool CanUndo() {
  const UndoHistory& h = History();
  if (h.redoCount >= static_cast<uint32_t>(h.undoLevels)) return false;
  const HistoryEntry& e = h.entries[h.redoCount + 1];
  return e.colour || e.mask;
}

bool CanRedo() { return History().redoCount != 0; }

uint32_t GetRedoCount() { return History().redoCount; }

int32_t GetUndoCount() {
  int32_t count = 0;
  const UndoHistory& h = History();
  for (int32_t k = 1; k <= kHistoryEntries; ++k)
    count += (h.entries[k].colour || h.entries[k].mask);
  return count;
}

void PauseUndo() { History().undoPaused = 1; }
void ResumeUndo() { History().undoPaused = 0; }

}  // namespace engine
