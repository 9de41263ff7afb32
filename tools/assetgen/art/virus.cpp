// The virus: a spiky, glowing cell seen at the playfield's slant; two phases turn the spikes and pulse the core.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"

namespace {

constexpr float kSlant = 0.62f;  // vertical squash of the board's viewing angle
constexpr float kPi = 3.14159265f;

Pt Polar(Pt c, float r, float a) { return {c.x + r * std::cos(a), c.y + r * std::sin(a) * kSlant}; }

void Spikes(Canvas& c, Pt o, int phase) {
  for (int k = 0; k < 12; k++) {
    float a = (k + 0.5f * phase) * 2 * kPi / 12, len = (k % 2) ? 6.5f : 10.5f;
    float r0 = 11.f, w = 0.2f;
    std::vector<Pt> spike{Polar(o, r0, a - w), Polar(o, r0 + len, a), Polar(o, r0, a + w)};
    Fill(c, BoundsOf(spike), InPolygon(spike), [&](float x, float y) {
      float d = std::hypot(x - o.x, (y - o.y) / kSlant);
      float t = std::clamp((d - r0) / len, 0.f, 1.f);
      return Mix(Hex(0x80104a), Hex(0xff60c0), t);
    });
    Pt tip = Polar(o, r0 + len + 1.2f, a);
    Fill(c, {tip.x - 3, tip.y - 3, tip.x + 3, tip.y + 3}, InEllipse(tip, 1.9f, 1.7f),
         phase ? Hex(0xfff0a0) : Hex(0xb8ff60));
  }
}

void Body(Canvas& c, Pt o, int phase) {
  Fill(c, {o.x - 14, o.y - 10, o.x + 14, o.y + 10}, InEllipse(o, 13.f, 13.f * kSlant), [&](float x, float y) {
    float dx = (x - o.x + 4) / 13.f, dy = (y - o.y + 3) / (13.f * kSlant);
    float lit = std::clamp(1.1f - std::sqrt(dx * dx + dy * dy) * 0.7f, 0.f, 1.f);
    return Mix(Hex(0x300018), Hex(0xd02878), lit);
  });
  for (int k = 0; k < 6; k++) {  // membrane pits
    Pt p = Polar(o, 8.5f, (k + 0.5f * phase) * 2 * kPi / 6 + 0.3f);
    Fill(c, {p.x - 3, p.y - 3, p.x + 3, p.y + 3}, InEllipse(p, 1.8f, 1.2f), Hex(0x500028));
  }
  // The nucleus: a slit eye that glows and narrows between the phases.
  float open = phase ? 2.2f : 3.2f;
  Fill(c, {o.x - 7, o.y - 5, o.x + 7, o.y + 5}, InEllipse(o, 6.5f, open), [&](float x, float y) {
    float d = std::hypot((x - o.x) / 6.5f, (y - o.y) / open);
    return Mix(Hex(0xf8ffb0), Hex(0x40e000), std::clamp(d, 0.f, 1.f));
  });
  Fill(c, {o.x - 2, o.y - 4, o.x + 2, o.y + 4}, InEllipse(o, 1.1f, open * 0.9f), Hex(0x101000));
  Fill(c, {o.x - 5, o.y - 4, o.x, o.y}, InEllipse({o.x - 3, o.y - 1.4f}, 1.1f, 0.8f), Hex(0xffffff));
}

}  // namespace

Image8 DrawVirus(int phase) {
  Canvas c(54, 33);
  Pt o{27, 16.5f};
  Spikes(c, o, phase);
  Body(c, o, phase);
  Outline(c, Hex(0x16000c));
  return ToSolid(c);
}
