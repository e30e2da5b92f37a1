// The clipboard, screen capture and pastes: pictures that come from outside the canvas land in
// the import buffer; pictures leave for the clipboard as device-independent bitmaps.
#pragma once

#include <cstdint>

namespace io {

// Puts a packed width x height RGBA32 picture on the clipboard (the process-wide store, and the
// desktop's CLIPBOARD selection when a display is named). 0 for a null picture, a side of 0 or
// less, or a size whose bytes do not fit; the clipboard then keeps its picture.
int32_t PutPictureOnClipboard(const uint8_t* rgba, int32_t width, int32_t height);

// The current layer (canvas-sized, the mask applied to its alpha when enabled) on the clipboard.
int32_t ToClipboard();
// The rectangle between the corners (in any order; right and bottom exclusive) of the same
// picture. Refused when it is empty or leaves the canvas.
int32_t ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// A host buffer on the clipboard; with the low byte of useMask set and the mask enabled, the mask
// from canvas (x, y) is applied to the copy's alpha (the host's buffer is not written).
int32_t RGBA32ToClipboardRect(const void* src, int32_t x, int32_t y, int32_t width, int32_t height,
                              int32_t useMask);
// Reads a picture file and puts it on the clipboard; the import buffer keeps what it held.
int32_t ToClipboardFromFile(const char* path);

// True when the process's store is the clipboard: no display is named, or this process owns the
// desktop's selection.
bool StoreIsTheClipboard();

// Reads the clipboard's picture into the import buffer. 0 when it holds none (or it cannot be
// read); the import buffer then keeps its picture.
int32_t FromClipboard();
// Writes the clipboard's picture as a file (see WriteToFileRGBA32); returns that result.
int32_t FromClipboardToFile(const char* path, const char* extension, int32_t dpi);
// Makes a size x size image brush from the clipboard's picture, scaled to fit and centred.
int32_t FromClipboardToImageBrush(int32_t size);

// Pastes the clipboard's picture over the current layer with its top-left corner at (x, y), or
// its centre there when centred is 1. 1 when something was pasted.
int32_t FromClipboardInto(int32_t x, int32_t y, int32_t centred);
// Pastes it scaled so that its longer side is size, turned by angle degrees, with opacity
// (0..256), through the mask and texture, over the current layer. 1 when something was pasted.
int32_t FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centred,
                             int32_t smooth, int32_t opacity);

// Captures the whole screen into the import buffer (alpha 255). 0 without a display.
int32_t ScreenCapture();
// Captures the screen and pastes it over the current layer at (0, 0).
int32_t ScreenCaptureInto();

}  // namespace io
