#include "engine/run_length_lines.h"

#include <cstring>

#include "engine/engine_state.h"
#include "engine/run_length_codec.h"
#include "engine/transfer_checks.h"

namespace engine {
namespace {

bool RowInCanvas(int32_t row) { return row >= 0 && row < State().canvasHeight; }

// Row r of a canvas-sized plane starts r x canvas width pixels from the plane's start.
uint16_t* LayerLine(int32_t index, int32_t row) {
  LayerRecord* layer = CanvasLayer(index);
  if (!layer || !RowInCanvas(row)) return nullptr;
  return PixelAt(*layer, 0, row);
}

uint16_t* MaskLine(int32_t row) {
  EngineState& s = State();
  if (!s.maskPlane || !RowInCanvas(row)) return nullptr;
  return s.maskPlane + std::size_t(row) * std::size_t(s.canvasWidth);
}

std::size_t MaskBytes() {
  const EngineState& s = State();
  return std::size_t(s.canvasWidth) * std::size_t(s.canvasHeight) * 2;
}

}  // namespace

int32_t GetRGBA32LayerLineRLE(uint8_t* dst, int32_t index, int32_t row) {
  const uint16_t* line = LayerLine(index, row);
  return line ? RLECompressRGBA64ToRGBA32(line, dst, State().canvasWidth) : 0;
}

int32_t GetMaskLineRLE(uint8_t* dst, int32_t row) {
  const uint16_t* line = MaskLine(row);
  return line ? RLECompressG16ToG8(line, dst, State().canvasWidth) : 0;
}

int32_t PutRGBA32LayerLineRLE(const uint8_t* src, int32_t index, int32_t row) {
  uint16_t* line = LayerLine(index, row);
  if (!line || !src) return 0;
  RLEUncompressRGBA32ToRGBA64(src, line, State().canvasWidth);
  return 1;
}

int32_t PutMaskLineRLE(const uint8_t* src, int32_t row) {
  uint16_t* line = MaskLine(row);
  if (!line || !src) return 0;
  RLEUncompressG8ToG16(src, line, State().canvasWidth);
  return 1;
}

int32_t PutRGBA32LayerLineRLEChecked(const uint8_t* src, int32_t index, int32_t row,
                                     int32_t srcBytes) {
  uint16_t* line = LayerLine(index, row);
  return line ? RLEUncompressRGBA32ToRGBA64Checked(src, line, State().canvasWidth, srcBytes) : 0;
}

int32_t PutMaskLineRLEChecked(const uint8_t* src, int32_t row, int32_t srcBytes) {
  uint16_t* line = MaskLine(row);
  return line ? RLEUncompressG8ToG16Checked(src, line, State().canvasWidth, srcBytes) : 0;
}

int32_t GetMaskData16(void* dst) {
  const uint16_t* mask = State().maskPlane;
  if (!mask || !dst) return 0;
  std::memcpy(dst, mask, MaskBytes());
  return 1;
}

int32_t SetMaskData16(const void* src) {
  uint16_t* mask = State().maskPlane;
  if (!mask || !src) return 0;
  std::memcpy(mask, src, MaskBytes());
  return 1;
}

}  // namespace engine
