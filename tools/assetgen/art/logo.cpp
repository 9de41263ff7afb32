// The title logo: KELVANE in slanted chrome capitals with a deep extrusion and a dark rim.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"

namespace {

constexpr float kH = 88, kS = 17, kAdvance = 61, kShear = 0.15f;
constexpr float kLeft = 16, kTop = 10;

// Letter shapes in a 54x88 box, y down.
Inside Letter(char ch) {
  Inside stem = InRect(0, 0, kS, kH);
  switch (ch) {
    case 'K':
      return Union({stem, InPolygon({{kS, 40}, {35, 0}, {54, 0}, {kS, 64}}),
                    InPolygon({{kS + 6, 34}, {54, 88}, {35, 88}, {kS, 56}})});
    case 'E':
      return Union({stem, InRect(0, 0, 54, 16), InRect(0, 36, 46, 52), InRect(0, 72, 54, 88)});
    case 'L':
      return Union({stem, InRect(0, 72, 54, 88)});
    case 'V':
      return InPolygon({{0, 0}, {18, 0}, {27, 58}, {36, 0}, {54, 0}, {37, 88}, {17, 88}});
    case 'A':
      return Minus(InPolygon({{0, 88}, {17, 0}, {37, 0}, {54, 88}, {37, 88}, {33.5f, 70}, {20.5f, 70}, {17, 88}}),
                   InPolygon({{22.5f, 56}, {31.5f, 56}, {28, 24}, {26, 24}}));
    default:  // 'N'
      return Union({stem, InRect(37, 0, 54, kH), InPolygon({{0, 0}, {17, 0}, {54, 88}, {37, 88}})});
  }
}

Inside Word(float dx, float dy) {
  std::vector<Inside> letters;
  const char* word = "KELVANE";
  for (int i = 0; word[i]; i++) {
    Inside l = Letter(word[i]);
    float ox = kLeft + i * kAdvance - (i >= 3 ? 7 : 0) + dx, oy = kTop + dy;  // L leaves a gap: kern it
    letters.push_back([=](float x, float y) {
      float ly = y - oy, lx = x - ox - kShear * (kH - ly);
      return l(lx, ly);
    });
  }
  return Union(letters);
}

Rgb Chrome(float y) {
  float t = (y - kTop) / kH;
  if (t < 0.5f) return Mix(Mix(Hex(0xffffff), Hex(0x9ad8ff), t * 2), Hex(0x2850c8), std::pow(t * 2, 3.f));
  float b = (t - 0.5f) * 2;
  return b < 0.35f ? Mix(Hex(0x501050), Hex(0xff4898), b / 0.35f) : Mix(Hex(0xff4898), Hex(0xfff0a0), (b - 0.35f) / 0.65f);
}

}  // namespace

Image8 DrawTitleLogo() {
  Canvas c(458, 122);
  Box all{0, 0, 458, 122};
  for (int k = 9; k >= 1; k--)
    Fill(c, all, Word(k * 0.6f, k * 1.0f), Mix(Hex(0x7a2cb0), Hex(0x1a0838), k / 9.f));
  Inside face = Word(0, 0);
  Fill(c, all, face, [](float, float y) { return Chrome(y); });
  Inside top_edge = Minus(face, Word(0, 2.2f));
  Fill(c, all, top_edge, Hex(0xffffff), 0.85f);
  std::vector<Pt> star{{26, 2}, {28.5f, 10.5f}, {37, 13}, {28.5f, 15.5f}, {26, 24}, {23.5f, 15.5f}, {15, 13}, {23.5f, 10.5f}};
  Fill(c, BoundsOf(star), InPolygon(star), Hex(0xffffff));
  Outline(c, Hex(0x06041a), 3);
  return ToSolid(c);
}
