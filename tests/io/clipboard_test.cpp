// The clipboard store and the import buffer's readers: pictures travel exactly, and bad input
// changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "engine/engine_state.h"
#include "imaging/picture_test_support.h"
#include "io/clipboard_support.h"

namespace {

using namespace clipboard_test;
using namespace picture_test;
using palmora_test::ReadLayer;
using palmora_test::WriteLayer;

// A random picture with alpha 0 (and colour under it) among its pixels.
std::vector<uint8_t> PictureWithClearPixels(int32_t w, int32_t h, uint32_t seed) {
  auto p = RandomPixels(uint32_t(w), uint32_t(h), 4, seed);
  for (std::size_t i = 0; i < p.size(); i += 28) p[i + 3] = 0;
  return p;
}

// A layer whose 16-bit samples have the picture's bytes on top and noise below.
void LayerHolding(int32_t index, const std::vector<uint8_t>& picture) {
  std::vector<uint16_t> samples(picture.size());
  for (std::size_t i = 0; i < picture.size(); ++i)
    samples[i] = uint16_t(picture[i] << 8 | (i * 37 & 0xFF));
  WriteLayer(index, samples);
}

std::vector<uint8_t> Crop(const std::vector<uint8_t>& p, int32_t pw, int32_t x, int32_t y,
                          int32_t w, int32_t h) {
  std::vector<uint8_t> out;
  for (int32_t r = 0; r < h; ++r) {
    const auto* row = &p[(std::size_t(y + r) * pw + x) * 4];
    out.insert(out.end(), row, row + w * 4);
  }
  return out;
}

using ClipboardStore = ClipboardTest;

TEST_F(ClipboardStore, EveryWriterAndReaderKeepsThePictureBitForBit) {
  const int32_t cw = 37, ch = 23;
  MakeCanvas(cw, ch, 3, 2);
  const auto canvasPicture = PictureWithClearPixels(cw, ch, 3);
  LayerHolding(2, canvasPicture);
  const auto host = PictureWithClearPixels(19, 11, 4);
  const auto file = ScratchPath("to_clipboard.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(host.data(), 19, 11, file.c_str(), ".png", 72), 1);

  struct Writer {
    const char* name;
    std::function<int32_t()> put;
    int32_t w, h;
    std::vector<uint8_t> expected;
  };
  const Writer writers[] = {
      {"RGBA32ToClipboardRect",
       [&] { return PMR_RGBA32ToClipboardRect(host.data(), 3, 4, 19, 11, 0); }, 19, 11, host},
      {"ToClipboard", [&] { return PMR_ToClipboard(); }, cw, ch, canvasPicture},
      {"ToClipboardRect", [&] { return PMR_ToClipboardRect(30, 20, 5, 2); }, 25, 18,
       Crop(canvasPicture, cw, 5, 2, 25, 18)},
      {"ToClipboardFromFile", [&] { return PMR_ToClipboardFromFile(file.c_str()); }, 19, 11, host},
  };
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    ASSERT_EQ(w.put(), 1);
    EXPECT_EQ(PMR_GetNewRGBAWidth(), 0) << "the import buffer is not involved";
    // Read into the import buffer.
    ASSERT_EQ(PMR_FromClipboard(), 1);
    ASSERT_EQ(PMR_GetNewRGBAWidth(), w.w);
    ASSERT_EQ(PMR_GetNewRGBAHeight(), w.h);
    EXPECT_EQ(ImportPicture(), w.expected);
    // Written as a file; the import buffer is emptied.
    const auto out = ScratchPath(std::string("from_") + w.name + ".png");
    ASSERT_EQ(PMR_FromClipboardToFile(out.c_str(), ".png", 72), 1);
    EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
    const Picture back = ReadFile(out);
    EXPECT_EQ(back.pixels, w.expected);
    // Pasted over a clear layer: what has alpha arrives whole, the rest stays clear.
    WriteLayer(3, std::vector<uint16_t>(std::size_t(cw) * ch * 4, 0));
    PMR_SetLayer(3);
    ASSERT_EQ(PMR_FromClipboardInto(0, 0, 0), 1);
    const auto layer = ReadLayer(3);
    for (int32_t y = 0; y < std::min(w.h, ch); ++y)
      for (int32_t x = 0; x < std::min(w.w, cw); ++x)
        for (int c = 0; c < 4; ++c) {
          const uint8_t a = w.expected[(std::size_t(y) * w.w + x) * 4 + 3];
          const uint16_t want = a ? Widen8(w.expected[(std::size_t(y) * w.w + x) * 4 + c]) : 0;
          ASSERT_EQ(layer[(std::size_t(y) * cw + x) * 4 + c], want) << x << "," << y;
        }
    PMR_SetLayer(2);
  }
}

TEST_F(ClipboardStore, RefusalsKeepTheClipboardAndTheImportBuffer) {
  MakeCanvas(20, 10);
  const auto clip = PictureWithClearPixels(5, 4, 9);
  const auto held = PictureWithClearPixels(3, 2, 10);
  const auto heldFile = ScratchPath("held.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(held.data(), 3, 2, heldFile.c_str(), ".png", 72), 1);
  const auto notAPicture = ScratchPath("not_a_picture.png");
  WriteBytes(notAPicture, {1, 2, 3, 4});
  std::vector<uint8_t> buffer(64, 1);
  std::vector<uint8_t> rgb(64, 0xCD);

  struct Case {
    const char* what;
    std::function<int32_t()> call;
  };
  const Case cases[] = {
      {"null host buffer", [&] { return PMR_RGBA32ToClipboardRect(nullptr, 0, 0, 2, 2, 0); }},
      {"zero width", [&] { return PMR_RGBA32ToClipboardRect(buffer.data(), 0, 0, 0, 2, 0); }},
      {"negative height", [&] { return PMR_RGBA32ToClipboardRect(buffer.data(), 0, 0, 2, -2, 1); }},
      {"overflowing size",
       [&] { return PMR_RGBA32ToClipboardRect(buffer.data(), 0, 0, 70000, 70000, 1); }},
      {"empty rectangle", [&] { return PMR_ToClipboardRect(4, 4, 4, 9); }},
      {"rectangle off the canvas", [&] { return PMR_ToClipboardRect(-3, 0, 5, 5); }},
      {"rectangle past the edge", [&] { return PMR_ToClipboardRect(10, 0, 21, 5); }},
      {"unreadable file", [&] { return PMR_ToClipboardFromFile(notAPicture.c_str()); }},
      {"missing file", [&] { return PMR_ToClipboardFromFile("/nonexistent/x.png"); }},
      {"null path", [&] { return PMR_ToClipboardFromFile(nullptr); }},
      {"file without a path", [&] { return PMR_FromClipboardToFile(nullptr, ".png", 72); }},
      {"brush of size 0", [&] { return PMR_FromClipboardToImageBrush(0); }},
      {"paste of size 0", [&] { return PMR_FromClipboardIntoEX2(0, 0, 0, 0, 0, 0, 256); }},
      {"resize to 0 wide",
       [&] {
         PMR_GetResizedNewRGBA24(rgb.data(), 0, 3);
         return 0;
       }},
      {"resize overflowing",
       [&] {
         PMR_GetResizedNewRGBA24(rgb.data(), 70000, 70000);
         return 0;
       }},
      {"resize into null",
       [&] {
         PMR_GetResizedNewRGBA24(nullptr, 3, 3);
         return 0;
       }},
  };
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(clip.data(), 0, 0, 5, 4, 0), 1);
  ASSERT_EQ(PMR_ReadFromFile(heldFile.c_str()), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(ImportPicture(), held);
    EXPECT_EQ(rgb, std::vector<uint8_t>(64, 0xCD));
  }
  // Without a canvas or a layer nothing is read, pasted or put.
  PMR_DeleteLayer(2);
  EXPECT_EQ(PMR_FromClipboardInto(0, 0, 0), 0);
  EXPECT_EQ(PMR_FromClipboardIntoEX2(0, 0, 5, 0, 0, 0, 256), 0);
  PMR_DeleteImage();
  EXPECT_EQ(PMR_ToClipboard(), 0);
  EXPECT_EQ(PMR_ToClipboardRect(0, 0, 2, 2), 0);
  EXPECT_EQ(PMR_FromClipboardInto(0, 0, 0), 0);
  EXPECT_EQ(PMR_SetInNewRGBA(), 0);
  EXPECT_EQ(ImportPicture(), held);
  // The clipboard still holds its picture.
  ASSERT_EQ(PMR_FromClipboard(), 1);
  EXPECT_EQ(ImportPicture(), clip);
  // An empty clipboard gives nothing and keeps the import picture.
  platform::ClearClipboardForTesting();
  ASSERT_EQ(PMR_ReadFromFile(heldFile.c_str()), 1);
  EXPECT_EQ(PMR_FromClipboard(), 0);
  EXPECT_EQ(PMR_FromClipboardToImageBrush(8), 0);
  EXPECT_EQ(ImportPicture(), held);
}

TEST_F(ClipboardStore, TheMaskShapesTheClipboardsCopyNotTheHostsBuffer) {
  MakeCanvas(8, 6);
  auto& s = engine::State();
  ASSERT_NE(s.maskPlane, nullptr);
  for (int i = 0; i < 8 * 6; ++i) s.maskPlane[i] = uint16_t(i * 1361);
  s.maskEnabled = 1;
  const auto host = RandomPixels(4, 3, 4, 12);
  const auto before = host;
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(host.data(), 3, 2, 4, 3, 1), 1);
  EXPECT_EQ(host, before);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  const auto got = ImportPicture();
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      const std::size_t i = (std::size_t(y) * 4 + x) * 4;
      const uint32_t m = s.maskPlane[(y + 2) * 8 + (x + 3)] >> 8;
      // 255 lets the alpha through, 0 clears it, the rest scale it by (m + 1) / 256.
      const uint8_t want = m == 255 ? host[i + 3]
                           : m == 0 ? 0
                                    : uint8_t(host[i + 3] * (m + 1) / 256);
      EXPECT_EQ(got[i + 3], want) << x << "," << y;
      EXPECT_EQ(0, std::memcmp(&got[i], &host[i], 3));
    }
  // With useMask clear (only its low byte counts) the picture goes as it is.
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(host.data(), 3, 2, 4, 3, 0x100), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  EXPECT_EQ(ImportPicture(), host);
}

using ImportReaders = ClipboardTest;

TEST_F(ImportReaders, CopiesWithoutAlphaAndTellsTransparency) {
  EXPECT_EQ(PMR_IsNewRGBA32Transparent(), 0) << "empty";
  auto p = RandomPixels(6, 5, 4, 21);
  for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(p.data(), 0, 0, 6, 5, 0), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  EXPECT_EQ(PMR_IsNewRGBA32Transparent(), 0);
  std::vector<uint8_t> rgb(6 * 5 * 3);
  PMR_GetNewRGBA24(rgb.data());
  for (std::size_t i = 0; i < 30; ++i) ASSERT_EQ(0, std::memcmp(&rgb[i * 3], &p[i * 4], 3)) << i;
  p[4 * 29 + 3] = 254;  // the last pixel alone
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(p.data(), 0, 0, 6, 5, 0), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  EXPECT_EQ(PMR_IsNewRGBA32Transparent(), 1);
}

TEST_F(ImportReaders, SetInNewRGBALoadsOnlyThePicturesPixels) {
  MakeCanvas(12, 9);
  palmora_test::PaintPattern(2, 5);
  const auto before = ReadLayer(2);
  auto p = RandomPixels(5, 4, 4, 22);
  for (std::size_t i = 3; i < p.size(); i += 4) p[i] = 255;
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(p.data(), 0, 0, 5, 4, 0), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  ASSERT_EQ(PMR_SetInNewRGBA(), 1);
  const auto after = ReadLayer(2);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x)
      for (int c = 0; c < 4; ++c) {
        const std::size_t i = (std::size_t(y) * 12 + x) * 4 + c;
        const uint16_t want =
            x < 5 && y < 4 ? Widen8(p[(std::size_t(y) * 5 + x) * 4 + c]) : before[i];
        ASSERT_EQ(after[i], want) << x << "," << y;
      }
}

// Resampling by integration of the picture as little squares of constant colour for shrinking,
// and by linear interpolation between pixel centres for growing.
std::vector<double> ReferenceResize(const std::vector<uint8_t>& p, int w, int h, int nw, int nh) {
  std::vector<double> out(std::size_t(nw) * nh * 3);
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < nw; ++x)
      for (int c = 0; c < 3; ++c) {
        double v = 0;
        if (nw < w) {
          const double x0 = double(x) * w / nw, x1 = double(x + 1) * w / nw;
          const double y0 = double(y) * h / nh, y1 = double(y + 1) * h / nh;
          double area = 0;
          for (int sy = int(y0); sy < int(std::ceil(y1)); ++sy)
            for (int sx = int(x0); sx < int(std::ceil(x1)); ++sx) {
              const double a = (std::min(x1, sx + 1.0) - std::max(x0, double(sx))) *
                               (std::min(y1, sy + 1.0) - std::max(y0, double(sy)));
              v += a * p[(std::size_t(sy) * w + sx) * 4 + c];
              area += a;
            }
          v /= area;
        } else {
          const double fx = std::clamp((x + 0.5) * w / nw - 0.5, 0.0, w - 1.0);
          const double fy = std::clamp((y + 0.5) * h / nh - 0.5, 0.0, h - 1.0);
          const int ix = std::min(int(fx), w - 2), iy = std::min(int(fy), h - 2);
          const double tx = fx - ix, ty = fy - iy;
          auto at = [&](int xx, int yy) { return double(p[(std::size_t(yy) * w + xx) * 4 + c]); };
          v = (at(ix, iy) * (1 - tx) + at(ix + 1, iy) * tx) * (1 - ty) +
              (at(ix, iy + 1) * (1 - tx) + at(ix + 1, iy + 1) * tx) * ty;
        }
        out[(std::size_t(y) * nw + x) * 3 + c] = v;
      }
  return out;
}

TEST_F(ImportReaders, ResizedCopyFollowsAReferenceResampler) {
  const int w = 64, h = 48;
  const auto p = SmoothPixels(w, h, 4);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(p.data(), 0, 0, w, h, 0), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  // Tiny results are made with another filter (bicubic) and stray a little further.
  const struct {
    int nw, nh;
    double worst, mean;
  } sizes[] = {{37, 29, 8, 1.5}, {16, 12, 8, 1.5}, {100, 70, 8, 1.5}, {3, 2, 8, 3}, {64, 48, 0, 0}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.nw) + "x" + std::to_string(size.nh));
    std::vector<uint8_t> rgb(std::size_t(size.nw) * size.nh * 3 + 3, 0xEE);
    PMR_GetResizedNewRGBA24(rgb.data(), size.nw, size.nh);
    EXPECT_EQ(rgb.back(), 0xEE) << "nothing past the picture";
    const auto ref = ReferenceResize(p, w, h, size.nw, size.nh);
    double worst = 0, sum = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
      const double d = std::abs(rgb[i] - ref[i]);
      worst = std::max(worst, d), sum += d;
    }
    EXPECT_LE(worst, size.worst);
    EXPECT_LE(sum / double(ref.size()), size.mean);
  }
}

}  // namespace
