// Truncated, corrupt and hostile files: every reader answers 0 and touches nothing outside its
// buffers (the sanitizer build checks the second half).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "imaging/codecs/codec_limits.h"
#include "imaging/imaging.h"
#include "imaging/picture_test_support.h"

namespace {

using namespace picture_test;
using namespace imaging;

std::filesystem::path DataFolder() {
  const char* root = std::getenv("PALMORA_SOURCE_DIR");
  return std::filesystem::path(root ? root : ".") / "tests" / "imaging" / "data";
}

bool NoDimsReaderAccepts(const std::vector<uint8_t>& bytes) {
  ISSource s = IS40_OpenMemorySource(bytes.data(), uint32_t(bytes.size()));
  uint32_t w = 0, h = 0, bits = 0;
  ISResolution r;
  // Header readers may accept a header whose pixels are broken; they only must not crash.
  IS3GetBMPDims(s, &w, &h, &bits, &r), IS3GetPNGDims(s, &w, &h, &bits, &r),
      IS3GetJPGDims(s, &w, &h, &bits, &r);
  IS3GetTIFFDims(s, 0, &w, &h, &bits, &r), IS3GetPSDDims(s, &w, &h, &bits, &r);
  IS40_CloseSource(s);
  return true;
}

TEST(HostileFiles, EverySampleInTheBadFolderIsRefused) {
  int samples = 0;
  for (const auto& folder : {DataFolder() / "bad", DataFolder() / "fuzz_regressions"}) {
    if (!std::filesystem::exists(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      SCOPED_TRACE(entry.path().filename().string());
      ++samples;
      const Picture p = ReadFile(entry.path());
      EXPECT_EQ(p.width, 0u);
      EXPECT_TRUE(p.pixels.empty());
      NoDimsReaderAccepts(FileBytes(entry.path()));
    }
  }
  EXPECT_GE(samples, 20);
}

TEST(HostileFiles, TruncatedFilesOfEveryFormatAreRefused) {
  constexpr uint32_t w = 37, h = 23;
  const auto rgba = RandomPixels(w, h, 4, 21);
  const auto rgb = RandomPixels(w, h, 3, 22);
  std::vector<uint8_t> indices(w * h);
  uint32_t palette[256];
  ASSERT_EQ(IS3QuantizeRGBTo8Bit(rgb.data(), w, h, w * 3, indices.data(), w, 256, palette, 1, 2, 0),
            1);
  struct Case {
    const char* name;
    std::size_t trailer;  // bytes at the end whose loss leaves a readable picture
    std::function<int32_t(ISDest)> write;
  };
  const Case cases[] = {
      {"bmp", 0,
       [&](ISDest d) { return IS3WriteBMP(d, rgb.data(), w, h, 24, 0, nullptr, nullptr, 0); }},
      {"png", 0,
       [&](ISDest d) {
         return IS3WritePNG(d, rgba.data(), w, h, w * 4, 8, 0, nullptr, 6, 0, nullptr, 0);
       }},
      {"jpg", 0, [&](ISDest d) { return IS3WriteJPG(d, rgb.data(), w, h, 90, 24, nullptr, 0); }},
      {"tif", 0,
       [&](ISDest d) { return IS3WriteTIFF(d, rgba.data(), w, h, 32, 0, 8, nullptr, 0); }},
      {"gif", 1,
       [&](ISDest d) { return IS3Write8BitToGIF(d, indices.data(), w, h, 0, 0, -1, 8, palette); }},
      {"tga", 26, [&](ISDest d) { return IS3WriteTGA(d, rgba.data(), w, h, 32, 1, 0); }},
      {"pcx", 0, [&](ISDest d) { return IS3WritePCX(d, rgb.data(), w, h, 24, nullptr, 0); }},
      {"psd", 0, [&](ISDest d) { return IS3WritePSD(d, rgba.data(), w, h, 32, 1, 0); }},
      {"emf", 0, [&](ISDest d) { return IS3WriteRGBToEMF(d, rgb.data(), w, h, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = ScratchPath(std::string("whole.") + c.name);
    ASSERT_TRUE(WriteFile(path, c.write));
    const auto bytes = FileBytes(path);
    ASSERT_GT(ReadBytes(bytes).width, 0u);
    for (std::size_t length = 0; length + c.trailer < bytes.size();
         length += length < 96 ? 1 : 13) {
      const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
      ASSERT_EQ(ReadBytes(cut).width, 0u) << "length " << length;
    }
  }
}

TEST(HostileFiles, FlippedBytesNeverCrashAReader) {
  constexpr uint32_t w = 19, h = 11;
  const auto rgba = RandomPixels(w, h, 4, 5);
  const char* names[] = {"bmp", "png", "tif", "tga", "psd", "pcx"};
  const std::function<int32_t(ISDest)> writers[] = {
      [&](ISDest d) { return IS3WriteBMP(d, rgba.data(), w, h, 32, 0, nullptr, nullptr, 0); },
      [&](ISDest d) {
        return IS3WritePNG(d, rgba.data(), w, h, w * 4, 8, 0, nullptr, 6, 0, nullptr, 0);
      },
      [&](ISDest d) { return IS3WriteTIFF(d, rgba.data(), w, h, 32, 0, 5, nullptr, 0); },
      [&](ISDest d) { return IS3WriteTGA(d, rgba.data(), w, h, 32, 1, 0); },
      [&](ISDest d) { return IS3WritePSD(d, rgba.data(), w, h, 32, 1, 0); },
      [&](ISDest d) { return IS3WritePCX(d, rgba.data(), w, h, 24, nullptr, 0); },
  };
  std::mt19937 rng(99);
  for (int i = 0; i < 6; ++i) {
    const auto path = ScratchPath(std::string("flip.") + names[i]);
    ASSERT_TRUE(WriteFile(path, writers[i]));
    const auto bytes = FileBytes(path);
    for (int round = 0; round < 300; ++round) {
      auto corrupt = bytes;
      const std::size_t at = rng() % std::min<std::size_t>(corrupt.size(), 160);  // headers mostly
      corrupt[at] = uint8_t(rng());
      const Picture p = ReadBytes(corrupt);
      if (p.width) {
        EXPECT_EQ(p.pixels.size(), std::size_t{p.width} * p.height * 4);
      }
    }
  }
}

TEST(HostileFiles, HandlesAndReadersRefuseNullsAndMissingFiles) {
  uint32_t w = 1, h = 1;
  EXPECT_EQ(IS3OpenFileSource("/nonexistent/file.png"), nullptr);
  EXPECT_EQ(IS3OpenFileSource(nullptr), nullptr);
  EXPECT_EQ(IS3OpenFileSource("/"), nullptr);  // a folder is not a file
  EXPECT_EQ(IS3OpenFileDest("/nonexistent/dir/x.png", 0), nullptr);
  EXPECT_EQ(IS3ReadImageToRGBA(nullptr, &w, &h, 0), nullptr);
  EXPECT_EQ(IS40_GuessFileType(nullptr), kFileTypeUnknown);
  EXPECT_EQ(IS40_Seek(nullptr, 0, 0), 0);
  const std::vector<uint8_t> empty;
  ISSource s = IS40_OpenMemorySource(nullptr, 0);
  EXPECT_EQ(IS40_GuessFileType(s), kFileTypeUnknown);
  EXPECT_EQ(IS40_Seek(s, 1, 0), 0);
  EXPECT_EQ(IS40_ReadImage(s, &w, &h, 1, 0), nullptr);
  EXPECT_EQ(IS40_ReadImage(s, &w, &h, 7, 0), nullptr);
  IS40_CloseSource(s);
  EXPECT_EQ(w, 1u);  // nothing written on failure
  // An empty file opens and reads as nothing.
  const auto path = ScratchPath("empty.bin");
  WriteBytes(path, {});
  EXPECT_EQ(ReadFile(path).width, 0u);
}

TEST(HostileFiles, AnImageLargerThanThePixelLimitIsRefusedBeforeDecoding) {
  const auto rgb = SmoothPixels(64, 64, 3);
  const auto path = ScratchPath("limit.png");
  ASSERT_TRUE(WriteFile(path, [&](ISDest d) {
    return IS3WritePNG(d, rgb.data(), 64, 64, 192, 8, 0, nullptr, 2, 0, nullptr, 0);
  }));
  const uint64_t saved = DecodePixelLimit();
  SetDecodePixelLimit(64 * 64 - 1);
  EXPECT_EQ(ReadFile(path).width, 0u);
  SetDecodePixelLimit(saved);
  EXPECT_EQ(ReadFile(path).width, 64u);
}

}  // namespace
