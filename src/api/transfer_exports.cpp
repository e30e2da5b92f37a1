// Exports: pixel transfer between layers, the mask and host buffers.
#include "api/guard.h"
#include "engine/colour_pickers.h"
#include "engine/host_buffer_convert.h"
#include "engine/layer_blob.h"
#include "engine/layer_fills.h"
#include "engine/layer_load_rgb24.h"
#include "engine/layer_load_rgba32.h"
#include "engine/layer_queries.h"
#include "engine/layer_read_8bit.h"
#include "engine/layer_transfer_rgba64.h"
#include "engine/run_length_codec.h"
#include "engine/run_length_lines.h"
#include "palmora/transfer.h"

PMR_API int32_t PMR_GetRGBA64Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return api::guard(0, "GetRGBA64Layer Excpt",
                    [&] { return engine::GetRGBA64Layer(dst, dstRowBytes, index); });
}
PMR_API int32_t PMR_GetRGBA64LayerRect(void* dst, int32_t dstRowBytes, int32_t index, int32_t x,
                                       int32_t y, int32_t width, int32_t height) {
  return api::guard(0, "GetRGBA64LayerRect Excpt", [&] {
    return engine::GetRGBA64LayerRect(dst, dstRowBytes, index, x, y, width, height);
  });
}
PMR_API int32_t PMR_SetRGBA64Layer(const void* src, int32_t srcRowBytes, int32_t index) {
  return api::guard(0, "SetRGBA64Layer Excpt",
                    [&] { return engine::SetRGBA64Layer(src, srcRowBytes, index); });
}
PMR_API int32_t PMR_GetLayerData(void* dst, int32_t index) {
  return api::guard(0, "GetLayerData Excpt", [&] { return engine::GetLayerData(dst, index); });
}
PMR_API int32_t PMR_SetLayerData(const void* src, int32_t index) {
  return api::guard(0, "SetLayerData Excpt", [&] { return engine::SetLayerData(src, index); });
}
PMR_API int32_t PMR_CopyLayerData(int32_t srcIndex, int32_t dstIndex) {
  return api::guard(0, "CopyLayerData Excpt",
                    [&] { return engine::CopyLayerData(srcIndex, dstIndex); });
}

PMR_API int32_t PMR_GetRGBA32Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return api::guard(0, "GetRGBA32Layer Excpt",
                    [&] { return engine::GetRGBA32Layer(dst, dstRowBytes, index); });
}
PMR_API int32_t PMR_GetRGBA32(void* dst, int32_t dstRowBytes) {
  return api::guard(0, "GetRGBA32 Excpt", [&] { return engine::GetRGBA32(dst, dstRowBytes); });
}
PMR_API int32_t PMR_GetRGB24Layer(void* dst, int32_t dstRowBytes, int32_t index) {
  return api::guard(0, "GetRGB24Layer Excpt",
                    [&] { return engine::GetRGB24Layer(dst, dstRowBytes, index); });
}
PMR_API int32_t PMR_GetRGB24(void* dst, int32_t dstRowBytes) {
  return api::guard(0, "GetRGB24 Excpt", [&] { return engine::GetRGB24(dst, dstRowBytes); });
}
PMR_API int32_t PMR_GetRGB24FromAlpha(void* dst, int32_t dstRowBytes) {
  return api::guard(0, "GetRGB24FromAlpha Excpt",
                    [&] { return engine::GetRGB24FromAlpha(dst, dstRowBytes); });
}

PMR_API int32_t PMR_LoadRGBA32Layer(const void* src, int32_t srcRowBytes, int32_t index, int32_t x,
                                    int32_t y, int32_t width, int32_t height,
                                    int32_t useMaskAndTexture) {
  return api::guard(0, "LoadRGBA32Layer Excpt", [&] {
    return engine::LoadRGBA32Layer(src, srcRowBytes, index, x, y, width, height, useMaskAndTexture);
  });
}
PMR_API int32_t PMR_LoadRGBA32(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture) {
  return api::guard(0, "LoadRGBA32 Excpt",
                    [&] { return engine::LoadRGBA32(src, srcRowBytes, useMaskAndTexture); });
}
PMR_API int32_t PMR_LoadRGBA32Into(const void* src, int32_t srcRowBytes, int32_t index, int32_t x,
                                   int32_t y, int32_t width, int32_t height) {
  return api::guard(0, "LoadRGBA32Into Excpt", [&] {
    return engine::LoadRGBA32Into(src, srcRowBytes, index, x, y, width, height);
  });
}
PMR_API int32_t PMR_LoadRGB24(const void* src, int32_t srcRowBytes, int32_t useMaskAndTexture) {
  return api::guard(0, "LoadRGB24 Excpt",
                    [&] { return engine::LoadRGB24(src, srcRowBytes, useMaskAndTexture); });
}
PMR_API int32_t PMR_LoadRGB24ToAlpha(const void* src, int32_t srcRowBytes,
                                     int32_t useMaskAndTexture) {
  return api::guard(0, "LoadRGB24ToAlpha Excpt",
                    [&] { return engine::LoadRGB24ToAlpha(src, srcRowBytes, useMaskAndTexture); });
}
PMR_API int32_t PMR_Load(const void* src, int32_t srcRowBytes, int32_t width, int32_t height) {
  return api::guard(0, "Load Excpt", [&] { return engine::Load(src, srcRowBytes, width, height); });
}

PMR_API int32_t PMR_GetRGBA32LayerCompressed(void* out, int32_t reserved, void* outArgument,
                                             int32_t index, int32_t level) {
  return api::guard(0, "GetRGBA32Layer Excpt", [&] {
    return engine::GetRGBA32LayerCompressed(out, reserved, outArgument, index, level);
  });
}
PMR_API int32_t PMR_LoadRGBA32LayerCompressed(const void* blob, int32_t reserved, int32_t blobSize,
                                              int32_t index) {
  return api::guard(0, "LoadRGBA32LayerCompressed Excpt", [&] {
    return engine::LoadRGBA32LayerCompressed(blob, reserved, blobSize, index);
  });
}

PMR_API int32_t PMR_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t index, int32_t row) {
  return engine::GetRGBA32LayerLineRLE(dst, index, row);
}
PMR_API int32_t PMR_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t index, int32_t row) {
  return engine::PutRGBA32LayerLineRLE(src, index, row);
}
PMR_API int32_t PMR_PutRGBA32LayerLineRLEChecked(const uint8_t* src, int32_t index, int32_t row,
                                                 int32_t srcBytes) {
  return engine::PutRGBA32LayerLineRLEChecked(src, index, row, srcBytes);
}
PMR_API int32_t PMR_GetMaskLineRLE(uint8_t* dst, int32_t row) {
  return engine::GetMaskLineRLE(dst, row);
}
PMR_API int32_t PMR_PutMaskLineRLE(const uint8_t* src, int32_t row) {
  return engine::PutMaskLineRLE(src, row);
}
PMR_API int32_t PMR_PutMaskLineRLEChecked(const uint8_t* src, int32_t row, int32_t srcBytes) {
  return engine::PutMaskLineRLEChecked(src, row, srcBytes);
}
PMR_API int32_t PMR_GetMaskData16(void* dst) { return engine::GetMaskData16(dst); }
PMR_API int32_t PMR_SetMaskData16(const void* src) { return engine::SetMaskData16(src); }

PMR_API int32_t PMR_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count) {
  return engine::RLECompressRGBA64ToRGBA32(src, dst, count);
}
PMR_API int32_t PMR_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count) {
  return engine::RLECompressG16ToG8(src, dst, count);
}
PMR_API uint16_t* PMR_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst,
                                                  int32_t count) {
  return engine::RLEUncompressRGBA32ToRGBA64(src, dst, count);
}
PMR_API void PMR_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count) {
  engine::RLEUncompressG8ToG16(src, dst, count);
}
PMR_API int32_t PMR_RLEUncompressRGBA32ToRGBA64Checked(const uint8_t* src, uint16_t* dst,
                                                       int32_t count, int32_t srcBytes) {
  return engine::RLEUncompressRGBA32ToRGBA64Checked(src, dst, count, srcBytes);
}
PMR_API int32_t PMR_RLEUncompressG8ToG16Checked(const uint8_t* src, uint16_t* dst, int32_t count,
                                                int32_t srcBytes) {
  return engine::RLEUncompressG8ToG16Checked(src, dst, count, srcBytes);
}

PMR_API int32_t PMR_GetRGBA32FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                            int32_t srcRowBytes, int32_t x, int32_t y,
                                            int32_t width, int32_t height) {
  return api::guard(0, "GetRGBA32FromRGBA64Rect Excpt", [&] {
    return engine::GetRGBA32FromRGBA64Rect(dst, dstRowBytes, src, srcRowBytes, x, y, width, height);
  });
}
PMR_API int32_t PMR_GetRGB24FromRGBA64Rect(void* dst, int32_t dstRowBytes, const void* src,
                                           int32_t srcRowBytes, int32_t x, int32_t y, int32_t width,
                                           int32_t height) {
  return api::guard(0, "GetRGB24FromRGBA64Rect Excpt", [&] {
    return engine::GetRGB24FromRGBA64Rect(dst, dstRowBytes, src, srcRowBytes, x, y, width, height);
  });
}
PMR_API int32_t PMR_GetRGBA32FromRGBA64(void* dst, int32_t dstRowBytes, int32_t width,
                                        int32_t height, const void* src, int32_t srcRowBytes) {
  return api::guard(0, "GetRGBA32FromRGBA64 Excpt", [&] {
    return engine::GetRGBA32FromRGBA64(dst, dstRowBytes, width, height, src, srcRowBytes);
  });
}
PMR_API int32_t PMR_GetRGB24FromRGBA64(void* dst, int32_t dstRowBytes, const void* src,
                                       int32_t srcRowBytes) {
  return api::guard(0, "GetRGB24FromRGBA64 Excpt",
                    [&] { return engine::GetRGB24FromRGBA64(dst, dstRowBytes, src, srcRowBytes); });
}
PMR_API int32_t PMR_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t srcRowPixels, int32_t reserved,
                                       uint8_t* dst) {
  return api::guard(0, "RGBA64RectToRGBA32 Excpt", [&] {
    return engine::RGBA64RectToRGBA32(src, x, y, width, height, srcRowPixels, reserved, dst);
  });
}
PMR_API int32_t PMR_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t width,
                                       int32_t height, int32_t srcRowPixels, int32_t reserved,
                                       uint8_t* dst) {
  return api::guard(0, "RGBA64RectToRGBA24 Excpt", [&] {
    return engine::RGBA64RectToRGBA24(src, x, y, width, height, srcRowPixels, reserved, dst);
  });
}
PMR_API int32_t PMR_SetPixelRGB24(void* dst, int32_t dstRowBytes, int32_t x, int32_t y,
                                  int32_t red16, int32_t green16, int32_t blue16) {
  return engine::SetPixelRGB24(dst, dstRowBytes, x, y, red16, green16, blue16);
}

PMR_API int32_t PMR_Clear(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  return api::guard(0, "Clear Excpt", [&] { return engine::Clear(red, green, blue, alpha); });
}
PMR_API int32_t PMR_ClearMasked(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  return api::guard(0, "ClearMasked Excpt",
                    [&] { return engine::ClearMasked(red, green, blue, alpha); });
}
PMR_API int32_t PMR_ClearMaskedAlpha(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  return api::guard(0, "ClearMaskedAlpha Excpt",
                    [&] { return engine::ClearMaskedAlpha(red, green, blue, alpha); });
}
PMR_API int32_t PMR_ClearRGBA64(void* dst, int32_t dstRowBytes, int32_t red16, int32_t green16,
                                int32_t blue16, int32_t alpha16) {
  return api::guard(0, "ClearRGBA64 Excpt", [&] {
    return engine::ClearRGBA64(dst, dstRowBytes, red16, green16, blue16, alpha16);
  });
}
PMR_API int32_t PMR_ClearRGBA32(void* dst, int32_t dstRowBytes, int32_t red, int32_t green,
                                int32_t blue, int32_t alpha) {
  return api::guard(0, "ClearRGBA32 Excpt",
                    [&] { return engine::ClearRGBA32(dst, dstRowBytes, red, green, blue, alpha); });
}
PMR_API int32_t PMR_ClearRGBA32Buf(void* dst, int32_t width, int32_t height, int32_t red,
                                   int32_t green, int32_t blue, int32_t alpha) {
  return api::guard(0, "ClearRGBA32Buf Excpt", [&] {
    return engine::ClearRGBA32Buf(dst, width, height, red, green, blue, alpha);
  });
}

PMR_API int32_t PMR_GetRed64(int32_t x, int32_t y) { return engine::GetChannel64(x, y, 0); }
PMR_API int32_t PMR_GetGreen64(int32_t x, int32_t y) { return engine::GetChannel64(x, y, 1); }
PMR_API int32_t PMR_GetBlue64(int32_t x, int32_t y) { return engine::GetChannel64(x, y, 2); }
PMR_API int32_t PMR_GetAlpha64(int32_t x, int32_t y) { return engine::GetChannel64(x, y, 3); }
PMR_API int32_t PMR_GetMask64(int32_t x, int32_t y) { return engine::GetMask64(x, y); }

PMR_API uint32_t PMR_GetRGBAAt(int32_t x, int32_t y, const uint16_t* plane) {
  return engine::GetRGBAAt(x, y, plane);
}
PMR_API uint32_t PMR_GetRGBAAtSurface(int32_t x, int32_t y) {
  return engine::GetRGBAAt(x, y, engine::SurfacePlane());
}
PMR_API uint32_t PMR_GetRGBAAtUnderLayer(int32_t x, int32_t y) {
  return engine::GetRGBAAt(x, y, engine::UnderLayerPlane());
}
PMR_API uint32_t PMR_GetRGBAAtLayer(int32_t x, int32_t y, int32_t index) {
  return engine::GetRGBAAt(x, y, engine::LayerPlane(index));
}
PMR_API uint32_t PMR_GetRGBAAtTrace(int32_t x, int32_t y) {
  return engine::GetRGBAAt(x, y, engine::TracePlane());
}

PMR_API uint32_t PMR_GetColorAt(int32_t x, int32_t y, const uint16_t* plane) {
  return engine::GetColorAt(x, y, plane);
}
PMR_API uint32_t PMR_GetColorAtSurface(int32_t x, int32_t y) {
  return engine::GetColorAt(x, y, engine::SurfacePlane());
}
PMR_API uint32_t PMR_GetColorAtUnderLayer(int32_t x, int32_t y) {
  return engine::GetColorAt(x, y, engine::UnderLayerPlane());
}
PMR_API uint32_t PMR_GetColorAtLayer(int32_t x, int32_t y, int32_t index) {
  return engine::GetColorAt(x, y, engine::LayerPlane(index));
}
PMR_API uint32_t PMR_GetColorAtTrace(int32_t x, int32_t y) {
  return engine::GetColorAt(x, y, engine::TracePlane());
}
PMR_API uint32_t PMR_GetColorAtHistory(int32_t x, int32_t y) {
  return engine::GetColorAtHistory(x, y);
}

PMR_API int32_t PMR_FindDataExtentsLayer(int32_t index, int32_t* left, int32_t* top, int32_t* right,
                                         int32_t* bottom) {
  return engine::FindDataExtentsLayer(index, left, top, right, bottom);
}
PMR_API int32_t PMR_IsSingleColor(int32_t index) { return engine::IsSingleColor(index); }
