// What a new user trips over first: effects whose script or plug-in fails must fail the run, and a
// picture that cannot be written says why, in the system's words.
#include <cstdlib>
#include <fstream>

#include "host_runner.h"

namespace host_test {
namespace {

class OutputFailures : public HostTest {
 protected:
  void ExpectCleanFailure(const std::vector<std::string>& args, const std::string& mentions) {
    const auto before = Files();
    const RunResult run = RunPalmora(args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(OneLineFailure(run));
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
    EXPECT_EQ(Files(), before) << "nothing written, not even a temporary file";
  }
  std::string Picture(int width = 8, int height = 6) {
    WritePng(Path("in.png"), Solid(width, height, 10, 20, 30));
    return Path("in.png");
  }
};

TEST_F(OutputFailures, EffectsWithAMissingOrFailingScriptOrPlugInFail) {
  const std::string in = Picture();
  ExpectCleanFailure({"effect", "Lua Filter", in, Path("out.png"), "--text", Path("none.lua")},
                     "none.lua");
  std::ofstream(Path("broken.lua")) << "this is not lua\n";
  ExpectCleanFailure({"effect", "Lua Filter", in, Path("out.png"), "--text", Path("broken.lua")},
                     "broken.lua");
  std::ofstream(Path("raises.lua")) << "error('no good')\n";
  ExpectCleanFailure({"effect", "Lua Filter", in, Path("out.png"), "--text", Path("raises.lua")},
                     "no good");
  ExpectCleanFailure({"effect", "Adobe Compatible Plug-ins", in, Path("out.png"), "--text",
                      "Blur :: Soft :: " + Path("none.so")},
                     "none.so");
}

TEST_F(OutputFailures, WriteErrorsGiveTheSystemsReason) {
  const std::string in = Picture();
  std::filesystem::create_directory(Path("folder.png"));
  ExpectCleanFailure({"effect", "Adjust HSV", in, Path("folder.png")}, "Is a directory");
  ExpectCleanFailure({"effect", "Adjust HSV", in, "/proc/self/out.png"},
                     "cannot write '/proc/self/out.png': ");
  const RunResult run = RunPalmora({"effect", "Adjust HSV", in, "/proc/self/out.png"});
  EXPECT_EQ(run.err.find("Success"), std::string::npos) << run.err;
  EXPECT_NE(run.err.back() == '\n' ? run.err[run.err.size() - 2] : run.err.back(), ' ') << run.err;
}

TEST_F(OutputFailures, AFullDiskIsNamed) {
  // A 16 KiB file system of the test's own, where it may make one (else there is nothing to show).
  const std::string small = Path("small");
  std::filesystem::create_directory(small);
  // Noise, so that the written file cannot be squeezed into the space there is.
  Pixels noise = Solid(200, 200, 0, 0, 0);
  uint32_t state = 12345;
  for (uint8_t& byte : noise.rgba) byte = uint8_t((state = state * 1103515245u + 12345u) >> 24);
  WritePng(Path("noise.png"), noise);
  const std::string in = Path("noise.png");
  const std::string command = "unshare -r -m sh -c 'mount -t tmpfs -o size=16k none " + small +
                              " && \"" PALMORA_HOST_PROGRAM "\" effect \"Adjust HSV\" " + in + " " +
                              small + "/out.png; echo status=$?; ls -A " + small + "' 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  if (output.find("status=") == std::string::npos)
    GTEST_SKIP() << "no private mount here: " << output;
  EXPECT_NE(output.find("No space left on device"), std::string::npos) << output;
  EXPECT_NE(output.find("status=1"), std::string::npos) << output;
  EXPECT_EQ(output.find("partial"), std::string::npos) << "a partial file was left: " << output;
}

TEST_F(OutputFailures, CommonSpellingsAreWrittenAndWmfIsRefused) {
  const std::string in = Picture();
  for (const std::string name : {"a.jpeg", "b.TIFF", "c.JPG"}) {
    const RunResult run = RunPalmora({"effect", "Adjust HSV", in, Path(name), "-q"});
    EXPECT_EQ(run.status, 0) << name << ": " << run.err;
    EXPECT_EQ(ReadPixels(Path(name)).width, 8) << name;
  }
  ExpectCleanFailure({"effect", "Adjust HSV", in, Path("d.wmf")}, "use .emf");
}

TEST_F(OutputFailures, PngKeepsAlphaOnlyWhenThePictureHasTransparency) {
  // The PNG header's colour type: 2 is RGB, 6 is RGBA.
  const auto colourType = [&](const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    return int(header[25]);
  };
  ASSERT_EQ(RunPalmora({"effect", "Adjust HSV", Picture(), Path("opaque.png"), "-q"}).status, 0);
  EXPECT_EQ(colourType(Path("opaque.png")), 2);
  WritePng(Path("see-through.png"), Solid(8, 6, 10, 20, 30, 128));
  ASSERT_EQ(
      RunPalmora({"effect", "Adjust HSV", Path("see-through.png"), Path("out.png"), "-q"}).status,
      0);
  EXPECT_EQ(colourType(Path("out.png")), 6);
  EXPECT_EQ(ReadPixels(Path("out.png")).At(3, 3)[3], 128);
}

}  // namespace
}  // namespace host_test
