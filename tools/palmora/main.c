/*
 * palmora: the reference host. For now it walks the engine's spine the way a painting program
 * does at start-up and for one edit: create a canvas and layers, paint pixels through the transfer
 * exports, commit the step, undo and redo it, and report each step on standard output.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "palmora/palmora.h"

enum { kWidth = 64, kHeight = 48 };

static uint16_t g_pixels[kWidth * kHeight * 4];

static int fail(const char* what) {
  fprintf(stderr, "palmora: %s failed: %s\n", what, PMR_GetLastError());
  return 1;
}

/* Reads layer 2 back and returns the colour at (x, y) as 8-bit RGBA packed 0xAARRGGBB. */
static uint32_t pixel_at(int x, int y) {
  if (!PMR_GetRGBA64Layer(g_pixels, kWidth * 8, 2)) return 0;
  const uint16_t* p = g_pixels + (y * kWidth + x) * 4;
  return (uint32_t)(p[3] >> 8) << 24 | (uint32_t)(p[0] >> 8) << 16 | (uint32_t)(p[1] >> 8) << 8 |
         (uint32_t)(p[2] >> 8);
}

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  PMR_SetRandomSeed(1234);
  PMR_CreateImage(NULL, kWidth, kHeight, 64, 0);
  if (PMR_GetLastError()[0]) return fail("PMR_CreateImage");
  printf("canvas %d x %d created\n", kWidth, kHeight);

  PMR_SetUndoLevels(20);
  PMR_SetUndoMB(16);
  for (int index = 0; index <= 2; ++index) {
    if (!PMR_CreateLayer(index, kWidth, kHeight)) return fail("PMR_CreateLayer");
    PMR_SetLayerOptions(index, 1, 0, 100, index == 2 ? "Multiply" : "Normal");
  }
  PMR_SetLayer(2);
  printf("layers: %d, current layer %d, layer 2 merges as mode %d\n", PMR_GetLayerCount(),
         PMR_GetLayerNum(), PMR_SetLayerOptions(2, 1, 0, 100, "Multiply"));

  /* Paint a red square with a soft edge into layer 2. */
  PMR_GetRGBA64Layer(g_pixels, kWidth * 8, 2);
  for (int y = 8; y < 24; ++y) {
    for (int x = 8; x < 24; ++x) {
      uint16_t* p = g_pixels + (y * kWidth + x) * 4;
      const int edge = (x == 8 || y == 8 || x == 23 || y == 23);
      p[0] = 65535;
      p[1] = 0;
      p[2] = 0;
      p[3] = edge ? 32768 : 65535;
    }
  }
  if (!PMR_SetRGBA64Layer(g_pixels, kWidth * 8, 2)) return fail("PMR_SetRGBA64Layer");
  PMR_SaveUndoBuffer(1, 0);
  printf("painted a 16 x 16 square: pixel (12, 12) = %08X, (8, 8) = %08X\n", pixel_at(12, 12),
         pixel_at(8, 8));
  printf("undo steps: %d, can undo: %d, history uses %d MiB of %d MiB\n", PMR_GetUndoCount(),
         PMR_CanUndo(), PMR_GetCurrentUndoMemory(), PMR_GetTotalUndoMemory());

  PMR_Undo();
  printf("after undo: pixel (12, 12) = %08X, can redo: %d\n", pixel_at(12, 12), PMR_CanRedo());
  PMR_Redo();
  printf("after redo: pixel (12, 12) = %08X, redo count %u\n", pixel_at(12, 12), PMR_GetRedoCount());

  PMR_DeleteImage();
  printf("canvas deleted; last error: \"%s\"\n", PMR_GetLastError());
  return 0;
}
