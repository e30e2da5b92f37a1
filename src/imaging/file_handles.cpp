#include "imaging/file_handles.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <new>

#include "imaging/codecs/codec_table.h"
#include "imaging/codecs/file_access.h"

namespace imaging {

ISSource IS40_OpenFileSource(const char* path) {
  if (!path) return nullptr;
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  auto* source = new (std::nothrow) FileSource;
  if (!source) {
    ::close(fd);
    return nullptr;
  }
  const auto bytes = static_cast<std::size_t>(info.st_size);
  if (bytes > 0) {
    void* map = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED) {
      ::close(fd);
      delete source;
      return nullptr;
    }
    source->mapping = map;
    source->mappingBytes = bytes;
    source->data = static_cast<const uint8_t*>(map);
    source->size = bytes;
  } else {
    source->data = &source->emptyFile;  // an empty file reads as no bytes at a valid address
  }
  ::close(fd);
  return source;
}

ISSource IS3OpenFileSource(const char* path) { return IS40_OpenFileSource(path); }

ISSource IS40_OpenMemorySource(const void* bytes, uint32_t size) {
  if (!bytes && size) return nullptr;
  auto* source = new (std::nothrow) FileSource;
  if (!source) return nullptr;
  source->data = bytes ? static_cast<const uint8_t*>(bytes) : &source->emptyFile;
  source->size = size;
  return source;
}

int32_t IS40_Seek(ISSource source, int64_t offset, int32_t origin) {
  if (!source) return 0;
  int64_t base = 0;
  switch (origin) {
    case 0:
      base = 0;
      break;
    case 1:
      base = static_cast<int64_t>(source->position);
      break;
    case 2:
      base = static_cast<int64_t>(source->size);
      break;
    default:
      return 0;
  }
  const int64_t target = base + offset;
  if (target < 0 || static_cast<uint64_t>(target) > source->size) return 0;
  source->position = static_cast<std::size_t>(target);
  return 1;
}

int32_t IS40_CloseSource(ISSource source) {
  if (!source) return 0;
  if (source->mapping) ::munmap(source->mapping, source->mappingBytes);
  delete source;
  return 1;
}

int32_t IS3CloseSource(ISSource source) { return IS40_CloseSource(source); }

ISDest IS40_OpenFileDest(const char* path, int32_t append) {
  if (!path) return nullptr;
  std::FILE* file = std::fopen(path, append ? "ab" : "wb");
  if (!file) return nullptr;
  auto* dest = new (std::nothrow) FileDest;
  if (!dest) {
    std::fclose(file);
    return nullptr;
  }
  dest->file = file;
  return dest;
}

ISDest IS3OpenFileDest(const char* path, int32_t append) { return IS40_OpenFileDest(path, append); }

ISDest OpenMemoryDest(char** bytes, std::size_t* size) {
  if (!bytes || !size) return nullptr;
  std::FILE* file = ::open_memstream(bytes, size);
  if (!file) return nullptr;
  auto* dest = new (std::nothrow) FileDest;
  if (!dest) {
    std::fclose(file);
    std::free(*bytes);
    *bytes = nullptr;
    return nullptr;
  }
  dest->file = file;
  return dest;
}

int32_t IS40_CloseDest(ISDest dest) {
  if (!dest) return 0;
  const bool closed = std::fclose(dest->file) == 0;
  const bool ok = closed && !dest->failed;
  delete dest;
  return ok ? 1 : 0;
}

int32_t IS3CloseDest(ISDest dest) { return IS40_CloseDest(dest); }

int32_t IS40_GuessFileType(ISSource source) {
  if (!source) return kFileTypeUnknown;
  return GuessType(source->Remaining());
}

int32_t IS3GuessFileType(ISSource source) { return IS40_GuessFileType(source); }

}  // namespace imaging
