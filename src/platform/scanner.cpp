#include "platform/scanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dib_section.h"

namespace platform {
namespace {

ScannerSourceChooser g_chooser = nullptr;
void* g_chooserUser = nullptr;
std::string g_chosenDevice;

// Pictures beyond this many bytes of scan data are refused rather than collected.
constexpr std::size_t kMaxScanBytes = std::size_t(1) << 30;

// SANE started for the length of one call.
class SaneSession {
 public:
  SaneSession() { ok_ = sane_init(nullptr, nullptr) == SANE_STATUS_GOOD; }
  ~SaneSession() {
    if (ok_) sane_exit();
  }
  SaneSession(const SaneSession&) = delete;
  SaneSession& operator=(const SaneSession&) = delete;
  bool ok() const { return ok_; }
  std::vector<std::string> Devices() const {
    std::vector<std::string> names;
    const SANE_Device** list = nullptr;
    if (!ok_ || sane_get_devices(&list, SANE_TRUE) != SANE_STATUS_GOOD || !list) return names;
    for (; *list; ++list)
      if ((*list)->name) names.emplace_back((*list)->name);
    return names;
  }

 private:
  bool ok_ = false;
};

// Sets the scan mode to colour when the device has such a mode; devices without one scan as
// they are.
void AskForColour(SANE_Handle device) {
  for (SANE_Int i = 1;; ++i) {
    const SANE_Option_Descriptor* option = sane_get_option_descriptor(device, i);
    if (!option) return;
    if (!option->name || std::strcmp(option->name, SANE_NAME_SCAN_MODE) != 0) continue;
    if (option->type != SANE_TYPE_STRING ||
        option->constraint_type != SANE_CONSTRAINT_STRING_LIST ||
        !SANE_OPTION_IS_SETTABLE(option->cap))
      return;
    for (const SANE_String_Const* mode = option->constraint.string_list; mode && *mode; ++mode) {
      if (std::strcmp(*mode, SANE_VALUE_SCAN_MODE_COLOR) == 0) {
        std::vector<char> value(std::size_t(option->size > 0 ? option->size : 1) + 8, 0);
        std::strncpy(value.data(), *mode, value.size() - 1);
        sane_control_option(device, i, SANE_ACTION_SET_VALUE, value.data(), nullptr);
        return;
      }
    }
    return;
  }
}

// One frame's samples as 8-bit values; 1-bit frames are black on white, 16-bit keep the high
// byte (in the machine's byte order).
uint8_t Sample(const std::vector<uint8_t>& data, const SANE_Parameters& p, int32_t y, int32_t x,
               int32_t channel, int32_t channels) {
  const std::size_t row = std::size_t(y) * std::size_t(p.bytes_per_line);
  if (p.depth == 1) {
    const std::size_t bit = std::size_t(x) * channels + channel;
    return (data[row + bit / 8] >> (7 - bit % 8)) & 1 ? 0 : 255;
  }
  if (p.depth == 16) {
    uint16_t v;
    std::memcpy(&v, &data[row + (std::size_t(x) * channels + channel) * 2], 2);
    return uint8_t(v >> 8);
  }
  return data[row + std::size_t(x) * channels + channel];
}

// Reads one frame to its end. False when the device fails or the frame is not one we can use.
bool ReadFrame(SANE_Handle device, SANE_Parameters& p, std::vector<uint8_t>& data) {
  if (sane_start(device) != SANE_STATUS_GOOD) return false;
  if (sane_get_parameters(device, &p) != SANE_STATUS_GOOD || p.pixels_per_line <= 0 ||
      p.bytes_per_line <= 0 || (p.depth != 1 && p.depth != 8 && p.depth != 16))
    return false;
  data.clear();
  SANE_Byte chunk[65536];
  for (;;) {
    SANE_Int got = 0;
    const SANE_Status status = sane_read(device, chunk, sizeof chunk, &got);
    if (status == SANE_STATUS_EOF) break;
    if (status != SANE_STATUS_GOOD || got < 0 || data.size() + std::size_t(got) > kMaxScanBytes)
      return false;
    data.insert(data.end(), chunk, chunk + got);
  }
  return true;
}

// Packs the collected planes into a bottom-up 24-bit DIB.
void* PackBitmap(const SANE_Parameters& p, const std::vector<uint8_t> planes[3], bool colour,
                 bool interleaved) {
  const int32_t width = p.pixels_per_line;
  const int32_t channels = interleaved ? 3 : 1;
  int32_t height = int32_t(planes[0].size() / std::size_t(p.bytes_per_line));
  for (int i = 1; i < 3 && colour && !interleaved; ++i)
    height = std::min(height, int32_t(planes[i].size() / std::size_t(p.bytes_per_line)));
  if (height <= 0) return nullptr;
  const std::size_t row = DibRowBytes(width, 24);
  if (row == 0 || (uint64_t(row) * height > kMaxScanBytes)) return nullptr;
  const std::size_t bytes = sizeof(BitmapInfoHeader) + row * std::size_t(height);
  auto* block = static_cast<uint8_t*>(std::calloc(1, bytes));
  if (!block) return nullptr;
  BitmapInfoHeader header;
  header.width = width;
  header.height = height;
  header.bitCount = 24;
  header.sizeImage = uint32_t(row * std::size_t(height));
  std::memcpy(block, &header, sizeof header);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* d = block + sizeof header + std::size_t(height - 1 - y) * row;
    for (int32_t x = 0; x < width; ++x, d += 3) {
      uint8_t rgb[3];
      for (int32_t c = 0; c < 3; ++c) {
        if (!colour)
          rgb[c] = Sample(planes[0], p, y, x, 0, 1);
        else if (interleaved)
          rgb[c] = Sample(planes[0], p, y, x, c, channels);
        else
          rgb[c] = Sample(planes[c], p, y, x, 0, 1);
      }
      d[0] = rgb[2], d[1] = rgb[1], d[2] = rgb[0];
    }
  }
  return block;
}

void* Scan(SANE_Handle device, int32_t pixelType) {
  if (pixelType == kScanPixelColour) AskForColour(device);
  std::vector<uint8_t> planes[3];
  SANE_Parameters p{};
  bool colour = false, interleaved = false;
  for (int frames = 0; frames < 3; ++frames) {
    std::vector<uint8_t> data;
    if (!ReadFrame(device, p, data)) return nullptr;
    switch (p.format) {
      case SANE_FRAME_GRAY:
        planes[0] = std::move(data);
        break;
      case SANE_FRAME_RGB:
        planes[0] = std::move(data), colour = interleaved = true;
        break;
      case SANE_FRAME_RED:
        planes[0] = std::move(data), colour = true;
        break;
      case SANE_FRAME_GREEN:
        planes[1] = std::move(data), colour = true;
        break;
      case SANE_FRAME_BLUE:
        planes[2] = std::move(data), colour = true;
        break;
      default:
        return nullptr;
    }
    if (p.last_frame) break;
  }
  if (colour && !interleaved && (planes[0].empty() || planes[1].empty() || planes[2].empty()))
    return nullptr;
  return PackBitmap(p, planes, colour, interleaved);
}

}  // namespace

void SetScannerSourceChooser(ScannerSourceChooser chooser, void* user) {
  g_chooser = chooser;
  g_chooserUser = chooser ? user : nullptr;
}

int32_t ScannerAvailable() {
  SaneSession sane;
  return sane.ok() && !sane.Devices().empty() ? 1 : 0;
}

int32_t ScannerSelectSource(void* /*parentWindow*/) {
  SaneSession sane;
  const std::vector<std::string> devices = sane.Devices();
  if (devices.empty()) return 0;
  int32_t pick = 0;
  if (g_chooser) {
    std::vector<const char*> names;
    for (const std::string& name : devices) names.push_back(name.c_str());
    pick = g_chooser(names.data(), int32_t(names.size()), g_chooserUser);
    if (pick < 0 || pick >= int32_t(devices.size())) return 0;
  }
  g_chosenDevice = devices[std::size_t(pick)];
  return 1;
}

void* ScannerAcquire(void* /*parentWindow*/, int32_t pixelType) {
  SaneSession sane;
  const std::vector<std::string> devices = sane.Devices();
  if (devices.empty()) return nullptr;
  std::string name = devices.front();
  for (const std::string& device : devices)
    if (device == g_chosenDevice) name = device;
  SANE_Handle device = nullptr;
  if (sane_open(name.c_str(), &device) != SANE_STATUS_GOOD || !device) return nullptr;
  void* bitmap = nullptr;
  try {
    bitmap = Scan(device, pixelType);
  } catch (...) {
    sane_cancel(device);
    sane_close(device);
    throw;
  }
  sane_cancel(device);
  sane_close(device);
  return bitmap;
}

void ScannerRelease(void* bitmap) { std::free(bitmap); }

}  // namespace platform
