// PDF documents and slide shows from picture files the host adds one by one. The host hands
// temporary copies: they are deleted once the document is made.
#pragma once

#include <cstdint>

namespace io {

int32_t I2PDF_Reset();
int32_t I2PDF_AddImage(const char* path);
// One page a picture at 96 dots per inch, with a 20-point border in grey 196; the list and the
// settings are emptied afterwards, whether or not the document was made.
int32_t I2PDF_MakePDF(const char* outputPath);
// The same, as a slide show opening full screen.
int32_t I2PDF_MakePDFSlideshow(const char* outputPath);

}  // namespace io
