/* palmora: the clipboard and screen capture. Pictures from outside land in the import buffer
 * (import_buffer.h), from which they can be read or pasted into the current layer; pictures leave
 * for the clipboard as device-independent bitmaps. The clipboard is a process-wide store, shared
 * with the desktop's clipboard (PNG and BMP) when a display is named. Every export refuses bad
 * input (null buffers, sizes of 0 or less or whose bytes overflow, no canvas or current layer, an
 * empty clipboard, unreadable files) with 0 and leaves the clipboard and import buffer as they
 * were. */
#ifndef PALMORA_CLIPBOARD_H
#define PALMORA_CLIPBOARD_H

#include "palmora/export.h"

/* Reads the clipboard's picture into the import buffer. 1 when it held one; 0 otherwise.
 * Failure: "FromClipBoard Excpt", 0. */
PMR_API int32_t PMR_FromClipboard(void);
/* Pastes the clipboard's picture over the current layer with its top-left corner at (x, y), or
 * its centre there when centred is 1, through the mask and texture; transparent parts of the
 * picture keep the layer. Only the covered rectangle changes. Empties the import buffer. 1 when
 * something was pasted. Failure: "FromClipBoardInto Excpt", 0. */
PMR_API int32_t PMR_FromClipboardInto(int32_t x, int32_t y, int32_t centred);
/* Pastes it scaled so that its longer side is size (smooth: filtered, else picked pixels), turned
 * by angle degrees, at (x, y) (centred when centred is 1), through the mask and texture with
 * opacity 0..256 and the layer's alpha lock. Empties the import buffer. 1 when something was
 * pasted. Failure: "FromClipBoardIntoEX Excpt", 0. */
PMR_API int32_t PMR_FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle,
                                         int32_t centred, int32_t smooth, int32_t opacity);
/* Writes the clipboard's picture as a file (as PMR_WriteToFileRGBA32) and empties the import
 * buffer. 1 when the file was written. Failure: "FromClipBoardToFile Excpt", 0. */
PMR_API int32_t PMR_FromClipboardToFile(const char* path, const char* extension, int32_t dpi);
/* Makes a size x size image brush of the clipboard's picture, scaled to fit and centred; empties
 * the import buffer. 1 when the picture was handed to the image brush. Failure:
 * "FromClipBoardToImageBrush Excpt", 0. */
PMR_API int32_t PMR_FromClipboardToImageBrush(int32_t size);

/* Puts the current layer (canvas-sized, the mask applied to its alpha when enabled) on the
 * clipboard. 1 when it is there. Failure: "ToClipBoard Excpt", 0. */
PMR_API int32_t PMR_ToClipboard(void);
/* Puts the rectangle between corners (x1, y1) and (x2, y2), in any order, of that picture on the
 * clipboard: |x1 - x2| x |y1 - y2| pixels. Refused when empty or off the canvas. Failure:
 * "ToClipBoardRect Excpt", 0. */
PMR_API int32_t PMR_ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
/* Puts a packed width x height RGBA32 host buffer on the clipboard; with the low byte of useMask
 * set and the mask enabled, the mask from canvas (x, y) shapes the alpha of the clipboard's copy
 * (src is not written). Failure: "RGBA32ToClipBoardRect Excpt", 0. */
PMR_API int32_t PMR_RGBA32ToClipboardRect(const void* src, int32_t x, int32_t y, int32_t width,
                                          int32_t height, int32_t useMask);
/* Reads a picture file and puts it on the clipboard; the import buffer is empty afterwards (an
 * unreadable file leaves it as it was). Failure: "ToClipBoardFromFile Excpt", 0. */
PMR_API int32_t PMR_ToClipboardFromFile(const char* path);

/* Captures the whole screen into the import buffer, every alpha 255. 0 without a display.
 * Failure: "ScreenCapture Excpt", 0. */
PMR_API int32_t PMR_ScreenCapture(void);
/* Captures the screen and pastes it over the current layer at (0, 0) as PMR_FromClipboardInto;
 * empties the import buffer. Failure: "ScreenCaptureInto Excpt", 0. */
PMR_API int32_t PMR_ScreenCaptureInto(void);

#endif
