// Shared helpers for the tests that open a real (headless) display and read its pixels.
#pragma once
#include <cstdint>
#include <memory>
#include "platform/display.h"
#include "platform/draw.h"

// A 640x480 window (depth 0 skips the full-screen rate test), unpaced unless hertz is given.
inline std::shared_ptr<TGraphics> OpenTestDisplay(int hertz = 0) { return OpenGraphics(640, 480, 0, hertz, 0); }

struct TRgba {
  int r, g, b, a;
};

inline TRgba PixelOf(const TPixmap& p, int x, int y) {
  const uint8_t* s = p.pixels.data() + y * p.pitch + x * 4;
  return {s[0], s[1], s[2], s[3]};
}

// One pixel of the picture as drawn so far.
inline TRgba ScreenPixel(int x, int y) {
  auto p = GrabPixmap(x, y, 1, 1);
  return p ? PixelOf(*p, 0, 0) : TRgba{-1, -1, -1, -1};
}

inline bool SameRgb(TRgba p, int r, int g, int b) { return p.r == r && p.g == g && p.b == b; }
