// Picture files: source and destination handles and the guess of a file's type by its content.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

struct FileSource;
struct FileDest;
using ISSource = FileSource*;  // null: the file did not open
using ISDest = FileDest*;

// A resolution record: horizontal and vertical values in the unit that the unit code names. Each
// format's readers and writers document their unit codes (they follow the format's own codes).
struct ISResolution {
  uint32_t xRes = 0;
  uint32_t yRes = 0;
  uint32_t unit = 0;
};

// File type codes reported by the type guess.
inline constexpr int32_t kFileTypeUnknown = 0;
inline constexpr int32_t kFileTypeBMP = 1;
inline constexpr int32_t kFileTypePCX = 2;
inline constexpr int32_t kFileTypeJPEG = 3;
inline constexpr int32_t kFileTypePNG = 4;
inline constexpr int32_t kFileTypeGIF = 5;
inline constexpr int32_t kFileTypeTIFF = 6;
inline constexpr int32_t kFileTypeWMF = 7;  // placeable Windows metafile
inline constexpr int32_t kFileTypeEMF = 8;  // enhanced metafile
inline constexpr int32_t kFileTypePSD = 10;
inline constexpr int32_t kFileTypeTGA = 11;

// Opens a file for reading (the whole file is mapped; reads start at offset 0).
ISSource IS3OpenFileSource(const char* path);
ISSource IS40_OpenFileSource(const char* path);
// A source over bytes the caller keeps alive until the source is closed.
ISSource IS40_OpenMemorySource(const void* bytes, uint32_t size);
// Moves the read position: origin 0 from the start, 1 from the current position, 2 from the end.
// Fails (and keeps the position) for a position outside 0..size.
int32_t IS40_Seek(ISSource source, int64_t offset, int32_t origin);
int32_t IS3CloseSource(ISSource source);
int32_t IS40_CloseSource(ISSource source);

// Creates (or truncates; appends when append is non-zero) a file for writing.
ISDest IS3OpenFileDest(const char* path, int32_t append);
ISDest IS40_OpenFileDest(const char* path, int32_t append);
// A destination that collects what is written in memory. When the destination is closed, *bytes
// holds a malloc'd block of *size bytes (the caller frees it, also when the close reports a
// failed write).
ISDest OpenMemoryDest(char** bytes, std::size_t* size);
// Closes the file; returns 0 when any write into it failed.
int32_t IS3CloseDest(ISDest dest);
int32_t IS40_CloseDest(ISDest dest);

// The type of the picture at the source's read position, by content (kFileType*, 0 when unknown).
// The read position does not move.
int32_t IS3GuessFileType(ISSource source);
int32_t IS40_GuessFileType(ISSource source);

}  // namespace imaging
