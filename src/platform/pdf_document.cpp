#include "platform/pdf_document.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// Only the current qpdf interfaces, without the transitional pointer type.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "imaging/file_handles.h"
#include "imaging/picture_readers.h"

namespace platform {
namespace {

struct Settings {
  int32_t dpi = 72;
  bool deleteImages = false;
  int32_t border[4] = {};  // left, top, right, bottom
  uint8_t borderColour[3] = {255, 255, 255};
  bool slideShow = false;
  int32_t style = 0, transitionSeconds = 0, pageSeconds = 0;
};

std::vector<std::string> g_pictures;
Settings g_settings;

constexpr const char* kTransitionStyles[] = {"/R",    "/Split",    "/Blinds",  "/Box",
                                             "/Wipe", "/Dissolve", "/Glitter", "/Fly",
                                             "/Push", "/Cover",    "/Uncover", "/Fade"};
constexpr int32_t kStyleCount = int32_t(std::size(kTransitionStyles));

void Say(char* message, int32_t bytes, const char* text) {
  if (!message || bytes <= 0) return;
  std::snprintf(message, std::size_t(bytes), "%s", text);
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The picture as a cairo image: opaque pictures without an alpha channel in the file.
Surface LoadPicture(const std::string& path) {
  imaging::ISSource source = imaging::IS3OpenFileSource(path.c_str());
  if (!source) return nullptr;
  uint32_t w = 0, h = 0;
  uint8_t* rgba = imaging::IS3ReadImageToRGBA(source, &w, &h, 0);
  imaging::IS3CloseSource(source);
  if (!rgba) return nullptr;
  std::unique_ptr<uint8_t, decltype(&std::free)> owned(rgba, &std::free);
  if (w == 0 || h == 0 || w > 32767 || h > 32767) return nullptr;  // cairo's own size limit
  bool opaque = true;
  for (std::size_t i = 3; i < std::size_t(w) * h * 4 && opaque; i += 4) opaque = rgba[i] == 255;
  Surface image(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                           int(w), int(h)));
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(image.get());
  uint8_t* data = cairo_image_surface_get_data(image.get());
  const int stride = cairo_image_surface_get_stride(image.get());
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* s = rgba + std::size_t(y) * w * 4;
    auto* d = reinterpret_cast<uint32_t*>(data + std::size_t(y) * stride);
    for (uint32_t x = 0; x < w; ++x, s += 4) {
      // cairo keeps premultiplied alpha, rounded.
      const uint32_t a = s[3];
      const auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      d[x] = a << 24 | pre(s[0]) << 16 | pre(s[1]) << 8 | pre(s[2]);
    }
  }
  cairo_surface_mark_dirty(image.get());
  return image;
}

// Pages of w x h pixels at the document's resolution, in points.
double Points(uint32_t pixels) { return pixels * 72.0 / g_settings.dpi; }

bool WritePages(const std::string& path) {
  Surface pdf(cairo_pdf_surface_create(path.c_str(), 1, 1));
  if (cairo_surface_status(pdf.get()) != CAIRO_STATUS_SUCCESS) return false;
  cairo_t* cr = cairo_create(pdf.get());
  bool ok = true;
  const Settings& s = g_settings;
  for (const std::string& picture : g_pictures) {
    Surface image = LoadPicture(picture);
    if (!image) {
      ok = false;
      break;
    }
    const uint32_t w = uint32_t(cairo_image_surface_get_width(image.get()));
    const uint32_t h = uint32_t(cairo_image_surface_get_height(image.get()));
    const double pw = Points(w), ph = Points(h);
    cairo_pdf_surface_set_size(pdf.get(), pw + s.border[0] + s.border[2],
                               ph + s.border[1] + s.border[3]);
    cairo_set_source_rgb(cr, s.borderColour[0] / 255.0, s.borderColour[1] / 255.0,
                         s.borderColour[2] / 255.0);
    cairo_paint(cr);
    cairo_save(cr);
    cairo_translate(cr, s.border[0], s.border[1]);
    cairo_scale(cr, pw / w, ph / h);
    cairo_set_source_surface(cr, image.get(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_show_page(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
      ok = false;
      break;
    }
  }
  cairo_destroy(cr);
  cairo_surface_finish(pdf.get());
  return ok && cairo_surface_status(pdf.get()) == CAIRO_STATUS_SUCCESS;
}

// Full-screen opening in the catalogue, an automatic advance and a transition on every page.
bool AddSlideShow(const std::string& in, const std::string& out) {
  try {
    QPDF document;
    document.setSuppressWarnings(true);
    document.processFile(in.c_str());
    document.getRoot().replaceKey("/PageMode", QPDFObjectHandle::newName("/FullScreen"));
    const std::string transition = "<< /Type /Trans /S " +
                                   std::string(kTransitionStyles[g_settings.style]) + " /D " +
                                   std::to_string(g_settings.transitionSeconds) + " >>";
    for (QPDFObjectHandle page : document.getAllPages()) {
      page.replaceKey("/Trans", QPDFObjectHandle::parse(transition));
      page.replaceKey("/Dur", QPDFObjectHandle::newInteger(g_settings.pageSeconds));
    }
    QPDFWriter writer(document, out.c_str());
    writer.write();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int32_t I2PDF_Reset() {
  g_pictures.clear();
  g_settings = Settings{};
  return 1;
}

int32_t I2PDF_AddImage(const char* path) {
  if (!path || !*path) return 0;
  std::FILE* probe = std::fopen(path, "rb");
  if (!probe) return 0;
  std::fclose(probe);
  g_pictures.emplace_back(path);
  return 1;
}

int32_t I2PDF_SilentRunning() { return 1; }

int32_t I2PDF_SetDPI(int32_t dpi) {
  if (dpi < 1) return 0;
  g_settings.dpi = dpi;
  return 1;
}

int32_t I2PDF_DeleteImagesOnConvert() {
  g_settings.deleteImages = true;
  return 1;
}

int32_t I2PDF_SetBorder_Int(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left < 0 || top < 0 || right < 0 || bottom < 0) return 0;
  const int32_t border[4] = {left, top, right, bottom};
  std::memcpy(g_settings.border, border, sizeof border);
  return 1;
}

int32_t I2PDF_SetBorderColor_Int(int32_t red, int32_t green, int32_t blue) {
  for (int32_t v : {red, green, blue})
    if (v < 0 || v > 255) return 0;
  g_settings.borderColour[0] = uint8_t(red);
  g_settings.borderColour[1] = uint8_t(green);
  g_settings.borderColour[2] = uint8_t(blue);
  return 1;
}

int32_t I2PDF_SlideShow_Int(int32_t style, int32_t transitionSeconds, int32_t pageSeconds) {
  if (style < 0 || style >= kStyleCount || transitionSeconds < 0 || pageSeconds < 0) return 0;
  g_settings.slideShow = true;
  g_settings.style = style;
  g_settings.transitionSeconds = transitionSeconds;
  g_settings.pageSeconds = pageSeconds;
  return 1;
}

int32_t I2PDF_MakePDF(const char* path, int32_t /*flags*/, char* message, int32_t messageBytes) {
  if (!path || !*path) return Say(message, messageBytes, "no output file"), 0;
  if (g_pictures.empty()) return Say(message, messageBytes, "no pictures"), 0;
  // Written beside the target and moved into place only when complete, so that a failure
  // leaves no half-written document (and keeps a file that was there before).
  const std::string pages = std::string(path) + ".pages.tmp";
  const std::string show = std::string(path) + ".show.tmp";
  bool ok = WritePages(pages);
  std::string finished = pages;
  if (ok && g_settings.slideShow) {
    ok = AddSlideShow(pages, show);
    finished = show;
  }
  if (ok) ok = std::rename(finished.c_str(), path) == 0;
  std::remove(pages.c_str());
  std::remove(show.c_str());
  if (!ok) return Say(message, messageBytes, "the document could not be made"), 0;
  if (g_settings.deleteImages)
    for (const std::string& picture : g_pictures) std::remove(picture.c_str());
  Say(message, messageBytes, "ok");
  return 1;
}

}  // namespace platform
