// The scanner through SANE's own test backend, which serves known pictures: what the engine
// acquires must equal what SANE's command-line scanner delivers from the same device.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/dib.h"
#include "imaging/picture_test_support.h"
#include "io/avi_reader.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;
using picture_test::ScratchPath;

class Scanner : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    const char* old = std::getenv("SANE_CONFIG_DIR");
    saved_ = old ? old : "";
    hadOld_ = old != nullptr;
    withTest_ = ScratchPath("sane_test");
    empty_ = ScratchPath("sane_empty");
    std::filesystem::create_directories(withTest_);
    std::filesystem::create_directories(empty_);
    std::ofstream(withTest_ / "dll.conf") << "test\n";
    std::ofstream(withTest_ / "test.conf")
        << "number_of_devices 2\ntest-picture \"Color pattern\"\nresolution 10\n";
  }
  void TearDown() override {
    PMR_SetScannerSourceChooser(nullptr, nullptr);
    if (hadOld_)
      setenv("SANE_CONFIG_DIR", saved_.c_str(), 1);
    else
      unsetenv("SANE_CONFIG_DIR");
    EngineTest::TearDown();
  }
  void Use(const std::filesystem::path& dir) { setenv("SANE_CONFIG_DIR", dir.c_str(), 1); }

  std::filesystem::path withTest_, empty_;
  std::string saved_;
  bool hadOld_ = false;
};

// The colour picture scanimage reads from a device, as RGB pixels.
struct Pnm {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};
Pnm ScanImage(const std::filesystem::path& config, const std::string& device) {
  const std::string bytes =
      avi_test::RunCommand("SANE_CONFIG_DIR='" + config.string() + "' scanimage -d " + device +
                           " --mode Color --format=pnm 2>/dev/null");
  Pnm pnm;
  std::size_t at = 0;
  int fields[3] = {}, found = 0;
  if (bytes.rfind("P6", 0) != 0) return pnm;
  at = 2;
  while (found < 3 && at < bytes.size()) {
    if (bytes[at] == '#')
      at = bytes.find('\n', at);
    else if (std::isdigit(static_cast<unsigned char>(bytes[at]))) {
      std::size_t used = 0;
      fields[found++] = std::stoi(bytes.substr(at, 12), &used);
      at += used;
      continue;
    }
    ++at;
  }
  pnm.width = fields[0], pnm.height = fields[1];
  ++at;  // one white-space character ends the header
  if (at <= bytes.size()) pnm.rgb.assign(bytes.begin() + std::ptrdiff_t(at), bytes.end());
  return pnm;
}

int32_t PickSecond(const char* const* names, int32_t count, void* user) {
  *static_cast<std::string*>(user) = count > 1 ? names[1] : "";
  return count > 1 ? 1 : -1;
}
int32_t Cancel(const char* const*, int32_t, void*) { return -1; }

TEST_F(Scanner, AcquiresTheTestBackendsPictureIntoTheImportBuffer) {
  Use(withTest_);
  EXPECT_EQ(PMR_IsTwain(), 1);
  EXPECT_EQ(PMR_TwainSelectSource(), 1);
  ASSERT_EQ(PMR_TwainAcquire(), 1);
  const Pnm reference = ScanImage(withTest_, "test:0");
  ASSERT_GT(reference.width, 0);
  ASSERT_EQ(PMR_GetNewRGBAWidth(), reference.width);
  ASSERT_EQ(PMR_GetNewRGBAHeight(), reference.height);
  ASSERT_EQ(reference.rgb.size(), std::size_t(reference.width) * reference.height * 3);
  std::vector<uint8_t> rgba(std::size_t(reference.width) * reference.height * 4);
  PMR_GetNewRGBA32(rgba.data());
  std::size_t mismatches = 0;
  for (std::size_t i = 0, j = 0; j < rgba.size(); i += 3, j += 4)
    mismatches += rgba[j] != reference.rgb[i] || rgba[j + 1] != reference.rgb[i + 1] ||
                  rgba[j + 2] != reference.rgb[i + 2] || rgba[j + 3] != 255;
  EXPECT_EQ(mismatches, 0u);
}

TEST_F(Scanner, AHostChooserPicksTheDeviceOrCancels) {
  Use(withTest_);
  std::string offered;
  PMR_SetScannerSourceChooser(&PickSecond, &offered);
  EXPECT_EQ(PMR_TwainSelectSource(), 1);
  EXPECT_EQ(offered, "test:1");
  EXPECT_EQ(PMR_TwainAcquire(), 1);
  PMR_SetScannerSourceChooser(&Cancel, nullptr);
  EXPECT_EQ(PMR_TwainSelectSource(), 0);
}

// SANE reads its configuration folder once a process, so the folder without devices is tried in
// a fresh process of its own.
TEST_F(Scanner, WithoutADeviceNothingIsAvailableAndTheImportBufferStays) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        Use(empty_);
        const auto pixels = picture_test::RandomPixels(3, 2, 4, 9);
        const auto path = ScratchPath("before_scan.png");
        PMR_WriteToFileRGBA32(pixels.data(), 3, 2, path.c_str(), ".png", 72);
        PMR_ReadFromFile(path.c_str());
        const bool none =
            PMR_IsTwain() == 0 && PMR_TwainSelectSource() == 0 && PMR_TwainAcquire() == 0;
        std::vector<uint8_t> after(pixels.size());
        PMR_GetNewRGBA32(after.data());
        const bool kept =
            PMR_GetNewRGBAWidth() == 3 && PMR_GetNewRGBAHeight() == 2 && after == pixels;
        std::exit(none && kept ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(DibPictures, ReadBothRowOrdersAndRefuseWhatTheyCannotRead) {
  // A 2 x 2, 24-bit bitmap: rows padded to 8 bytes. Bottom-up: the first stored row is the bottom.
  std::vector<uint8_t> dib(40 + 16, 0);
  const int32_t header[3] = {40, 2, 2};
  std::memcpy(dib.data(), header, 12);
  const uint16_t planesBits[2] = {1, 24};
  std::memcpy(dib.data() + 12, planesBits, 4);
  const uint8_t rows[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  std::memcpy(dib.data() + 40, rows, 16);
  std::vector<uint8_t> out(16);
  ASSERT_EQ(imaging::IS3DIBWidth(dib.data()), 2u);
  ASSERT_EQ(imaging::IS3DIBToRGBA(dib.data(), 255, out.data()), 1);
  EXPECT_EQ(out, (std::vector<uint8_t>{9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}));
  const int32_t topDown = -2;
  std::memcpy(dib.data() + 8, &topDown, 4);
  EXPECT_EQ(imaging::IS3DIBHeight(dib.data()), 2u);
  ASSERT_EQ(imaging::IS3DIBToRGBA(dib.data(), 7, out.data()), 1);
  EXPECT_EQ(out, (std::vector<uint8_t>{3, 2, 1, 7, 6, 5, 4, 7, 9, 8, 7, 7, 12, 11, 10, 7}));
  const uint32_t compressed = 1;
  std::memcpy(dib.data() + 16, &compressed, 4);
  std::vector<uint8_t> untouched(16, 0xAB);
  EXPECT_EQ(imaging::IS3DIBWidth(dib.data()), 0u);
  EXPECT_EQ(imaging::IS3DIBToRGBA(dib.data(), 255, untouched.data()), 0);
  EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xAB));
  EXPECT_EQ(imaging::IS3DIBWidth(nullptr), 0u);
}

}  // namespace
