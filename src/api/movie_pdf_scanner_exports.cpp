// Exports: movies, PDF documents and the scanner.
#include "api/guard.h"
#include "io/movie_writer.h"
#include "io/pdf_document.h"
#include "io/scanner_acquire.h"
#include "palmora/movie_pdf_scanner.h"
#include "platform/avi_file.h"
#include "platform/scanner.h"

PMR_API void* PMR_CreateAVI(const char* path, int32_t period) {
  return api::guard<void*>(nullptr, "CreateAVI Excpt", [&] { return io::CreateAVI(path, period); });
}
PMR_API void PMR_WriteAVI(const char* bitmapPath) {
  api::guard("WriteAVI Excpt", [&] { io::WriteAVI(bitmapPath); });
}
PMR_API void PMR_WriteAVI_RGB24(const void* pixels, int32_t width, int32_t height) {
  api::guard("WriteAVI Excpt", [&] { io::WriteAVI_RGB24(pixels, width, height); });
}
PMR_API int32_t PMR_CloseAVI(void) {
  return api::guard(0, "CloseAVI Excpt", [&] { return io::CloseAVI(); });
}
PMR_API void PMR_SetMovieCompressionChooser(PMR_MovieCompressionChooser chooser, void* user) {
  platform::SetAviCompressionChooser(chooser, user);
}

PMR_API int32_t PMR_I2PDF_Reset(void) {
  return api::guard(0, "I2PDF_Reset Excpt", [&] { return io::I2PDF_Reset(); });
}
PMR_API int32_t PMR_I2PDF_AddImage(const char* path) {
  return api::guard(0, "I2PDF_AddImage Excpt", [&] { return io::I2PDF_AddImage(path); });
}
PMR_API int32_t PMR_I2PDF_MakePDF(const char* outputPath) {
  return api::guard(0, "I2PDF_MakePDF Excpt", [&] { return io::I2PDF_MakePDF(outputPath); });
}
PMR_API int32_t PMR_I2PDF_MakePDFSlideshow(const char* outputPath) {
  return api::guard(0, "I2PDF_MakePDF Excpt",
                    [&] { return io::I2PDF_MakePDFSlideshow(outputPath); });
}

PMR_API int32_t PMR_IsTwain(void) {
  return api::guard(0, "IsTwain Excpt", [&] { return io::IsTwain(); });
}
PMR_API int32_t PMR_TwainSelectSource(void) {
  return api::guard(0, "TwainSelectSource Excpt", [&] { return io::TwainSelectSource(); });
}
PMR_API int32_t PMR_TwainAcquire(void) { return io::TwainAcquire(); }
PMR_API void PMR_SetScannerSourceChooser(PMR_ScannerSourceChooser chooser, void* user) {
  platform::SetScannerSourceChooser(chooser, user);
}
