// The desktop clipboard and screen capture against a private X server (Xvfb) and another X
// client (xclip). Each test starts its own server on a display number the server picks itself
// and stops it afterwards. Without Xvfb on the machine the tests are skipped.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "imaging/picture_test_support.h"
#include "io/clipboard_support.h"

namespace {

using namespace clipboard_test;
using namespace picture_test;
using Clock = std::chrono::steady_clock;

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::filesystem::path candidate =
        std::filesystem::path(dirs.substr(start, end - start)) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

// Starts a program whose standard input and output are the given descriptors (or -1 to keep
// ours); it is sent SIGTERM should this test program die first.
pid_t Spawn(const std::vector<std::string>& args, int in, int out, int keep = -1) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (in >= 0) ::dup2(in, 0);
    if (out >= 0) ::dup2(out, 1);
    for (int fd = 3; fd < 256; ++fd)
      if (fd != keep) ::close(fd);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
}

// Reads everything a child writes until it closes its end, within the time limit.
std::vector<uint8_t> ReadAll(int fd, std::chrono::seconds limit) {
  std::vector<uint8_t> bytes;
  const auto deadline = Clock::now() + limit;
  uint8_t chunk[65536];
  while (Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 200) <= 0) continue;
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  return bytes;
}

class X11Clipboard : public ClipboardTest {
 protected:
  void SetUp() override {
    ClipboardTest::SetUp();
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not installed";
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    // The server picks a free display number and writes it to the descriptor we hand it.
    server_ = Spawn({xvfb, "-displayfd", std::to_string(ends[1]), "-screen", "0", "160x120x24",
                     "-nolisten", "tcp"},
                    -1, -1, ends[1]);
    ::close(ends[1]);
    const auto answer = ReadUntilNewline(ends[0]);
    ::close(ends[0]);
    ASSERT_FALSE(answer.empty()) << "Xvfb did not start";
    display_ = ":" + answer;
    ::setenv("DISPLAY", display_.c_str(), 1);
  }
  void TearDown() override {
    for (pid_t pid : clients_) Stop(pid);
    platform::ReleaseClipboard();
    Stop(server_);
    ::unsetenv("DISPLAY");
    ClipboardTest::TearDown();
  }

  static std::string ReadUntilNewline(int fd) {
    std::string text;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 200) <= 0) continue;
      char c;
      if (::read(fd, &c, 1) != 1) break;
      if (c == '\n') return text;
      text += c;
    }
    return {};
  }

  // Runs xclip to print the clipboard in the given type.
  std::vector<uint8_t> XclipOut(const std::string& type) {
    const std::string xclip = FindProgram("xclip");
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    const pid_t pid = Spawn({xclip, "-selection", "clipboard", "-t", type, "-o"}, -1, ends[1]);
    ::close(ends[1]);
    auto bytes = ReadAll(ends[0], std::chrono::seconds(20));
    ::close(ends[0]);
    ::waitpid(pid, nullptr, 0);
    return bytes;
  }

  // Lets xclip own the clipboard with a file's bytes as the given type (it stays until stopped).
  void XclipIn(const std::filesystem::path& file, const std::string& type) {
    const int in = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(in, 0);
    clients_.push_back(Spawn(
        {FindProgram("xclip"), "-quiet", "-selection", "clipboard", "-t", type, "-i"}, in, -1));
    ::close(in);
  }

  pid_t server_ = -1;
  std::vector<pid_t> clients_;
  std::string display_;
};

TEST_F(X11Clipboard, OurPictureReachesAnotherProgramExactly) {
  if (FindProgram("xclip").empty()) GTEST_SKIP() << "xclip is not installed";
  // Large and noisy enough to travel in increments.
  auto picture = RandomPixels(300, 250, 4, 41);
  for (std::size_t i = 3; i < picture.size(); i += 36) picture[i] = 0;
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(picture.data(), 0, 0, 300, 250, 0), 1);
  ASSERT_TRUE(platform::OwnsClipboard());
  const auto targets = XclipOut("TARGETS");
  const std::string list(targets.begin(), targets.end());
  EXPECT_NE(list.find("image/png"), std::string::npos) << list;
  EXPECT_NE(list.find("image/bmp"), std::string::npos) << list;
  for (const char* type : {"image/png", "image/bmp"}) {
    SCOPED_TRACE(type);
    const Picture got = ReadBytes(XclipOut(type));
    EXPECT_EQ(got.width, 300u);
    EXPECT_EQ(got.height, 250u);
    EXPECT_TRUE(got.pixels == picture);
  }
  // While we own it, our own reads come from the store.
  ASSERT_EQ(PMR_FromClipboard(), 1);
  EXPECT_EQ(ImportPicture(), picture);
}

TEST_F(X11Clipboard, AnotherProgramsPictureReachesUsAndReplacesOurs) {
  if (FindProgram("xclip").empty()) GTEST_SKIP() << "xclip is not installed";
  const auto ours = RandomPixels(4, 4, 4, 1);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(ours.data(), 0, 0, 4, 4, 0), 1);
  for (const auto& [type, ext] : {std::pair{"image/png", ".png"}, std::pair{"image/bmp", ".bmp"}}) {
    SCOPED_TRACE(type);
    auto theirs = RandomPixels(200, 180, 4, 2);
    for (std::size_t i = 3; i < theirs.size(); i += 4) theirs[i] = 255;
    const auto file = ScratchPath(std::string("xclip_in") + ext);
    ASSERT_TRUE(WriteFile(file, [&](imaging::ISDest d) {
      return ext == std::string(".png")
                 ? imaging::IS3WritePNG(d, theirs.data(), 200, 180, 800, 8, 0, nullptr, 6, 0,
                                        nullptr, 0)
                 : imaging::IS3WriteBMP(d, theirs.data(), 200, 180, 32, 0, nullptr, nullptr, 0);
    }));
    XclipIn(file, type);
    // xclip takes the selection from us in its own time.
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while ((platform::OwnsClipboard() || !PMR_FromClipboard()) && Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_FALSE(platform::OwnsClipboard());
    EXPECT_EQ(PMR_GetNewRGBAWidth(), 200);
    EXPECT_TRUE(ImportPicture() == theirs);
    Stop(clients_.back());
    clients_.pop_back();
  }
  // Nobody owns the clipboard now: there is no picture, whatever our store once held.
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (PMR_FromClipboard() && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(PMR_FromClipboard(), 0);
}

TEST_F(X11Clipboard, ASilentOwnerCannotHoldTheHost) {
  // A client that takes the clipboard and never answers.
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(c), 0);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t w = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const char name[] = "CLIPBOARD";
  auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
  xcb_set_selection_owner(c, w, atom->atom, XCB_CURRENT_TIME);
  std::free(atom);
  xcb_flush(c);
  const auto start = Clock::now();
  EXPECT_EQ(PMR_FromClipboard(), 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
  xcb_disconnect(c);
}

TEST_F(X11Clipboard, CapturesTheScreenWithAWindowOfKnownColour) {
  xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(c), 0);
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_window_t w = xcb_generate_id(c);
  const uint32_t values[] = {0x00C86432u, 1u};  // background red 200, green 100, blue 50
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 10, 20, 50, 40, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
  xcb_map_window(c, w);
  xcb_clear_area(c, 0, w, 0, 0, 0, 0);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // a round trip
  ASSERT_EQ(PMR_ScreenCapture(), 1);
  ASSERT_EQ(PMR_GetNewRGBAWidth(), 160);
  ASSERT_EQ(PMR_GetNewRGBAHeight(), 120);
  EXPECT_EQ(PMR_IsNewRGBA32Transparent(), 0);
  const auto shot = ImportPicture();
  for (int y = 20; y < 60; ++y)
    for (int x = 10; x < 60; ++x) {
      const uint8_t* p = &shot[(std::size_t(y) * 160 + x) * 4];
      ASSERT_EQ(p[0], 200) << x << "," << y;
      ASSERT_EQ(p[1], 100);
      ASSERT_EQ(p[2], 50);
    }
  // Pasted into a layer at (0, 0): the window's pixels arrive there.
  MakeCanvas(80, 70);
  ASSERT_EQ(PMR_ScreenCaptureInto(), 1);
  EXPECT_EQ(PMR_GetNewRGBAWidth(), 0);
  const auto layer = palmora_test::ReadLayer(2);
  const uint16_t* p = &layer[(std::size_t(30) * 80 + 20) * 4];
  EXPECT_EQ(p[0], 200 * 256);
  EXPECT_EQ(p[1], 100 * 256);
  EXPECT_EQ(p[2], 50 * 256);
  EXPECT_EQ(p[3], 255 * 256);
  xcb_disconnect(c);
}

TEST_F(X11Clipboard, WithoutAReachableDisplayCaptureChangesNothing) {
  const auto held = RandomPixels(2, 2, 4, 3);
  ASSERT_EQ(PMR_RGBA32ToClipboardRect(held.data(), 0, 0, 2, 2, 0), 1);
  ASSERT_EQ(PMR_FromClipboard(), 1);
  for (const char* display : {"", ":65000"}) {
    SCOPED_TRACE(display);
    ::setenv("DISPLAY", display, 1);
    MakeCanvas(8, 8);
    const auto layer = palmora_test::ReadLayer(2);
    EXPECT_EQ(PMR_ScreenCapture(), 0);
    EXPECT_EQ(PMR_ScreenCaptureInto(), 0);
    EXPECT_EQ(ImportPicture(), held);
    EXPECT_EQ(palmora_test::ReadLayer(2), layer);
    PMR_DeleteImage();
  }
}

}  // namespace
