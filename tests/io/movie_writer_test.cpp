// Movies: frames written through the exports, checked by reading the AVI file back chunk by chunk
// and by opening it with ffprobe and ffmpeg.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/picture_test_support.h"
#include "imaging/picture_writers.h"
#include "io/avi_reader.h"
#include "io/movie_bitmaps.h"
#include "io/movie_writer.h"
#include "support/engine_fixture.h"

namespace {

using namespace picture_test;
using avi_test::Avi;
using avi_test::ReadAvi;
using avi_test::RunCommand;
using palmora_test::EngineTest;
using Movie = EngineTest;

// The frame as the file must hold it: rows bottom-up, blue first, padded to four bytes.
std::vector<uint8_t> ExpectedDib(const std::vector<uint8_t>& rgb, int w, int h, int channels) {
  const int outBytes = channels == 4 ? 4 : 3;
  const std::size_t row = (std::size_t(w) * outBytes + 3) / 4 * 4;
  std::vector<uint8_t> dib(row * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* s = &rgb[(std::size_t(y) * w + x) * channels];
      uint8_t* d = &dib[std::size_t(h - 1 - y) * row + std::size_t(x) * outBytes];
      d[0] = s[2], d[1] = s[1], d[2] = s[0];
      if (outBytes == 4) d[3] = s[3];
    }
  return dib;
}

std::string Probe(const std::filesystem::path& path) {
  return RunCommand(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 '" +
      path.string() + "' 2>&1");
}

bool WriteBmp(const std::filesystem::path& path, const std::vector<uint8_t>& pixels, int w, int h,
              int depth) {
  const uint32_t grey[2] = {0, 0xFFFFFF};
  return WriteFile(path, [&](imaging::ISDest dest) {
    return imaging::IS3WriteBMP(dest, pixels.data(), w, h, depth, depth == 8 ? 2 : 0,
                                depth == 8 ? grey : nullptr, nullptr, 0);
  });
}

TEST_F(Movie, RGB24FramesAreStoredUncompressedInOrderWithTheirRate) {
  // An odd width makes every row carry padding.
  const int w = 5, h = 3;
  const auto path = ScratchPath("rgb24.avi");
  ASSERT_NE(PMR_CreateAVI(path.c_str(), 40), nullptr);
  std::vector<std::vector<uint8_t>> frames;
  for (uint32_t i = 0; i < 4; ++i) {
    frames.push_back(RandomPixels(w, h, 3, 10 + i));
    PMR_WriteAVI_RGB24(frames.back().data(), w, h);
  }
  EXPECT_EQ(PMR_CloseAVI(), 0);
  EXPECT_EQ(PMR_CloseAVI(), 0);  // a second close finds nothing open

  const Avi avi = ReadAvi(path);
  ASSERT_TRUE(avi.riffOk);
  EXPECT_EQ(avi.handler, "DIB ");
  EXPECT_EQ(avi.compression, 0u);
  EXPECT_EQ(avi.bitCount, 24);
  EXPECT_EQ(avi.width, w);
  EXPECT_EQ(avi.height, h);                                        // positive: bottom-up rows
  EXPECT_EQ(uint64_t(avi.rate) * 40, uint64_t(avi.scale) * 1000);  // 25 frames a second
  EXPECT_EQ(avi.totalFrames, 4u);
  EXPECT_EQ(avi.length, 4u);
  ASSERT_EQ(avi.frames.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(avi.frames[i], ExpectedDib(frames[i], w, h, 3)) << i;
  ASSERT_EQ(avi.index.size(), 4u);
  for (const auto& entry : avi.index) EXPECT_EQ(entry.flags & 0x10, 0x10u);  // key frames

  const std::string probe = Probe(path);
  EXPECT_NE(probe.find("codec_name=rawvideo"), std::string::npos) << probe;
  EXPECT_NE(probe.find("width=5\nheight=3"), std::string::npos) << probe;
  EXPECT_NE(probe.find("r_frame_rate=25/1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("nb_read_frames=4"), std::string::npos) << probe;
  // And ffmpeg decodes the frames back to the host's pixels, top row first.
  const std::string decoded = RunCommand("ffmpeg -v error -i '" + path.string() +
                                         "' -f rawvideo -pix_fmt rgb24 - 2>/dev/null");
  std::string expected;
  for (const auto& f : frames) expected.append(f.begin(), f.end());
  EXPECT_EQ(decoded, expected);
}

TEST_F(Movie, BitmapFilesKeepTheirDepthAndOtherBitmapsAreSkippedWithoutStoppingTheMovie) {
  const int w = 6, h = 4;
  const auto a = RandomPixels(w, h, 4, 1), b = RandomPixels(w, h, 4, 2);
  const auto grey8 = std::vector<uint8_t>(std::size_t(w) * h, 1);
  const auto small = RandomPixels(3, 3, 4, 3);
  ASSERT_TRUE(WriteBmp(ScratchPath("a32.bmp"), a, w, h, 32));
  ASSERT_TRUE(WriteBmp(ScratchPath("b32.bmp"), b, w, h, 32));
  ASSERT_TRUE(WriteBmp(ScratchPath("c8.bmp"), grey8, w, h, 8));
  ASSERT_TRUE(WriteBmp(ScratchPath("small32.bmp"), small, 3, 3, 32));
  const auto png = ScratchPath("not_a_bitmap.png");
  ASSERT_EQ(PMR_WriteToFileRGBA32(a.data(), w, h, png.c_str(), ".png", 72), 1);

  const auto path = ScratchPath("files.avi");
  ASSERT_NE(PMR_CreateAVI(path.c_str(), 100), nullptr);
  PMR_WriteAVI(ScratchPath("a32.bmp").c_str());
  PMR_WriteAVI(ScratchPath("c8.bmp").c_str());  // not a DIB section: skipped
  PMR_WriteAVI(png.c_str());                    // not a bitmap at all
  PMR_WriteAVI(ScratchPath("missing.bmp").c_str());
  PMR_WriteAVI(nullptr);
  PMR_WriteAVI(ScratchPath("small32.bmp").c_str());  // another size than the first frame
  PMR_WriteAVI_RGB24(nullptr, w, h);
  PMR_WriteAVI_RGB24(a.data(), 0, h);
  PMR_WriteAVI_RGB24(a.data(), w, -1);
  PMR_WriteAVI(ScratchPath("b32.bmp").c_str());  // still written
  PMR_CloseAVI();

  const Avi avi = ReadAvi(path);
  ASSERT_TRUE(avi.riffOk);
  EXPECT_EQ(avi.bitCount, 32);
  EXPECT_EQ(uint64_t(avi.rate) * 100, uint64_t(avi.scale) * 1000);
  ASSERT_EQ(avi.frames.size(), 2u);
  EXPECT_EQ(avi.frames[0], ExpectedDib(a, w, h, 4));
  EXPECT_EQ(avi.frames[1], ExpectedDib(b, w, h, 4));
  const std::string probe = Probe(path);
  EXPECT_NE(probe.find("nb_read_frames=2"), std::string::npos) << probe;
}

TEST_F(Movie, RefusedOpensLeaveNoFileAndFramesWithoutAMovieDoNothing) {
  const auto pixels = RandomPixels(2, 2, 3, 4);
  PMR_WriteAVI_RGB24(pixels.data(), 2, 2);  // no movie open
  PMR_WriteAVI(ScratchPath("nothing.bmp").c_str());
  EXPECT_EQ(PMR_CloseAVI(), 0);
  const auto path = ScratchPath("refused.avi");
  EXPECT_EQ(PMR_CreateAVI(nullptr, 40), nullptr);
  EXPECT_EQ(PMR_CreateAVI("", 40), nullptr);
  EXPECT_EQ(PMR_CreateAVI(path.c_str(), 0), nullptr);
  EXPECT_EQ(PMR_CreateAVI(path.c_str(), -40), nullptr);
  EXPECT_EQ(PMR_CreateAVI((ScratchPath("no_such_folder") / "x.avi").c_str(), 40), nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(engine::State().movie, nullptr);
  // A movie closed without a frame is no movie either.
  ASSERT_NE(PMR_CreateAVI(path.c_str(), 40), nullptr);
  EXPECT_EQ(PMR_CloseAVI(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The compression chooser stands in for the dialog; a cancel or an unknown codec stops the movie
// for good, and the failed movie is removed when it closes.
struct ChooserScript {
  const char* codec;
  int32_t answer;
  int calls = 0;
};
int32_t ScriptedChooser(char* codec, int32_t bytes, void* user) {
  auto* script = static_cast<ChooserScript*>(user);
  ++script->calls;
  std::snprintf(codec, std::size_t(bytes), "%s", script->codec);
  return script->answer;
}

TEST_F(Movie, ACancelledOrImpossibleCompressionStopsTheMovieForGood) {
  const auto pixels = RandomPixels(4, 4, 3, 5);
  for (ChooserScript script : {ChooserScript{"", 0}, ChooserScript{"no-such-codec", 1}}) {
    const auto path = ScratchPath("stopped.avi");
    PMR_SetMovieCompressionChooser(&ScriptedChooser, &script);
    auto* movie = static_cast<io::MovieWriter*>(PMR_CreateAVI(path.c_str(), 40));
    ASSERT_NE(movie, nullptr);
    PMR_WriteAVI_RGB24(pixels.data(), 4, 4);
    EXPECT_EQ(movie->failed, 1);
    EXPECT_EQ(io::AviOptionsStep(movie, nullptr), platform::kAviErrBadParam);
    PMR_WriteAVI_RGB24(pixels.data(), 4, 4);
    EXPECT_EQ(movie->frameCount, 0);
    EXPECT_EQ(script.calls, 1);  // asked once, on the first frame
    EXPECT_EQ(PMR_CloseAVI(), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    PMR_SetMovieCompressionChooser(nullptr, nullptr);
  }
}

TEST_F(Movie, StepsReportTheirCodesInOrder) {
  EXPECT_EQ(io::AviOptionsStep(nullptr, nullptr), platform::kAviErrBadHandle);
  EXPECT_EQ(io::AviFrameStep(nullptr, nullptr), platform::kAviErrBadHandle);
  const auto path = ScratchPath("steps.avi");
  auto* movie = static_cast<io::MovieWriter*>(PMR_CreateAVI(path.c_str(), 40));
  ASSERT_NE(movie, nullptr);
  const auto pixels = RandomPixels(4, 2, 3, 6);
  auto bitmap = io::RGBToDibSection(pixels.data(), 4, 2);
  EXPECT_EQ(io::AviOptionsStep(movie, bitmap.get()), platform::kAviOk);
  EXPECT_EQ(io::AviOptionsStep(movie, bitmap.get()), platform::kAviErrCompressor);  // from now on
  EXPECT_EQ(io::AviFrameStep(movie, bitmap.get()), platform::kAviOk);
  EXPECT_EQ(movie->frameCount, 1);
  movie->failed = 1;
  EXPECT_EQ(io::AviFrameStep(movie, bitmap.get()), platform::kAviErrError);
  EXPECT_EQ(movie->frameCount, 1);
  PMR_CloseAVI();
}

TEST_F(Movie, AChosenLosslessCodecEncodesFramesPlayersDecodeExactly) {
  ChooserScript script{"ffv1", 1};
  PMR_SetMovieCompressionChooser(&ScriptedChooser, &script);
  const int w = 16, h = 8;
  const auto path = ScratchPath("ffv1.avi");
  ASSERT_NE(PMR_CreateAVI(path.c_str(), 50), nullptr);
  std::string expected;
  for (uint32_t i = 0; i < 3; ++i) {
    const auto frame = RandomPixels(w, h, 3, 20 + i);
    PMR_WriteAVI_RGB24(frame.data(), w, h);
    expected.append(frame.begin(), frame.end());
  }
  PMR_CloseAVI();
  PMR_SetMovieCompressionChooser(nullptr, nullptr);
  const std::string probe = Probe(path);
  EXPECT_NE(probe.find("codec_name=ffv1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("r_frame_rate=20/1"), std::string::npos) << probe;
  EXPECT_NE(probe.find("nb_read_frames=3"), std::string::npos) << probe;
  EXPECT_EQ(RunCommand("ffmpeg -v error -i '" + path.string() +
                       "' -f rawvideo -pix_fmt rgb24 - 2>/dev/null"),
            expected);
}

TEST_F(Movie, OpeningASecondMovieFinishesTheFirst) {
  const auto first = ScratchPath("first.avi"), second = ScratchPath("second.avi");
  const auto pixels = RandomPixels(2, 2, 3, 7);
  ASSERT_NE(PMR_CreateAVI(first.c_str(), 40), nullptr);
  PMR_WriteAVI_RGB24(pixels.data(), 2, 2);
  ASSERT_NE(PMR_CreateAVI(second.c_str(), 40), nullptr);
  PMR_WriteAVI_RGB24(pixels.data(), 2, 2);
  PMR_WriteAVI_RGB24(pixels.data(), 2, 2);
  PMR_CloseAVI();
  EXPECT_EQ(ReadAvi(first).frames.size(), 1u);
  EXPECT_EQ(ReadAvi(second).frames.size(), 2u);
}

}  // namespace
