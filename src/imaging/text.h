// Text drawn into RGBA32 pictures with the font a font record names.
#pragma once

#include <cstdint>

#include "imaging/shapes.h"

namespace imaging {

// The desktop platform's 60-byte font record, field for field: the character height in pixels
// (negative: the em height; positive: the cell height; 0: 16), width, escapement and orientation
// (unused here), weight (600 and above is bold), italic, underline, strike-out and five bytes of
// rendering hints (unused), then the NUL-terminated face name.
struct FontRecord {
  int32_t height;
  int32_t width;
  int32_t escapement;
  int32_t orientation;
  int32_t weight;
  uint8_t italic;
  uint8_t underline;
  uint8_t strikeOut;
  uint8_t charSet;
  uint8_t outPrecision;
  uint8_t clipPrecision;
  uint8_t quality;
  uint8_t pitchAndFamily;
  char faceName[32];
};
static_assert(sizeof(FontRecord) == 60);

// The file of the installed face that best matches the record (its face name, or "sans-serif"
// without one, bold and italic as it says), and that face's family name; false when fontconfig
// finds none.
bool MatchFontFile(const FontRecord& font, char* path, uint32_t pathBytes, char* family,
                   uint32_t familyBytes);

// Text modes of is5_DrawSmoothTextOnRGBA2.
inline constexpr uint32_t kTextHard = 1;    // every pixel more than half covered takes the colour
inline constexpr uint32_t kTextSmooth = 4;  // coverage blends the colour over premultiplied pixels

// Draws the UTF-8 text (lines split at '\n') in colour (red first; its alpha byte is ignored: text
// is opaque) from the rectangle's top-left corner, clipped to the rectangle and the picture. The
// picture is 4 bytes a pixel. reserved1 and reserved2 are reserved. Underlines and strike-outs
// are drawn one pixel thick when the record asks. Fails for a bad picture, a null text or font, or
// no usable face.
int32_t is5_DrawSmoothTextOnRGBA2(void* pixels, uint32_t width, uint32_t height, uint32_t rowBytes,
                                  const char* text, const FontRecord* font, uint32_t mode,
                                  ImageRect rect, uint32_t reserved1, uint32_t reserved2,
                                  uint32_t colour);

}  // namespace imaging
