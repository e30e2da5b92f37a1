#include "process/text_drawing.h"

#include "engine/engine_state.h"
#include "engine/layer_alpha.h"
#include "engine/layer_load_rgba32.h"
#include "imaging/text.h"
#include "platform/font_chooser.h"
#include "engine/alpha_filters.h"
#include "engine/processing_buffers.h"

namespace process {
namespace {

// The choosers' failure codes and the messages they record.
struct FontError {
  uint32_t code;
  const char* message;
};
constexpr FontError kFontErrors[] = {
    {2, "Font Err: CDERR_INITIALIZATION"},      {5, "Font Err: CDERR_LOADSTRFAILURE"},
    {6, "Font Err: CDERR_FINDRESFAILURE"},      {7, "Font Err: CDERR_LOADRESFAILURE"},
    {8, "Font Err: CDERR_LOCKRESFAILURE"},      {9, "Font Err: CDERR_MEMALLOCFAILURE"},
    {10, "Font Err: CDERR_MEMLOCKFAILURE"},     {0x2001, "Font Err: CFERR_NOFONTS"},
    {0x2002, "Font Err: CFERR_MAXLESSTHANMIN"}, {0xFFFF, "Font Err: CDERR_DIALOGFAILURE"},
};

const char* FontErrorMessage(uint32_t code) {
  for (const FontError& e : kFontErrors) {
    if (e.code == code) return e.message;
  }
  return "Font Err: Other Error";
}

// Screen fonts, starting from the record as it is; then screen fonts only.
constexpr uint32_t kChooseFromRecord = 0x41;
constexpr uint32_t kChooseAnew = 1;

}  // namespace

int32_t ChooseFont() {
  imaging::FontRecord& font = engine::State().font;
  uint32_t error = 0;
  const int32_t chosen = platform::ChooseFont(&font, kChooseFromRecord, &error);
  if (chosen != 0 || error == 0) return chosen;
  engine::SetLastError(FontErrorMessage(error));
  font = imaging::FontRecord{};
  return platform::ChooseFont(&font, kChooseAnew, &error);
}

void DrawText(int32_t red, int32_t green, int32_t blue, int32_t x, int32_t y, const char* text,
              int32_t smooth) {
  const engine::EngineState& s = engine::State();
  uint8_t* source = engine::UsableSrcBuffer32();
  if (!source || !text || !s.currentLayer) return;
  engine::UpdateSrcBuffer32();
  const int32_t width = s.canvasWidth, height = s.canvasHeight;
  const imaging::ImageRect rect{x, y, width, height};
  const uint32_t colour = uint32_t(red & 0xFF) | uint32_t(green & 0xFF) << 8 |
                          uint32_t(blue & 0xFF) << 16 | 0xFF000000u;
  const uint32_t rowBytes = uint32_t(width) * 4;
  if (smooth) {
    // Transparent pixels black, so that the anti-aliased edge blends with nothing of their colour.
    engine::SetColorAlphaRGBABuf(source, width, height, 0, 0, 0);
    engine::AdjustRGBA32PreFilter(source, width, height);
    imaging::is5_DrawSmoothTextOnRGBA2(source, uint32_t(width), uint32_t(height), rowBytes, text,
                                       &s.font, imaging::kTextSmooth, rect, 0, 0, colour);
    engine::AdjustRGBA32PostFilter(source, width, height);
  } else {
    imaging::is5_DrawSmoothTextOnRGBA2(source, uint32_t(width), uint32_t(height), rowBytes, text,
                                       &s.font, imaging::kTextHard, rect, 0, 0, colour);
  }
  engine::LoadRGBA32Layer(source, int32_t(rowBytes), s.currentLayerIndex, 0, 0, width, height, 1);
}

}  // namespace process
