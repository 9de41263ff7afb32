// The CPU marker: a finned aluminium heat sink with a fan, seen from above.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"

namespace {

constexpr float kPi = 3.14159265f;
const Pt kHub{65, 31};

void Fins(Canvas& c) {
  Fill(c, {0, 0, 130, 62}, InRect(0.5f, 0.5f, 129.5f, 61.5f), [](float x, float y) {
    float fin = std::fmod(x, 5.f) / 5.f;  // each fin: lit face, then its shadow
    float shade = fin < 0.55f ? 0.85f + 0.3f * fin : 0.45f;
    float sheen = 0.9f + 0.15f * std::cos((y - 12) / 62 * kPi);
    return Mix(Hex(0x5a6470), Hex(0xd8e0ea), std::clamp(shade * sheen - 0.2f, 0.f, 1.f));
  });
  for (float x : {1.f, 127.f})  // end plates
    Fill(c, {x - 1, 0, x + 3, 62}, InRect(x, 0.5f, x + 2.5f, 61.5f), Hex(0x8a96a4));
}

void Fan(Canvas& c, int blades) {
  Fill(c, {kHub.x - 31, 0, kHub.x + 31, 62}, InRect(kHub.x - 30, 1.5f, kHub.x + 30, 60.5f), Hex(0x262a32));
  for (float sx : {-25.f, 25.f})
    for (float sy : {-25.f, 25.f}) {
      Pt s{kHub.x + sx, kHub.y + sy * 0.97f};
      Fill(c, {s.x - 3, s.y - 3, s.x + 3, s.y + 3}, InEllipse(s, 2.2f, 2.2f), Hex(0xa0a8b4));
      Fill(c, {s.x - 3, s.y - 3, s.x + 3, s.y + 3}, InSegment({s.x - 1.3f, s.y}, {s.x + 1.3f, s.y}, 0.4f), Hex(0x303038));
    }
  Fill(c, {kHub.x - 29, kHub.y - 29, kHub.x + 29, kHub.y + 29}, InEllipse(kHub, 28, 28), Hex(0x0c0e14));
  for (int b = 0; b < blades; b++) {  // swept blades, lit on their leading edge
    float a0 = b * 2 * kPi / blades;
    Fill(c, {kHub.x - 28, kHub.y - 28, kHub.x + 28, kHub.y + 28}, [=](float x, float y) {
      float dx = x - kHub.x, dy = y - kHub.y, r = std::hypot(dx, dy);
      if (r < 9 || r > 26.5f) return false;
      float a = std::atan2(dy, dx) - a0 - (r - 9) * 0.035f;
      a = std::remainder(a, 2 * kPi);
      return a > 0 && a < 0.62f;
    }, [=](float x, float y) {
      float a = std::remainder(std::atan2(y - kHub.y, x - kHub.x) - a0 - (std::hypot(x - kHub.x, y - kHub.y) - 9) * 0.035f, 2 * kPi);
      return Mix(Hex(0x7ad0ff), Hex(0x1c4c80), std::clamp(a / 0.62f, 0.f, 1.f));
    });
  }
  Fill(c, {kHub.x - 11, kHub.y - 11, kHub.x + 11, kHub.y + 11}, InEllipse(kHub, 10, 10), [](float x, float y) {
    return Mix(Hex(0xe8eef8), Hex(0x505a68), std::clamp((x - kHub.x + y - kHub.y) / 20 + 0.5f, 0.f, 1.f));
  });
  Fill(c, {kHub.x - 8, kHub.y - 8, kHub.x + 8, kHub.y + 8},
       Minus(InEllipse(kHub, 6.5f, 6.5f), InEllipse(kHub, 4.5f, 4.5f)), Hex(0xff3050));
  Glow(c, kHub, 14, 14, Hex(0xff2040) * 0.35f);
}

}  // namespace

Image8 DrawHeatSink() {
  Canvas c(130, 62);
  Fins(c);
  Fan(c, 7);
  return ToSolid(c);
}
