// Fuzzes the JPEG reader.
#include "fuzz_read_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return palmora_fuzz::ReadWithCodec(imaging::kFileTypeJPEG, data, size);
}
