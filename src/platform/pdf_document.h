// PDF documents made from picture files, in place of the desktop's picture-to-PDF library: a list
// of pictures and page settings, then one call that writes the document with cairo's PDF surface.
// Slide-show entries (page transitions, automatic advance, full-screen opening) are written into
// the finished file with qpdf, which cairo has no interface for.
#pragma once

#include <cstdint>

namespace platform {

// Empties the picture list and returns every setting to its default; 1.
int32_t I2PDF_Reset();
// Appends a picture file; 1, or 0 for a null or empty path or a file that cannot be opened.
int32_t I2PDF_AddImage(const char* path);
// No progress or message output while making the document (there is none here); 1.
int32_t I2PDF_SilentRunning();
// Pictures are laid out at dpi pixels to the inch (default 72); 1, or 0 for dpi below 1.
int32_t I2PDF_SetDPI(int32_t dpi);
// The picture files are deleted once the document is written; 1.
int32_t I2PDF_DeleteImagesOnConvert();
// A border around every picture, in points (1/72 inch); 1, or 0 for a negative width.
int32_t I2PDF_SetBorder_Int(int32_t left, int32_t top, int32_t right, int32_t bottom);
// The border's colour, 0..255 a channel; 1, or 0 for a value out of range.
int32_t I2PDF_SetBorderColor_Int(int32_t red, int32_t green, int32_t blue);
// Makes the next document a slide show: it opens full screen, each page stays pageSeconds and
// gives way to the next with the transition numbered style (0 replace, 1 split, 2 blinds, 3 box,
// 4 wipe, 5 dissolve, 6 glitter, 7 fly, 8 push, 9 cover, 10 uncover, 11 fade) lasting
// transitionSeconds. 1, or 0 for a style out of range or a negative time.
int32_t I2PDF_SlideShow_Int(int32_t style, int32_t transitionSeconds, int32_t pageSeconds);
// Writes one page a picture, in the order added, each page the picture's size plus its border.
// Returns 1; 0 for an empty list, a picture that cannot be read or a file that cannot be
// written, and then no file is left at path and no picture is deleted. A message of at most
// messageBytes - 1 bytes describes the outcome.
int32_t I2PDF_MakePDF(const char* path, int32_t flags, char* message, int32_t messageBytes);

}  // namespace platform
