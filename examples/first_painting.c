/* A first palmora host: a white canvas, one round-brush stroke of dabs, an effect, a PNG.
 *
 *   cc first_painting.c $(pkg-config --cflags --libs palmora) -o first_painting
 *   ./first_painting [out.png]
 */
#include <math.h>
#include <stdio.h>

#include <palmora/palmora.h>

enum { kWidth = 320, kHeight = 200, kLayer = 2, kBrushSide = 24 };

static int Failed(const char* step) {
  const char* error = PMR_GetLastError();
  fprintf(stderr, "first_painting: %s failed%s%s\n", step, error && *error ? ": " : "",
          error ? error : "");
  return 1;
}

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "first_painting.png";
  int status = 0;

  PMR_IPLInit(0);
  /* The canvas; the last argument but one bounds every brush size that follows. */
  PMR_CreateImage(NULL, kWidth, kHeight, 64, 0);
  if (!PMR_CreateLayer(kLayer, kWidth, kHeight)) return Failed("creating the layer");
  /* New layers are hidden: without this the saved page would be empty. */
  PMR_SetLayerOptions(kLayer, 1, 0, 100, "Normal");
  PMR_SetLayer(kLayer);
  PMR_Clear(255, 255, 255, 255); /* white paper, 0..255 channels */

  /* The brush: the size first, then the tool, which builds the shape for that size. A shape name
   * shorter than two characters is the round brush; grit 0 paints solid. */
  PMR_SetSize(kBrushSide);
  PMR_SetTool(1.0f, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
  PMR_SetAlpha(100);
  PMR_SetDensity(256);

  /* A wave of dabs, a few pixels apart. Dab colours are 16-bit channels (0..65535). */
  for (int x = 30; x <= kWidth - 30; x += 3) {
    const int y = kHeight / 2 + (int)lround(40.0 * sin(x / 40.0));
    PMR_DrawDabGrit(x, y, 40 << 8, 90 << 8, 200 << 8);
  }

  /* Effects read and write the layer through the two processing buffers. Sliders are tenths of
   * a percent (0..1000); the effect colour is 0..255. */
  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  PMR_IPLImageProcess(0, "Vignette", 0, 150, 100, 250, 1000, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                      "");
  if (PMR_GetLastError()[0]) status = Failed("the effect");

  /* The flattened page, written band by band. */
  if (!status && !PMR_SavePageToFileRGB24(out, ".png", 72)) status = Failed("saving");
  if (!status) printf("wrote %s\n", out);

  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
  PMR_DeleteImage();
  PMR_IPLExit();
  return status;
}
