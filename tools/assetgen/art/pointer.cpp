// The menu pointer: an arrow whose tip is the top-left pixel.
#include <algorithm>

#include "art/art.h"
#include "art/canvas.h"

Image8 DrawPointer() {
  Canvas c(18, 18);
  std::vector<Pt> arrow{{1, 1}, {1, 14.5f}, {4.6f, 11.2f}, {7.4f, 16.8f}, {10, 15.6f}, {7.3f, 10.1f}, {12, 10.1f}};
  Fill(c, BoundsOf(arrow), InPolygon(arrow), [](float x, float y) {
    return Mix(Hex(0xffffff), Hex(0x30b0ff), std::clamp((x + y - 2) / 18, 0.f, 1.f));
  });
  Outline(c, Hex(0x081030));
  c.at(0, 0) = Hex(0x081030), c.cv(0, 0) = 1;  // the hot spot is always drawn
  return ToSolid(c);
}
