// Fuzzes the metafile renderer at a size other than the file's own.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "imaging/codecs/codec_limits.h"
#include "imaging/picture_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  imaging::SetDecodePixelLimit(uint64_t{1} << 22);
  static const std::string path = "/tmp/palmora_emf_fuzz_" + std::to_string(::getpid());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  uint32_t w = 0, h = 0;
  std::free(imaging::IS40_ReadMetafile(path.c_str(), &w, &h, 97, 61, 0x123456, 0));
  return 0;
}
