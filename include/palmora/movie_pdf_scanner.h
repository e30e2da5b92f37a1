/* palmora: AVI movies written frame by frame, PDF documents made from picture files, and pictures
 * acquired from a scanner into the import buffer. */
#ifndef PALMORA_MOVIE_PDF_SCANNER_H
#define PALMORA_MOVIE_PDF_SCANNER_H

#include "palmora/export.h"

/* Opens path for a new AVI movie showing one frame every period milliseconds (frame rate
 * 1000 / period) and returns its record; null for a null path, a period below 1 or a file that
 * cannot be created. A movie still open is finished first. */
PMR_API void* PMR_CreateAVI(const char* path, int32_t period);
/* Adds a 24- or 32-bit BMP file as the next frame. Nothing when no movie is open. A file that is
 * no such bitmap, or a frame of another size than the first, is skipped; any other failure stops
 * the movie for good (no later frame is written and closing removes the file). */
PMR_API void PMR_WriteAVI(const char* bitmapPath);
/* Adds packed RGB24 pixels (rows of width x 3 bytes, top row first) as the next frame; as above. */
PMR_API void PMR_WriteAVI_RGB24(const void* pixels, int32_t width, int32_t height);
/* Finishes and closes the movie; returns 0. A movie that failed or holds no frame leaves no file.
 */
PMR_API int32_t PMR_CloseAVI(void);

/* Stands in for the compression dialog shown before a movie's first frame: write the name of a
 * video encoder ("ffv1", "png", ...) into codec, or leave it empty for uncompressed frames, and
 * return non-zero; return 0 to cancel, which stops the movie. Without a chooser frames are stored
 * uncompressed. Null removes the chooser. */
typedef int32_t (*PMR_MovieCompressionChooser)(char* codec, int32_t codecBytes, void* user);
PMR_API void PMR_SetMovieCompressionChooser(PMR_MovieCompressionChooser chooser, void* user);

/* Empties the document's picture list and its settings; returns 1. */
PMR_API int32_t PMR_I2PDF_Reset(void);
/* Adds a picture file as the next page; 1, or 0 for a null path or a file that cannot be opened. */
PMR_API int32_t PMR_I2PDF_AddImage(const char* path);
/* Writes the added pictures as a PDF, one page each at 96 dots per inch inside a 20-point grey
 * border, deletes the picture files and empties the list. Returns 1; 0 when the list is empty,
 * a picture cannot be read or the file cannot be written: then no file is left and the pictures
 * are kept (the list is emptied all the same). */
PMR_API int32_t PMR_I2PDF_MakePDF(const char* outputPath);
/* The same as a slide show: opens full screen, pages advance on their own with a transition. */
PMR_API int32_t PMR_I2PDF_MakePDFSlideshow(const char* outputPath);

/* 1 when a scanner is available, else 0. */
PMR_API int32_t PMR_IsTwain(void);
/* Chooses the scanner to acquire from (the first one, or the one the host's chooser picks);
 * 1 when one was chosen, else 0. */
PMR_API int32_t PMR_TwainSelectSource(void);
/* Scans one picture into the import buffer (RGBA32, alpha 255); 1 when the buffer was filled,
 * else 0 and the buffer is untouched. On failure: "TwainAcquire Excpt". */
PMR_API int32_t PMR_TwainAcquire(void);
/* Stands in for the source dialog: return the index (0..count - 1) of the device to use, or -1 to
 * cancel. Null restores the default, the first device. */
typedef int32_t (*PMR_ScannerSourceChooser)(const char* const* deviceNames, int32_t count,
                                            void* user);
PMR_API void PMR_SetScannerSourceChooser(PMR_ScannerSourceChooser chooser, void* user);

#endif
