#include "contact_sheet.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "canvas.h"
#include "palmora/palmora.h"

namespace host {

namespace {

constexpr int kPad = 8;
constexpr int kLabelHeight = 30;  // two lines
constexpr int kTitleHeight = 30;
constexpr int kLabelPixels = 11;  // the labels' em height
constexpr int kLabelGap = 6;      // clear pixels between a label and the next cell's

// The engine's font record: height and weight, then the face name at byte 28.
constexpr std::size_t kFontRecordBytes = 60;
constexpr std::size_t kFaceNameAt = 28;

struct FontRequest {
  int32_t pixels;
  int32_t weight;
};

int32_t ChooseSheetFont(void* record, uint32_t, uint32_t*, void* user) {
  const FontRequest* request = static_cast<const FontRequest*>(user);
  unsigned char* bytes = static_cast<unsigned char*>(record);
  std::memset(bytes, 0, kFontRecordBytes);
  const int32_t height = -request->pixels;  // negative: the em height in pixels
  std::memcpy(bytes, &height, 4);
  std::memcpy(bytes + 16, &request->weight, 4);
  std::strncpy(reinterpret_cast<char*>(bytes + kFaceNameAt), "DejaVu Sans", 31);
  return 1;
}

// Chooses the font for the labels through the engine's chooser hook.
void UseFont(int pixels, int weight) {
  FontRequest request{pixels, weight};
  PMR_SetFontChooserCallback(ChooseSheetFont, &request);
  PMR_ChooseFont();
  PMR_SetFontChooserCallback(nullptr, nullptr);
}

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // "…"

// Measures texts as the engine draws them with the current font: each is drawn on a clear strip
// of its own canvas and the width of its ink read back. Texts wider than the strip measure as the
// strip's width.
class LabelRuler {
 public:
  LabelRuler(int width, int labelPixels)
      : canvas_(width, kLabelHeight, 1), clear_{width, kLabelHeight, {}} {
    clear_.rgba.assign(std::size_t(width) * kLabelHeight * 4, 0);
    UseFont(labelPixels, 400);
  }

  int Width(const std::string& text) {
    canvas_.LoadPainting(clear_);
    PMR_IPLText(0, 0, 0, 0, 0, 0, 0, 0, 0, text.c_str(), 1);
    const Picture drawn = canvas_.PaintingLayer();
    int right = 0;
    for (int y = 0; y < drawn.height; ++y)
      for (int x = drawn.width - 1; x >= right; --x)
        if (drawn.rgba[(std::size_t(y) * drawn.width + x) * 4 + 3] != 0) {
          right = x + 1;
          break;
        }
    return right;
  }

 private:
  Canvas canvas_;
  Picture clear_;
};

// The longest start of text that fits room pixels with an ellipsis after it.
std::string Shortened(const std::string& text, int room, LabelRuler& ruler) {
  std::size_t fits = 0, tooLong = text.size();
  while (tooLong - fits > 1) {
    const std::size_t middle = (fits + tooLong) / 2;
    if (ruler.Width(text.substr(0, middle) + kEllipsis) <= room)
      fits = middle;
    else
      tooLong = middle;
  }
  // Never end inside a letter of several bytes, nor on a blank before the ellipsis.
  while (fits > 0 && (static_cast<unsigned char>(text[fits]) & 0xC0) == 0x80) --fits;
  while (fits > 0 && text[fits - 1] == ' ') --fits;
  return text.substr(0, fits) + kEllipsis;
}

// A label laid into room pixels on at most two lines: whole when it fits; otherwise broken after
// the most words that fit the first line, the rest on the second, shortened with an ellipsis when
// it is still too long. A first word too long for the line is shortened on one line.
std::string FittedLabel(const std::string& label, int room, LabelRuler& ruler) {
  if (ruler.Width(label) <= room) return label;
  for (std::size_t blank = label.rfind(' '); blank != std::string::npos && blank > 0;
       blank = label.rfind(' ', blank - 1)) {
    const std::string first = label.substr(0, blank);
    if (ruler.Width(first) > room) continue;
    const std::string rest = label.substr(blank + 1);
    return first + "\n" + (ruler.Width(rest) <= room ? rest : Shortened(rest, room, ruler));
  }
  return Shortened(label, room, ruler);
}

void Paste(Picture& sheet, const Picture& picture, int left, int top) {
  for (int y = 0; y < picture.height && top + y < sheet.height; ++y) {
    const int count = std::min(picture.width, sheet.width - left);
    if (count <= 0) return;
    std::memcpy(&sheet.rgba[(std::size_t(top + y) * sheet.width + left) * 4],
                &picture.rgba[std::size_t(y) * picture.width * 4], std::size_t(count) * 4);
  }
}

}  // namespace

Picture Thumbnail(const Picture& picture, int side) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const double scale = std::min(1.0, double(side) / std::max(picture.width, picture.height));
  const int w = std::max(1, int(picture.width * scale)),
            h = std::max(1, int(picture.height * scale));
  Picture out{w, h, std::vector<uint8_t>(std::size_t(w) * h * 4)};
  for (int y = 0; y < h; ++y) {
    const int y0 = y * picture.height / h, y1 = std::max(y0 + 1, (y + 1) * picture.height / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * picture.width / w, x1 = std::max(x0 + 1, (x + 1) * picture.width / w);
      // Colour weighed by alpha, so that clear pixels lend the average no colour.
      double sum[4] = {};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const uint8_t* p = &picture.rgba[(std::size_t(sy) * picture.width + sx) * 4];
          for (int c = 0; c < 3; ++c) sum[c] += p[c] * p[3];
          sum[3] += p[3];
        }
      const double n = double(x1 - x0) * (y1 - y0);
      const double alpha = sum[3] / n / 255;
      const int checker = ((x / 6 + y / 6) % 2) ? 204 : 238;
      uint8_t* o = &out.rgba[(std::size_t(y) * w + x) * 4];
      for (int c = 0; c < 3; ++c) {
        const double colour = sum[3] > 0 ? sum[c] / sum[3] : 0;
        o[c] = uint8_t(std::clamp(colour * alpha + checker * (1 - alpha) + 0.5, 0.0, 255.0));
      }
      o[3] = 255;
    }
  }
  return out;
}

Picture MakeContactSheet(const std::vector<SheetEntry>& entries, int columns, int thumbSide,
                         const std::string& title) {
  columns = std::max(1, columns);
  const int cellWidth = thumbSide + 2 * kPad;
  // A label may reach to a few pixels short of the next cell's label.
  const int room = cellWidth - kLabelGap;
  std::vector<std::string> labels;
  {
    LabelRuler ruler(room + 64, kLabelPixels);
    for (const SheetEntry& entry : entries) labels.push_back(FittedLabel(entry.label, room, ruler));
  }
  const int cellHeight = thumbSide + kLabelHeight + kPad;
  const int rows = std::max(1, int((entries.size() + columns - 1) / columns));
  Picture sheet{columns * cellWidth, kTitleHeight + rows * cellHeight + kPad, {}};
  sheet.rgba.assign(std::size_t(sheet.width) * sheet.height * 4, 255);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Picture thumb = Thumbnail(entries[i].picture, thumbSide);
    if (thumb.width == 0) continue;
    const int left = int(i % columns) * cellWidth + kPad + (thumbSide - thumb.width) / 2;
    const int top = kTitleHeight + int(i / columns) * cellHeight + (thumbSide - thumb.height);
    Paste(sheet, thumb, left, top);
  }

  // The labels are drawn by the engine into a canvas holding the sheet.
  Canvas canvas(sheet.width, sheet.height, 1);
  canvas.LoadPainting(sheet);
  UseFont(16, 700);
  PMR_IPLText(0, 0, 0, kPad, 6, 0, 0, 0, 0, title.c_str(), 1);
  UseFont(kLabelPixels, 400);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int left = int(i % columns) * cellWidth + kPad;
    const int top = kTitleHeight + int(i / columns) * cellHeight + thumbSide + 3;
    const bool failed = entries[i].failed;
    PMR_IPLText(failed ? 190 : 0, 0, 0, left, top, 0, 0, 0, 0, labels[i].c_str(), 1);
  }
  return canvas.PaintingLayer();
}

}  // namespace host
