#include "io/pdf_document.h"

#include "platform/pdf_document.h"

namespace io {

int32_t I2PDF_Reset() { return platform::I2PDF_Reset(); }

int32_t I2PDF_AddImage(const char* path) { return platform::I2PDF_AddImage(path); }

int32_t I2PDF_MakePDF(const char* outputPath) {
  platform::I2PDF_SilentRunning();
  platform::I2PDF_SetDPI(96);
  platform::I2PDF_DeleteImagesOnConvert();
  platform::I2PDF_SetBorder_Int(20, 20, 20, 20);
  platform::I2PDF_SetBorderColor_Int(196, 196, 196);
  char message[1024];  // filled by the library, not read
  const int32_t made = platform::I2PDF_MakePDF(outputPath, 0, message, sizeof message);
  platform::I2PDF_Reset();
  return made;
}

int32_t I2PDF_MakePDFSlideshow(const char* outputPath) {
  // Transition 9 (cover) lasting one second after four seconds a page.
  platform::I2PDF_SlideShow_Int(9, 1, 4);
  return I2PDF_MakePDF(outputPath);
}

}  // namespace io
