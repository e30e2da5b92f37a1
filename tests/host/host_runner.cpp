// Running the palmora program and reading what it wrote.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "host_runner.h"
#include "palmora/palmora.h"

extern char** environ;

namespace host_test {
namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

RunResult RunPalmora(const std::vector<std::string>& arguments) {
  const auto folder = std::filesystem::temp_directory_path();
  const std::string tag = std::to_string(::getpid()) + "-" +
                          std::to_string(reinterpret_cast<std::uintptr_t>(&arguments));
  const auto outPath = folder / ("palmora-host-out-" + tag),
             errPath = folder / ("palmora-host-err-" + tag);
  std::vector<std::string> argv{PALMORA_HOST_PROGRAM, "--data", PALMORA_DATA_DIR};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  RunResult run;
  if (posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

Pixels ReadPixels(const std::string& path) {
  Pixels p;
  if (!PMR_ReadFromFile(path.c_str())) return p;
  p.width = PMR_GetNewRGBAWidth();
  p.height = PMR_GetNewRGBAHeight();
  p.rgba.resize(std::size_t(p.width) * p.height * 4);
  PMR_GetNewRGBA32(p.rgba.data());
  PMR_DeleteNewRGBA();
  return p;
}

void WritePng(const std::string& path, const Pixels& pixels) {
  ASSERT_TRUE(PMR_WriteToFileRGBA32(pixels.rgba.data(), pixels.width, pixels.height, path.c_str(),
                                    ".png", 72));
}

Pixels Solid(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  Pixels p{width, height, {}};
  for (int i = 0; i < width * height; ++i) p.rgba.insert(p.rgba.end(), {r, g, b, a});
  return p;
}

void HostTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = std::filesystem::temp_directory_path() /
            ("palmora-host-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
             std::to_string(::getpid()));
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
}

void HostTest::TearDown() { std::filesystem::remove_all(folder_); }

std::string HostTest::WriteScript(const std::string& name, const std::vector<std::string>& records,
                                  uint32_t seed) const {
  std::ofstream out(Path(name));
  out << "1554\nDescription\n1\n \nRandomSeed\n" << seed << "\n";
  for (const std::string& line : records) out << line << "\n";
  out << "ScriptEnd\n";
  return Path(name);
}

std::vector<std::string> HostTest::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    names.push_back(entry.path().filename().string());
  return names;
}

std::vector<std::string> Brush(const std::string& name, int size, int opacity, int angle,
                               const std::string& picture) {
  return {"SelectBrush",         name,
          std::to_string(angle), picture,
          "SetBrushSize",        std::to_string(size),
          "SetBrushOpacity",     std::to_string(opacity)};
}

std::vector<std::string> Colour(int r, int g, int b) {
  return {"SetColor", std::to_string(r), std::to_string(g), std::to_string(b)};
}

std::vector<std::string> Stroke(const std::vector<std::pair<double, double>>& points,
                                double pressure) {
  auto number = [](double v) {
    std::ostringstream s;
    s << v;
    return s.str();
  };
  std::vector<std::string> lines{"DrawStart",
                                 number(points[0].first),
                                 number(points[0].second),
                                 "-1",
                                 "SmoothPlot2",
                                 "0",
                                 "0",
                                 "0",
                                 "1",
                                 "0"};
  for (const auto& [x, y] : points)
    lines.insert(lines.end(), {"SmoothPlot2", number(x), number(y), number(pressure), "0", "0"});
  lines.insert(lines.end(), {"SmoothPlot2", "0", "0", "0", "0", "1", "DrawStop", "1"});
  return lines;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

::testing::AssertionResult OneLineFailure(const RunResult& run) {
  if (run.status == 0) return ::testing::AssertionFailure() << "the run succeeded";
  if (run.err.rfind("palmora: ", 0) != 0 || run.err.find('\n') != run.err.size() - 1)
    return ::testing::AssertionFailure() << "not one 'palmora: ...' line: [" << run.err << "]";
  return ::testing::AssertionSuccess();
}

}  // namespace host_test
