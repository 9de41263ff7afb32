// The makers' mark for the splash: Tallowick Works, a T-over-W monogram in a neon hexagon.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "art/art.h"
#include "art/canvas.h"
#include "common/glyphs.h"

namespace {

constexpr float kPi = 3.14159265f;
const Pt kCentre{210, 88};

void Hexagon(Canvas& c) {
  std::vector<Pt> ring;
  for (int k = 0; k < 6; k++) ring.push_back({kCentre.x + 80 * std::cos(k * kPi / 3 + kPi / 6), kCentre.y + 80 * std::sin(k * kPi / 3 + kPi / 6)});
  for (int k = 0; k < 6; k++) {
    Pt a = ring[size_t(k)], b = ring[size_t((k + 1) % 6)];
    Box box{std::min(a.x, b.x) - 16, std::min(a.y, b.y) - 16, std::max(a.x, b.x) + 16, std::max(a.y, b.y) + 16};
    AddLight(c, box, [=](float x, float y) {  // neon tube: hot core, cyan halo
      float vx = b.x - a.x, vy = b.y - a.y, t = std::clamp(((x - a.x) * vx + (y - a.y) * vy) / (vx * vx + vy * vy), 0.f, 1.f);
      float d = std::hypot(x - a.x - t * vx, y - a.y - t * vy);
      float core = std::clamp(3.2f - d, 0.f, 1.f), halo = d < 14 ? std::pow(1 - d / 14, 2.f) * 0.45f : 0;
      return Hex(0xe0ffff) * (core * 0.5f) + Hex(0x10a0ff) * halo * 0.5f;
    });
  }
}

void Monogram(Canvas& c) {
  auto stroke = [&](Pt a, Pt b) {
    Box box{std::min(a.x, b.x) - 8, std::min(a.y, b.y) - 8, std::max(a.x, b.x) + 8, std::max(a.y, b.y) + 8};
    Fill(c, box, InSegment(a, b, 6.5f), [](float, float y) {
      return Mix(Hex(0xfff4b0), Hex(0xff7010), std::clamp((y - 45) / 100, 0.f, 1.f));
    });
  };
  stroke({160, 48}, {260, 48});                       // T bar
  stroke({210, 48}, {210, 102});                      // T stem, which is the W's middle peak
  Pt w[] = {{158, 82}, {184, 134}, {210, 102}, {236, 134}, {262, 82}};
  for (int i = 0; i < 4; i++) stroke(w[i], w[i + 1]);
}

void Lettering(Canvas& c, const char* text, float y0, float px, Rgb top, Rgb bottom) {
  float x0 = kCentre.x - std::strlen(text) * kGlyphAdvance * px / 2 + px / 2;
  for (size_t i = 0; text[i]; i++)
    for (int row = 0; row < 7; row++)
      for (int col = 0; col < kGlyphCols; col++) {
        if (!GlyphPixel(text[i], col, row)) continue;
        float x = x0 + (i * kGlyphAdvance + col) * px, y = y0 + row * px;
        Fill(c, {x, y, x + px, y + px}, InRect(x, y, x + px, y + px), Mix(top, bottom, row / 6.f));
      }
}

}  // namespace

Image8 DrawTeamLogo() {
  Canvas c(420, 236);
  Hexagon(c);
  Monogram(c);
  Canvas glow = Blurred(c, 5);
  for (size_t i = 0; i < c.px.size(); i++) c.px[i] = c.px[i] + glow.px[i] * 0.6f;
  Lettering(c, "TALLOWICK WORKS", 184, 3, Hex(0xffffff), Hex(0x60c8ff));
  Lettering(c, "ARCADE DIVISION", 216, 2, Hex(0xff9040), Hex(0xff5020));
  return ToLight(c);
}
