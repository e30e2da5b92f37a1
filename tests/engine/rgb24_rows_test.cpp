// The 3-byte row kernels, portable, SSSE3 and AVX2, against the format rules worked out pixel by
// pixel here: every row length from 1 to 70 (heads, whole 16-pixel steps and tails), buffers off
// any 16-byte boundary, cached and streamed stores, and guard bytes around the written row that
// must stay untouched.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/pixel_formats.h"
#include "engine/rgb24_rows_internal.h"
#include "platform/cpu_features_internal.h"
#include "support/transfer_support.h"

namespace {

using engine::Stores;
using palmora_test::RandomBytes;

constexpr std::size_t kGuard = 32;
constexpr uint8_t kGuardByte = 0xC7;

// Engine pixels with random colour and alphas drawn from the edge values and random ones.
std::vector<uint16_t> EnginePixels(std::size_t pixels, uint32_t seed) {
  const auto noise = RandomBytes(pixels * 8, seed);
  std::vector<uint16_t> samples(pixels * 4);
  std::memcpy(samples.data(), noise.data(), noise.size());
  constexpr uint16_t kEdges[] = {0, 255, 65279, 65280, 65535};
  for (std::size_t p = 0; p < pixels; ++p) {
    if (noise[p] % 3 != 0) samples[4 * p + 3] = kEdges[noise[p] % 5];
  }
  return samples;
}

// Parameter: the CPU level, whose widest kernels run (portable, SSSE3, AVX2); skipped where the
// machine (or PALMORA_CPU) stays below it.
class Rgb24Rows : public ::testing::TestWithParam<platform::CpuLevel> {
 protected:
  void SetUp() override {
    platform::SetCpuLevelForTesting(GetParam());
    if (platform::CurrentCpuLevel() < GetParam()) GTEST_SKIP() << "the CPU level is lower";
  }
  void TearDown() override { platform::SetCpuLevelForTesting(platform::CpuLevel::kAvx512); }
};

using ReadKernel = void (*)(const uint16_t*, uint8_t*, std::size_t, Stores);
using LoadKernel = void (*)(const uint8_t*, uint16_t*, std::size_t, Stores);

// Runs a read kernel on `pixels` pixels into a guarded buffer at byte offset `offset`.
std::vector<uint8_t> RunRead(ReadKernel kernel, const std::vector<uint16_t>& src,
                             std::size_t pixels, std::size_t offset, Stores stores) {
  std::vector<uint8_t> out(kGuard + offset + 3 * pixels + kGuard, kGuardByte);
  kernel(src.data(), out.data() + kGuard + offset, pixels, stores);
  return out;
}

TEST_P(Rgb24Rows, ReadsTakeTheHighBytes) {
  for (std::size_t pixels = 1; pixels <= 70; ++pixels) {
    const auto src = EnginePixels(pixels, uint32_t(pixels));
    for (std::size_t offset : {0, 1, 5, 13}) {
      for (Stores stores : {Stores::kCached, Stores::kStreaming}) {
        SCOPED_TRACE(::testing::Message() << pixels << " pixels at offset " << offset);
        const auto colour = RunRead(engine::RowRGBA64ToRGB24, src, pixels, offset, stores);
        const auto grey = RunRead(engine::RowAlphaToGrey24, src, pixels, offset, stores);
        for (std::size_t i = 0; i < colour.size(); ++i) {
          const std::size_t at = i - kGuard - offset;
          const bool inside = i >= kGuard + offset && at < 3 * pixels;
          const uint8_t wantColour = inside ? uint8_t(src[4 * (at / 3) + at % 3] >> 8) : kGuardByte;
          const uint8_t wantGrey = inside ? uint8_t(src[4 * (at / 3) + 3] >> 8) : kGuardByte;
          ASSERT_EQ(colour[i], wantColour) << "byte " << i;
          ASSERT_EQ(grey[i], wantGrey) << "byte " << i;
        }
      }
    }
  }
}

// The expected layer pixel after a load of source bytes (b0, b1, b2) over `old`.
using LoadRule = void (*)(const uint8_t* in, const uint16_t* old, uint16_t* want);

void ExpectLoad(LoadKernel kernel, LoadRule rule) {
  for (std::size_t pixels = 1; pixels <= 70; ++pixels) {
    const auto old = EnginePixels(pixels, uint32_t(200 + pixels));
    // Layer rows start on 8-byte boundaries (any of the four within 32 bytes); the source may
    // start anywhere, and its row ends where its buffer does, so that a read past it shows under
    // the address sanitizer.
    for (std::size_t srcOffset : {0, 3, 7}) {
      const auto src = RandomBytes(srcOffset + 3 * pixels, uint32_t(100 + pixels));
      for (std::size_t dstOffset : {0, 1, 2, 3}) {
        for (Stores stores : {Stores::kCached, Stores::kStreaming}) {
          SCOPED_TRACE(::testing::Message()
                       << pixels << " pixels, offsets " << srcOffset << ", " << dstOffset);
          std::vector<uint16_t> layer(4 * (pixels + 8), 0xA5A5);
          uint16_t* row = layer.data() + 4 * (2 + dstOffset);
          std::memcpy(row, old.data(), pixels * 8);
          kernel(src.data() + srcOffset, row, pixels, stores);
          for (std::size_t p = 0; p < pixels + 8; ++p) {
            uint16_t want[4] = {0xA5A5, 0xA5A5, 0xA5A5, 0xA5A5};
            if (p >= 2 + dstOffset && p < 2 + dstOffset + pixels) {
              const std::size_t i = p - 2 - dstOffset;
              rule(src.data() + srcOffset + 3 * i, old.data() + 4 * i, want);
            }
            for (int c = 0; c < 4; ++c) ASSERT_EQ(layer[4 * p + c], want[c]) << p << "." << c;
          }
        }
      }
    }
  }
}

TEST_P(Rgb24Rows, ColourLoadWidensAndKeepsAlpha) {
  ExpectLoad(engine::RowLoadRGB24Colour, [](const uint8_t* in, const uint16_t* old, uint16_t* w) {
    for (int c = 0; c < 3; ++c) w[c] = uint16_t(in[c] * 256);
    w[3] = old[3];
  });
}

TEST_P(Rgb24Rows, AlphaLoadReshapesOnlyPixelsThatHaveAlpha) {
  ExpectLoad(engine::RowLoadRGB24Alpha, [](const uint8_t* in, const uint16_t* old, uint16_t* w) {
    for (int c = 0; c < 3; ++c) w[c] = old[c];
    w[3] = old[3] == 0 ? 0 : uint16_t(in[0] * 256);
  });
}

TEST_P(Rgb24Rows, BlueGreenRedLoadSwapsAndMakesOpaque) {
  ExpectLoad(engine::RowLoadBGR24, [](const uint8_t* in, const uint16_t*, uint16_t* w) {
    w[0] = uint16_t(in[2] * 256);
    w[1] = uint16_t(in[1] * 256);
    w[2] = uint16_t(in[0] * 256);
    w[3] = 65535;
  });
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, Rgb24Rows,
                         ::testing::Values(platform::CpuLevel::kScalar, platform::CpuLevel::kSsse3,
                                           platform::CpuLevel::kAvx2),
                         [](const ::testing::TestParamInfo<platform::CpuLevel>& info) {
                           return std::string(platform::CpuLevelName(info.param));
                         });

}  // namespace
