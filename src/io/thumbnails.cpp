// Thumbnails (a BMP whose longer side is `size`) and web pictures (a JPEG within limits).
#include <cstdlib>
#include <cstring>

#include "engine/heap.h"
#include "engine/layer_alpha.h"
#include "imaging/imaging.h"
#include "io/picture_files.h"

namespace io {
namespace {

struct Picture {
  engine::OwnedPlane<uint8_t> rgba;
  int32_t width = 0;
  int32_t height = 0;
};

// Reads a file as RGBA32 into an engine buffer; empty when it cannot be read.
Picture ReadRGBA(const char* path) {
  Picture pic;
  imaging::ISSource source = imaging::IS3OpenFileSource(path);
  if (!source) return pic;
  uint32_t w = 0, h = 0;
  uint8_t* block = imaging::IS3ReadImageToRGBA(source, &w, &h, 0);
  imaging::IS3CloseSource(source);
  if (!block) return pic;
  std::unique_ptr<uint8_t, decltype(&std::free)> owned(block, &std::free);
  if (w > INT32_MAX || h > INT32_MAX) return pic;
  pic.rgba = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 4));
  std::memcpy(pic.rgba.get(), block, std::size_t{w} * h * 4);
  pic.width = int32_t(w);
  pic.height = int32_t(h);
  return pic;
}

// Drops alpha and scales to tw x th RGB24; null when the scaler refuses.
engine::OwnedPlane<uint8_t> ScaledRGB(const Picture& pic, int32_t tw, int32_t th) {
  const int32_t w = pic.width, h = pic.height;
  auto rgb = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(w, h, 3));
  imaging::IS3SplitRGBAToRGBPlusA(pic.rgba.get(), uint32_t(w), uint32_t(h), rgb.get(), nullptr);
  auto out = engine::MakeOwnedPlane<uint8_t>(engine::PlaneBytes(tw, th, 3));
  const bool smaller = tw < w && th < h;
  const int32_t ok =
      smaller
          ? imaging::IS3DecimateImage(rgb.get(), uint32_t(w), uint32_t(h), uint32_t(3 * w),
                                      out.get(), uint32_t(tw), uint32_t(th), uint32_t(3 * tw), 3, 1)
          : imaging::IS3ResizeImage(rgb.get(), uint32_t(w), uint32_t(h), uint32_t(3 * w), out.get(),
                                    uint32_t(tw), uint32_t(th), uint32_t(3 * tw), 3);
  if (!ok) out.reset();
  return out;
}

template <class Writer>
void WriteTo(const char* path, Writer&& writer) {
  imaging::ISDest dest = imaging::IS3OpenFileDest(path, 0);
  if (!dest) return;
  writer(dest);
  imaging::IS3CloseDest(dest);
}

// A side of at least one pixel: a very long, thin picture would otherwise fit to nothing.
int32_t AtLeastOne(double side) { return side < 1.0 ? 1 : int32_t(side); }

}  // namespace

int32_t MakeThumbnail(const char* sourcePath, const char* destPath, int32_t size) {
  if (!sourcePath || !destPath || size <= 0) return 0;
  Picture pic = ReadRGBA(sourcePath);
  if (!pic.rgba) return 0;
  engine::SetColorAlphaRGBABuf(pic.rgba.get(), pic.width, pic.height, 255, 255, 255);
  const double w = pic.width, h = pic.height;
  const int32_t tw = h < w ? size : AtLeastOne(size / h * w);
  const int32_t th = h < w ? AtLeastOne(size / w * h) : size;
  auto out = ScaledRGB(pic, tw, th);
  if (!out) return 0;
  WriteTo(destPath, [&](imaging::ISDest d) {
    imaging::IS3WriteBMP(d, out.get(), uint32_t(tw), uint32_t(th), 24, 0, nullptr, nullptr, 0);
  });
  return 0;
}

int32_t MakeWebPic(const char* sourcePath, const char* destPath, int32_t maxWidth,
                   int32_t maxHeight) {
  if (!sourcePath || !destPath || maxWidth <= 0 || maxHeight <= 0) return 0;
  Picture pic = ReadRGBA(sourcePath);
  if (!pic.rgba) return 0;
  const double w = pic.width, h = pic.height;
  int32_t tw = pic.width, th = pic.height;
  if (double(maxWidth) / maxHeight > w / h) {
    if (maxHeight < pic.height) tw = AtLeastOne(w * (maxHeight / h)), th = maxHeight;
  } else if (maxWidth < pic.width) {
    tw = maxWidth, th = AtLeastOne(h * (maxWidth / w));
  }
  auto out = ScaledRGB(pic, tw, th);
  if (!out) return 0;
  WriteTo(destPath, [&](imaging::ISDest d) {
    imaging::IS3WriteJPG(d, out.get(), uint32_t(tw), uint32_t(th), 75, 24, nullptr, 0);
  });
  return 0;
}

}  // namespace io
