// palmora effect over several pictures: each written to the folder under its own name, a failed
// one named on its own line while the others are still done, and the run failing at the end.
#include "host_runner.h"

namespace host_test {
namespace {

using EffectBatch = HostTest;

TEST_F(EffectBatch, EveryGoodInputIsDoneAndTheRunFailsForTheBadOne) {
  WritePng(Path("a.png"), Solid(6, 4, 200, 40, 40));
  WritePng(Path("b.png"), Solid(5, 3, 40, 200, 40));
  std::filesystem::create_directory(Path("other"));
  WritePng(Path("other/a.png"), Solid(2, 2, 1, 2, 3));
  const RunResult run = RunPalmora({"effect", "Negative", Path("a.png"), Path("missing.png"),
                                    Path("b.png"), Path("other/a.png"), "-o", Path("out"), "-q"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot read '" + Path("missing.png") + "': no such file"),
            std::string::npos)
      << run.err;
  // The second a.png would overwrite the first one's result.
  EXPECT_NE(run.err.find(Path("other/a.png") + ": its output"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2 of 4 pictures failed"), std::string::npos) << run.err;

  // Each result is what the single-picture form writes.
  ASSERT_EQ(RunPalmora({"effect", "Negative", Path("a.png"), Path("single.png"), "-q"}).status, 0);
  EXPECT_EQ(ReadPixels(Path("out/a.png")).rgba, ReadPixels(Path("single.png")).rgba);
  const Pixels b = ReadPixels(Path("out/b.png"));
  ASSERT_EQ(b.width, 5);
  EXPECT_EQ(b.At(4, 2)[1], 255 - 200);

  const RunResult good =
      RunPalmora({"effect", "Negative", Path("a.png"), Path("b.png"), "-o", Path("out2"), "-q"});
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_TRUE(std::filesystem::exists(Path("out2/b.png")));
}

}  // namespace
}  // namespace host_test
