// Reading the root window's pixels.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/x11_connection.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

using namespace x11;

// One colour channel of a true-colour pixel: where it sits and how wide it is.
struct Channel {
  uint32_t shift = 0;
  uint32_t bits = 0;
  uint8_t Take(uint32_t pixel) const {
    const uint32_t v = (pixel >> shift) & ((1u << bits) - 1);
    // Spread a narrower field over 0..255 by repeating its high bits.
    return bits >= 8 ? uint8_t(v >> (bits - 8))
                     : uint8_t((v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
  }
};

Channel FromMask(uint32_t mask) {
  Channel c;
  if (!mask) return c;
  c.shift = uint32_t(std::countr_zero(mask));
  c.bits = uint32_t(std::popcount(mask));
  return c;
}

const xcb_visualtype_t* RootVisual(const xcb_screen_t* screen, uint8_t* depth) {
  for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(screen); d.rem;
       xcb_depth_next(&d)) {
    for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem;
         xcb_visualtype_next(&v)) {
      if (v.data->visual_id == screen->root_visual) {
        *depth = d.data->depth;
        return v.data;
      }
    }
  }
  return nullptr;
}

}  // namespace

bool CaptureScreen(const std::function<uint8_t*(int32_t width, int32_t height)>& allocate) {
  Connection c;
  if (!c.ok()) return false;
  const xcb_screen_t* screen = c.screen();
  uint8_t depth = 0;
  const xcb_visualtype_t* visual = RootVisual(screen, &depth);
  if (!visual || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) return false;
  const xcb_setup_t* setup = xcb_get_setup(c.get());
  uint32_t bitsPerPixel = 0, pad = 0;
  for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem;
       xcb_format_next(&f)) {
    if (f.data->depth == depth) bitsPerPixel = f.data->bits_per_pixel, pad = f.data->scanline_pad;
  }
  if ((bitsPerPixel != 32 && bitsPerPixel != 16) || pad < 8 || pad % 8) return false;
  const bool bigEndian = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  const Channel red = FromMask(visual->red_mask), green = FromMask(visual->green_mask),
                blue = FromMask(visual->blue_mask);
  if (!red.bits || !green.bits || !blue.bits) return false;

  const int32_t width = screen->width_in_pixels, height = screen->height_in_pixels;
  if (width <= 0 || height <= 0) return false;
  uint8_t* out = allocate(width, height);
  if (!out) return false;
  const std::size_t bytesPerPixel = bitsPerPixel / 8;
  const std::size_t lineBytes = (std::size_t(width) * bitsPerPixel + pad - 1) / pad * (pad / 8);
  // Bands of a few megabytes keep every reply well inside the server's limits.
  const int32_t band = int32_t(std::max<std::size_t>(1, (std::size_t(4) << 20) / lineBytes));
  for (int32_t y0 = 0; y0 < height; y0 += band) {
    const int32_t rows = std::min(band, height - y0);
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(c.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, int16_t(y0),
                      uint16_t(width), uint16_t(rows), UINT32_MAX);
    Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(c.get(), cookie, nullptr));
    if (!reply) return false;
    const std::size_t have = std::size_t(xcb_get_image_data_length(reply.get()));
    if (have < lineBytes * std::size_t(rows)) return false;
    const uint8_t* data = xcb_get_image_data(reply.get());
    for (int32_t r = 0; r < rows; ++r) {
      const uint8_t* s = data + lineBytes * std::size_t(r);
      uint8_t* d = out + std::size_t(y0 + r) * std::size_t(width) * 4;
      for (int32_t x = 0; x < width; ++x, s += bytesPerPixel, d += 4) {
        uint32_t pixel = 0;
        for (std::size_t b = 0; b < bytesPerPixel; ++b)
          pixel |= uint32_t(s[bigEndian ? bytesPerPixel - 1 - b : b]) << (8 * b);
        d[0] = red.Take(pixel), d[1] = green.Take(pixel), d[2] = blue.Take(pixel), d[3] = 255;
      }
    }
  }
  return true;
}

}  // namespace platform
