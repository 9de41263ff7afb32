// pixmap: pixel buffers, format conversion, windows, scaling and masking.
// Depends on: nothing but the standard library (PNG decoding lives in png.cpp).
#include "platform/pixmap.h"

#include <cstring>

namespace {

// Module Internal Functions

// Biggest side a pixmap may have; the game's largest picture is 640 wide.
constexpr int kMaxSide = 16384;

struct TRgba {
  int r, g, b, a;
};

TRgba GetRgba(const uint8_t* p, int format) {
  switch (format) {
    case PF_I8: return {p[0], p[0], p[0], 255};
    case PF_A8: return {255, 255, 255, p[0]};
    case PF_BGR888: return {p[2], p[1], p[0], 255};
    case PF_RGB888: return {p[0], p[1], p[2], 255};
    case PF_BGRA8888: return {p[2], p[1], p[0], p[3]};
    default: return {p[0], p[1], p[2], p[3]};
  }
}

void PutRgba(uint8_t* p, int format, TRgba c) {
  auto b = [](int v) { return static_cast<uint8_t>(v); };
  switch (format) {
    case PF_I8: p[0] = b((c.r + c.g + c.b) / 3); break;
    case PF_A8: p[0] = b(c.a); break;
    case PF_BGR888: p[0] = b(c.b), p[1] = b(c.g), p[2] = b(c.r); break;
    case PF_RGB888: p[0] = b(c.r), p[1] = b(c.g), p[2] = b(c.b); break;
    case PF_BGRA8888: p[0] = b(c.b), p[1] = b(c.g), p[2] = b(c.r), p[3] = b(c.a); break;
    default: p[0] = b(c.r), p[1] = b(c.g), p[2] = b(c.b), p[3] = b(c.a); break;
  }
}

int IsMaskColour(const TPixmap& src, int x, int y, int red, int green, int blue) {
  TRgba c = GetRgba(src.PixelPtr(x, y), src.format);
  return c.r == red && c.g == green && c.b == blue;
}

// Integer average of the non-mask neighbours of (x, y); black when there are none.
TRgba NeighbourAverage(const TPixmap& src, int x, int y, int red, int green, int blue) {
  int r = 0, g = 0, b = 0, n = 0;
  for (int dy = -1; dy <= 1; dy++) {
    for (int dx = -1; dx <= 1; dx++) {
      int nx = x + dx, ny = y + dy;
      if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= src.width || ny >= src.height) continue;
      if (IsMaskColour(src, nx, ny, red, green, blue)) continue;
      TRgba c = GetRgba(src.PixelPtr(nx, ny), src.format);
      r += c.r, g += c.g, b += c.b, n++;
    }
  }
  if (n == 0) return {0, 0, 0, 0};
  return {r / n, g / n, b / n, 0};
}

}  // namespace

// Module Functions

int TPixmap::BytesPerPixel(int format) {
  switch (format) {
    case PF_I8:
    case PF_A8: return 1;
    case PF_BGR888:
    case PF_RGB888: return 3;
    case PF_BGRA8888:
    case PF_RGBA8888: return 4;
    default: return 0;
  }
}

int TPixmap::HasAlpha(int format) {
  return format == PF_A8 || format == PF_BGRA8888 || format == PF_RGBA8888;
}

std::shared_ptr<TPixmap> TPixmap::Create(int width, int height, int format) {
  int bpp = BytesPerPixel(format);
  if (bpp == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  auto p = std::make_shared<TPixmap>();
  p->width = width;
  p->height = height;
  p->format = format;
  p->pitch = width * bpp;
  p->capacity = p->pitch * height;
  p->pixels.assign(static_cast<size_t>(p->capacity), 0);
  return p;
}

std::shared_ptr<TPixmap> TPixmap::Convert(int to_format) const {
  auto out = Create(width, height, to_format);
  if (!out || BytesPerPixel(format) == 0) return nullptr;
  if (to_format == format) {
    std::memcpy(out->pixels.data(), pixels.data(), static_cast<size_t>(capacity));
    return out;
  }
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) PutRgba(out->PixelPtr(x, y), to_format, GetRgba(PixelPtr(x, y), format));
  return out;
}

// Parts of the rectangle outside the pixmap come out zero (black, transparent).
std::shared_ptr<TPixmap> TPixmap::Window(int x, int y, int w, int h) const {
  auto out = Create(w, h, format);
  if (!out) return nullptr;
  int bpp = BytesPerPixel(format);
  int x0 = x < 0 ? 0 : x, x1 = x + w > width ? width : x + w;
  if (x1 <= x0) return out;
  for (int row = 0; row < h; row++) {
    int sy = y + row;
    if (sy < 0 || sy >= height) continue;
    std::memcpy(out->PixelPtr(x0 - x, row), PixelPtr(x0, sy), static_cast<size_t>((x1 - x0) * bpp));
  }
  return out;
}

// Box filter: each target pixel averages the source pixels its area covers, at least one.
std::shared_ptr<TPixmap> TPixmap::Resized(int w, int h) const {
  auto out = Create(w, h, format);
  int bpp = BytesPerPixel(format);
  if (!out || bpp == 0) return nullptr;
  for (int y = 0; y < h; y++) {
    int sy0 = static_cast<int>(static_cast<int64_t>(y) * height / h);
    int sy1 = static_cast<int>(static_cast<int64_t>(y + 1) * height / h);
    if (sy1 <= sy0) sy1 = sy0 + 1;
    for (int x = 0; x < w; x++) {
      int sx0 = static_cast<int>(static_cast<int64_t>(x) * width / w);
      int sx1 = static_cast<int>(static_cast<int64_t>(x + 1) * width / w);
      if (sx1 <= sx0) sx1 = sx0 + 1;
      int64_t sum[4] = {0, 0, 0, 0};
      for (int sy = sy0; sy < sy1; sy++)
        for (int sx = sx0; sx < sx1; sx++)
          for (int c = 0; c < bpp; c++) sum[c] += PixelPtr(sx, sy)[c];
      int64_t n = static_cast<int64_t>(sy1 - sy0) * (sx1 - sx0);
      for (int c = 0; c < bpp; c++) out->PixelPtr(x, y)[c] = static_cast<uint8_t>(sum[c] / n);
    }
  }
  return out;
}

std::shared_ptr<TPixmap> MaskPixmap(const TPixmap& src, int red, int green, int blue) {
  auto out = TPixmap::Create(src.width, src.height, PF_RGBA8888);
  if (!out || TPixmap::BytesPerPixel(src.format) == 0) return nullptr;
  for (int y = 0; y < src.height; y++) {
    for (int x = 0; x < src.width; x++) {
      TRgba c = GetRgba(src.PixelPtr(x, y), src.format);
      if (c.r == red && c.g == green && c.b == blue) {
        c = NeighbourAverage(src, x, y, red, green, blue);
      } else {
        c.a = 255;
      }
      PutRgba(out->PixelPtr(x, y), PF_RGBA8888, c);
    }
  }
  return out;
}
