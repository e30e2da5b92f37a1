// Every failure is one line on standard error, a non-zero status, and no output file.
#include <fstream>

#include "host_runner.h"

namespace host_test {
namespace {

class Failures : public HostTest {
 protected:
  void ExpectCleanFailure(const std::vector<std::string>& args, const std::string& mentions) {
    const auto before = Files();
    const RunResult run = RunPalmora(args);
    EXPECT_TRUE(OneLineFailure(run));
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
    EXPECT_EQ(Files(), before) << "nothing written, not even a temporary file";
  }
  std::string Picture() {
    WritePng(Path("in.png"), Solid(8, 6, 1, 2, 3));
    return Path("in.png");
  }
};

TEST_F(Failures, MissingFiles) {
  ExpectCleanFailure({"paint", Path("none.srp"), "-o", Path("out.png")}, "none.srp");
  ExpectCleanFailure({"effect", "Adjust HSV", Path("none.png"), Path("out.png")}, "none.png");
  ExpectCleanFailure({"render", Path("none.png"), Path("out.png")}, "none.png");
  ExpectCleanFailure({"info", Path("none.png")}, "none.png");
  ExpectCleanFailure({"lua", Path("none.lua"), Picture(), Path("out.png")}, "none.lua");
}

TEST_F(Failures, AFileThatIsNoPicture) {
  std::ofstream(Path("text.png")) << "not a picture";
  ExpectCleanFailure({"effect", "Adjust HSV", Path("text.png"), Path("out.png")}, "text.png");
}

TEST_F(Failures, UnknownEffectNamesAreRefusedBeforeAnyWork) {
  ExpectCleanFailure({"effect", "No Such Effect", Picture(), Path("out.png")}, "No Such Effect");
  // Names are exact: lower case is another name.
  ExpectCleanFailure({"effect", "adjust hsv", Picture(), Path("out.png")}, "adjust hsv");
  const std::string script =
      WriteScript("s.srp", {"Filter", "Blurry", "0", "0", "0", "0", "0", "0", "0", "0", "0",
                            "0",      "0",      "0", "0", "0", "0", "0", "0", "0", "0"});
  ExpectCleanFailure({"paint", script, "-o", Path("out.png")}, "s.srp:7: unknown effect 'Blurry'");
}

TEST_F(Failures, MalformedScriptsNameTheirLine) {
  const std::string notANumber = WriteScript("a.srp", {"SetBrushSize", "big"});
  ExpectCleanFailure({"paint", notANumber, "-o", Path("out.png")},
                     "a.srp:8: SetBrushSize needs a number");
  const std::string unknown = WriteScript("b.srp", {"SetBrushSize", "4", "Paint"});
  ExpectCleanFailure({"paint", unknown, "-o", Path("out.png")}, "b.srp:9: unknown record 'Paint'");
  std::ofstream(Path("c.srp")) << "1554\nDescription\n1\n \nRandomSeed\n1\nDab\n3\n4\n";
  ExpectCleanFailure({"paint", Path("c.srp"), "-o", Path("out.png")},
                     "c.srp:7: Dab record ends early");
  std::ofstream(Path("d.srp")) << "1553\n";
  ExpectCleanFailure({"paint", Path("d.srp"), "-o", Path("out.png")},
                     "d.srp:1: not a paint script");
  const std::string stray = WriteScript("e.srp", {"DrawStop", "1"});
  ExpectCleanFailure({"paint", stray, "-o", Path("out.png")},
                     "e.srp:7: DrawStop without a DrawStart");
  const std::string brush = WriteScript("f.srp", {"SelectBrush", "crayon", "0", "0"});
  ExpectCleanFailure({"paint", brush, "-o", Path("out.png")}, "unknown brush 'crayon'");
}

TEST_F(Failures, BadArguments) {
  const std::string script = WriteScript("s.srp", {});
  ExpectCleanFailure({"paint", script, "-o", Path("out.png"), "--size", "0x10"}, "--size");
  ExpectCleanFailure({"paint", script, "-o", Path("out.png"), "--size", "wide"}, "--size");
  ExpectCleanFailure({"paint", script, "-o", Path("out.xyz")}, "unknown picture type");
  ExpectCleanFailure({"paint", script, "-o", Path("no/such/folder/out.png")}, "no folder");
  ExpectCleanFailure({"effect", "Adjust HSV", Picture(), Path("out.png"), "--slider", "7=10"},
                     "--slider");
  ExpectCleanFailure({"effect", "Adjust HSV", Picture(), Path("out.png"), "--color", "1,2"},
                     "--color");
  ExpectCleanFailure({"render", Picture(), Path("out.png"), "--scale", "0"}, "--scale");
  ExpectCleanFailure({"paint"}, "required");
  ExpectCleanFailure({"frobnicate"}, "frobnicate");
}

TEST_F(Failures, AScriptErrorInALuaFilter) {
  std::ofstream(Path("broken.lua")) << "this is not lua\n";
  ExpectCleanFailure({"lua", Path("broken.lua"), Picture(), Path("out.png")}, "broken.lua");
}

TEST_F(Failures, AFailedWriteKeepsTheOldFile) {
  // The output exists already; a run that fails must leave it as it was.
  std::ofstream(Path("out.png")) << "old";
  const std::string script = WriteScript("s.srp", {"SetBrushSize", "x"});
  const RunResult run = RunPalmora({"paint", script, "-o", Path("out.png")});
  EXPECT_TRUE(OneLineFailure(run));
  std::ifstream in(Path("out.png"));
  std::string content;
  in >> content;
  EXPECT_EQ(content, "old");
}

}  // namespace
}  // namespace host_test
