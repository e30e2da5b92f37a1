// Progress reported to the host: every long call starts at 0, ends at its total, never goes back,
// and nothing is reported once the host has taken its callback away.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "palmora/palmora.h"
#include "support/engine_fixture.h"

namespace {

using palmora_test::EngineTest;
using palmora_test::PaintPattern;
using ProgressReport = EngineTest;

struct Step {
  std::string task;
  int32_t done, total;
};

void Record(const char* task, int32_t done, int32_t total, void* user) {
  static_cast<std::vector<Step>*>(user)->push_back({task ? task : "", done, total});
}

// The steps of one task form a run from 0 to the total, rising.
void ExpectWholeRun(const std::vector<Step>& steps, const std::string& task, std::size_t least) {
  ASSERT_GE(steps.size(), least) << task;
  EXPECT_EQ(steps.front().done, 0) << task;
  EXPECT_EQ(steps.back().done, steps.back().total) << task;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(steps[i].task, task);
    EXPECT_EQ(steps[i].total, steps.front().total);
    if (i) {
      EXPECT_GT(steps[i].done, steps[i - 1].done) << task << " step " << i;
    }
  }
}

TEST_F(ProgressReport, EffectsAndPageSavesRunFromZeroToTheirTotal) {
  MakeCanvas(300, 400);
  PaintPattern(2, 5);
  std::vector<Step> steps;
  PMR_SetProgressCallback(&Record, &steps);

  PMR_IPLAllocSrcBuffer32();
  PMR_IPLAllocDstBuffer32();
  PMR_IPLImageProcess(0, "Adjust HSV", 0, 500, 560, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      "");
  ExpectWholeRun(steps, "Adjust HSV", 2);

  steps.clear();
  const std::string path =
      (std::filesystem::temp_directory_path() / ("progress-" + std::to_string(getpid()) + ".png"))
          .string();
  ASSERT_EQ(PMR_SavePageToFileRGB24(path.c_str(), ".png", 72), 1);
  std::filesystem::remove(path);
  // 120,000 pixels in bands of at most 65,536: at least two bands between start and end.
  ExpectWholeRun(steps, "save page", 3);
  EXPECT_EQ(steps.back().total, 400);

  // An unknown effect does no work and reports none; without a callback nothing is reported.
  steps.clear();
  PMR_IPLImageProcess(0, "No Such Effect", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      "");
  PMR_SetProgressCallback(nullptr, &steps);
  PMR_IPLImageProcess(0, "Adjust HSV", 0, 500, 560, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      "");
  EXPECT_TRUE(steps.empty());
  PMR_IPLFreeSrcBuffer32();
  PMR_IPLFreeDstBuffer32();
}

}  // namespace
