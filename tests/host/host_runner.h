// Running the palmora program as a user does, and reading what it wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace host_test {

struct RunResult {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the program with these arguments (no shell: each is one argument).
RunResult RunPalmora(const std::vector<std::string>& arguments);

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

// Reads a picture through the engine's file reader; empty when it cannot.
Pixels ReadPixels(const std::string& path);
// Writes a packed RGBA32 picture as PNG through the engine's writer.
void WritePng(const std::string& path, const Pixels& pixels);
Pixels Solid(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

// A fresh folder per test, removed afterwards.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  // Writes a paint script: the header with this seed, then the lines given, then "ScriptEnd".
  std::string WriteScript(const std::string& name, const std::vector<std::string>& records,
                          uint32_t seed = 99) const;
  // Files in the folder (to tell that a failed run left nothing behind).
  std::vector<std::string> Files() const;

 private:
  std::filesystem::path folder_;
};

// Builders for script records.
std::vector<std::string> Brush(const std::string& name, int size, int opacity = 100, int angle = 0,
                               const std::string& picture = "0");
std::vector<std::string> Colour(int r, int g, int b);
// A stroke along the points (x, y) at the pressure given.
std::vector<std::string> Stroke(const std::vector<std::pair<double, double>>& points,
                                double pressure = 1.0);
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

// The one line the program prints on failure.
::testing::AssertionResult OneLineFailure(const RunResult& run);

}  // namespace host_test
