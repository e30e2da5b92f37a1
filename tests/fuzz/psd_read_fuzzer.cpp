// Fuzzes the PSD reader.
#include "fuzz_read_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return palmora_fuzz::ReadWithCodec(imaging::kFileTypePSD, data, size);
}
