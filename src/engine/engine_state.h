// The one engine-wide record. Every export works on this state; there are no handles.
#pragma once

#include <cstdint>

#include "engine/layer_record.h"
#include "engine/random_pool.h"
#include "engine/undo_history.h"
#include "imaging/text.h"
#include "palmora/tablet.h"

namespace io {
struct MovieWriter;
}

namespace engine {

inline constexpr int kLayerSlots = 64;
inline constexpr int kGritBufferCount = 20;
inline constexpr int kLastErrorBytes = 512;
inline constexpr int kStartDirBytes = 1024;

// The four planes of the processing frame: canvas-sized 8-bit copies of the current layer and
// the destinations effects write into.
struct ProcessingBuffers {
  uint8_t* src32 = nullptr;
  uint8_t* dst32 = nullptr;
  uint8_t* src24 = nullptr;
  uint8_t* dst24 = nullptr;
  // The canvas size each buffer was allocated for: a buffer is used only while it still matches.
  int32_t src32Width = 0, src32Height = 0, dst32Width = 0, dst32Height = 0;
  int32_t src24Width = 0, src24Height = 0, dst24Width = 0, dst24Height = 0;
};

// The picture a file, clipboard, capture or scanner read leaves for the host ("NewRGBA").
struct ImportBuffer {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;
};

// The picture of the last loaded brush shape, kept so a repeated tool change does not reload it.
struct ShapeImageCache {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;  // RGBA32
  int32_t angle = 0;
  char name[kStartDirBytes] = {};
};

// The three-point curve the host computes and then reads back point by point.
struct CurveState {
  static constexpr int32_t kPoints = 100;
  double controlX[3] = {}, controlY[3] = {}, controlZ[3] = {};
  double x[kPoints] = {}, y[kPoints] = {}, z[kPoints] = {};
  int32_t pointCount = 0;  // 0 until the first curve, then kPoints
};

// Pen-tablet input: the open context and the last batch of packets.
struct TabletState {
  static constexpr uint32_t kBatch = 256;
  void* window = nullptr;
  void* context = nullptr;
  int32_t pressureMin = 0, pressureMax = 0, pressureRange = 0;
  float pressureScale = 0.0f;
  int32_t originX = 0, originY = 0;
  PMR_TabletPacket packets[kBatch] = {};
  uint32_t packetCount = 0;
  uint32_t lastPressure = 100;
};

struct EngineState {
  // Canvas geometry.
  void* hostWindow = nullptr;
  int32_t canvasWidth = 0;
  int32_t canvasHeight = 0;
  int32_t canvasStride = 0;  // 4 x canvasWidth, in samples
  int32_t maxBrushSize = 0;
  int32_t reservedParam = 0;
  int32_t brushStride = 0;  // 4 x maxBrushSize, in samples

  // View.
  int32_t viewScaleLevel = 0;
  float viewScale = 0.0f;
  int32_t viewOffsetX = 0;
  int32_t viewOffsetY = 0;
  int32_t viewWidth = 0;
  int32_t viewHeight = 0;

  // Layers.
  LayerRecord layers[kLayerSlots] = {};
  int32_t currentLayerIndex = 0;
  LayerRecord* currentLayer = nullptr;
  int32_t topLayerIndex = 0;
  LayerRecord paintLayer = {};
  LayerRecord* traceLayer = nullptr;
  uint16_t alphaLayerOpacity = 65535;

  // Brush buffers.
  uint16_t* blendBuffer = nullptr;              // RGBA64, maxBrushSize^2 pixels
  uint16_t* shapeBuffer = nullptr;              // G16, maxBrushSize^2 samples
  uint8_t* gritBuffers[kGritBufferCount] = {};  // each (maxBrushSize + 25)^2 bytes
  ShapeImageCache shapeImageCache;
  uint8_t* textureImage = nullptr;  // G8, canvas-sized, values 4..250
  // The paint colour and the four colour banks (red, green, blue, alpha on the 16-bit scale; the
  // banks channel by channel: colorBanks[c][k] is channel c of bank k). The brush sets them;
  // effects, metafile pictures and scripts read them as the current colour.
  uint16_t brushColor[4] = {};
  uint16_t colorBanks[4][4] = {};

  // Mask.
  uint16_t* maskPlane = nullptr;  // G16, canvas-sized; 65535 lets changes through
  uint8_t maskEnabled = 0;
  uint8_t maskDisplayed = 0;
  uint16_t maskTintOdd[3] = {};
  uint16_t maskTintEven[3] = {};
  int32_t maskFullStrength = 0;
  uint8_t tracingMode = 0;

  // Undo history.
  UndoHistory undo;

  // Exchange.
  ImportBuffer importBuffer;
  io::MovieWriter* movie = nullptr;  // the open movie, null when none is
  ProcessingBuffers processingBuffers;

  // Services.
  CurveState curve;
  imaging::FontRecord font = {};  // the text font; all zero until one is chosen
  TabletState tablet;
  char lastError[kLastErrorBytes] = {};
  char startDir[kStartDirBytes] = {};
  uint32_t randomSeed = 0;
  RandomArray randomPoolA;
  RandomArray randomPoolB;
};

// The engine state. Zero-initialised at load except alphaLayerOpacity, which starts at 65535.
extern EngineState engineStateRecord;
inline EngineState& State() { return engineStateRecord; }

// Stores text as the last error: at most 511 bytes, the rest of the buffer zeroed.
void SetLastError(const char* text);

}  // namespace engine
