#include "imaging/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "imaging/picture_args.h"

namespace imaging {
namespace {

// The largest character height drawn, in pixels: larger requests are drawn at this size.
constexpr int32_t kMaxTextPixels = 2048;
constexpr int32_t kDefaultTextPixels = 16;

void CopyName(const char* from, char* to, uint32_t bytes) {
  if (bytes == 0) return;
  std::strncpy(to, from, bytes - 1);
  to[bytes - 1] = '\0';
}

// The next code point of UTF-8 text, advancing p; malformed bytes give U+FFFD one byte at a time.
char32_t NextCodePoint(const unsigned char*& p) {
  const unsigned char lead = *p++;
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF8   ? 3
              : lead >= 0xE0                ? 2
              : lead >= 0xC2 && lead < 0xE0 ? 1
                                            : -1;
  if (extra < 0) return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0xFFFD;
    cp = cp << 6 | (p[i] & 0x3F);
  }
  p += extra;
  return cp;
}

struct FreeTypeFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~FreeTypeFace() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

// Sets the face's size from the record's height: negative the em height, positive the cell
// (ascender to descender) height.
bool SizeFace(FT_Face face, int32_t height) {
  int64_t pixels = kDefaultTextPixels;
  if (height < 0) pixels = -int64_t{height};
  if (height > 0) {
    const int64_t cell = int64_t{face->ascender} - face->descender;
    pixels = cell > 0 ? int64_t{height} * face->units_per_EM / cell : height;
  }
  pixels = std::clamp<int64_t>(pixels, 1, kMaxTextPixels);
  return FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) == 0;
}

// Where text may be drawn: the rectangle within the picture.
struct Clip {
  int64_t left, top, right, bottom;  // right and bottom exclusive
  bool Contains(int64_t x, int64_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
};

struct Painter {
  uint8_t* pixels;
  uint32_t rowBytes;
  Clip clip;
  uint8_t colour[3];
  bool smooth;

  void Cover(int64_t x, int64_t y, uint32_t coverage) const {
    if (coverage == 0 || !clip.Contains(x, y)) return;
    uint8_t* p = pixels + std::size_t(y) * rowBytes + std::size_t(x) * 4;
    if (!smooth) {
      if (coverage < 128) return;
      p[0] = colour[0], p[1] = colour[1], p[2] = colour[2], p[3] = 255;
      return;
    }
    // Over premultiplied pixels: the opaque colour weighted by the coverage.
    const uint32_t rest = 255 - coverage;
    for (int c = 0; c < 3; ++c) p[c] = uint8_t((colour[c] * coverage + p[c] * rest + 127) / 255);
    p[3] = uint8_t((255 * coverage + p[3] * rest + 127) / 255);
  }
  void Line(int64_t x0, int64_t x1, int64_t y) const {
    for (int64_t x = std::max(x0, clip.left); x < std::min(x1, clip.right); ++x) Cover(x, y, 255);
  }
};

}  // namespace

bool MatchFontFile(const FontRecord& font, char* path, uint32_t pathBytes, char* family,
                   uint32_t familyBytes) {
  static std::once_flag started;
  static bool ready = false;
  // fontconfig's configuration is read once and released when the process ends.
  std::call_once(started, [] {
    ready = FcInit() != 0;
    if (ready) std::atexit(FcFini);
  });
  if (!ready) return false;
  char face[sizeof font.faceName + 1] = {};
  std::memcpy(face, font.faceName, sizeof font.faceName);
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(face[0] ? face : "sans-serif"));
  FcPatternAddInteger(pattern, FC_WEIGHT, font.weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  FcChar8* name = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                     FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch;
  if (found) {
    CopyName(reinterpret_cast<const char*>(file), path, pathBytes);
    CopyName(reinterpret_cast<const char*>(name), family, familyBytes);
  }
  FcPatternDestroy(match);
  return found;
}

int32_t is5_DrawSmoothTextOnRGBA2(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                                  const char* text, const FontRecord* font, uint32_t mode,
                                  ImageRect rect, uint32_t /*reserved1*/, uint32_t /*reserved2*/,
                                  uint32_t colour) {
  if (!IsDrawablePicture(pixels, width, height, rowBytes, 4) || !text || !font) return 0;
  char path[4096], family[256];
  if (!MatchFontFile(*font, path, sizeof path, family, sizeof family)) return 0;
  FreeTypeFace ft;
  if (FT_Init_FreeType(&ft.library) != 0 || FT_New_Face(ft.library, path, 0, &ft.face) != 0)
    return 0;
  if (!SizeFace(ft.face, font->height)) return 0;

  const Painter painter{
      static_cast<uint8_t*>(pixels),
      rowBytes,
      {std::max<int64_t>(rect.left, 0), std::max<int64_t>(rect.top, 0),
       std::min<int64_t>(rect.right, width), std::min<int64_t>(rect.bottom, height)},
      {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)},
      mode == kTextSmooth};
  const FT_Size_Metrics& metrics = ft.face->size->metrics;
  const int64_t ascender = metrics.ascender >> 6,
                lineHeight = std::max<int64_t>(metrics.height >> 6, 1);
  const bool kerning = FT_HAS_KERNING(ft.face);
  int64_t penX = rect.left, baseline = int64_t{rect.top} + ascender;
  FT_UInt previous = 0;
  auto finishLine = [&] {
    if (font->underline) painter.Line(rect.left, penX, baseline + 1);
    if (font->strikeOut) painter.Line(rect.left, penX, baseline - ascender / 3);
  };
  for (const auto* p = reinterpret_cast<const unsigned char*>(text); *p;) {
    const char32_t cp = NextCodePoint(p);
    if (cp == '\n') {
      finishLine();
      penX = rect.left, baseline += lineHeight, previous = 0;
      if (baseline - ascender >= painter.clip.bottom) break;
      continue;
    }
    const FT_UInt glyph = FT_Get_Char_Index(ft.face, FT_ULong(cp));
    if (kerning && previous && glyph) {
      FT_Vector delta;
      if (FT_Get_Kerning(ft.face, previous, glyph, FT_KERNING_DEFAULT, &delta) == 0)
        penX += delta.x >> 6;
    }
    previous = glyph;
    if (FT_Load_Glyph(ft.face, glyph, FT_LOAD_RENDER) != 0) continue;
    const FT_GlyphSlot slot = ft.face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      const int64_t left = penX + slot->bitmap_left, top = baseline - slot->bitmap_top;
      for (unsigned row = 0; row < bitmap.rows; ++row) {
        const unsigned char* coverage = bitmap.buffer + int64_t(row) * bitmap.pitch;
        for (unsigned column = 0; column < bitmap.width; ++column)
          painter.Cover(left + column, top + row, coverage[column]);
      }
    }
    penX += slot->advance.x >> 6;
    if (penX >= painter.clip.right + 4 * lineHeight && !font->underline && !font->strikeOut) {
      // The rest of this line lies past the rectangle: skip to the next line.
      while (*p && *p != '\n') ++p;
    }
  }
  finishLine();
  return 1;
}

}  // namespace imaging
