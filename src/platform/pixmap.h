// pixmap: pixel buffers in six formats, their conversions, masking, and PNG decoding.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum {
  PF_I8 = 1,       // grey
  PF_A8 = 2,       // alpha only
  PF_BGR888 = 3,
  PF_RGB888 = 4,
  PF_BGRA8888 = 5,
  PF_RGBA8888 = 6,
};

// pixmap.cpp
struct TPixmap {
  std::vector<uint8_t> pixels;
  int width = 0, height = 0, pitch = 0, format = 0, capacity = 0;

  static std::shared_ptr<TPixmap> Create(int width, int height, int format);  // zero-filled; nullptr for a bad size
  uint8_t* PixelPtr(int x, int y) { return pixels.data() + y * pitch + x * BytesPerPixel(format); }
  const uint8_t* PixelPtr(int x, int y) const { return pixels.data() + y * pitch + x * BytesPerPixel(format); }
  std::shared_ptr<TPixmap> Convert(int to_format) const;
  std::shared_ptr<TPixmap> Window(int x, int y, int width, int height) const;  // a copy of a rectangle
  std::shared_ptr<TPixmap> Resized(int width, int height) const;               // scaled copy
  static int BytesPerPixel(int format);
  static int HasAlpha(int format);
};

// Masked copy: pixels of the colour become transparent (RGBA, alpha 0), coloured with the
// average of their non-mask neighbours so filtering at the edges stays clean.
std::shared_ptr<TPixmap> MaskPixmap(const TPixmap& src, int red, int green, int blue);

// png.cpp
std::shared_ptr<TPixmap> DecodePng(const uint8_t* data, size_t size);  // nullptr on anything but a good PNG
std::shared_ptr<TPixmap> LoadPixmapPng(const std::string& source);     // by stream name or path
