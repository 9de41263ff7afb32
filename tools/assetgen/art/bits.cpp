// Small 30x20 sprites: the plasma shot, two sparks, a debris shard and the fire-wall icon.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"

namespace {

constexpr float kPi = 3.14159265f;
const Pt kMid{15, 10};

// The shot: a white glow stretched along the flight line; the game tints and adds it.
void Shot(Canvas& c) {
  Place along{kMid.x, kMid.y, kFlightAngle};
  AddLight(c, {0, 0, 30, 20}, [&](float x, float y) {
    Pt l = along.Local({x, y});
    float d = std::hypot(l.x / 11.f, l.y / 4.5f);
    float core = std::hypot(l.x / 5.f, l.y / 2.2f);
    float v = d >= 1 ? 0 : std::pow(1 - d, 1.6f) + (core < 1 ? 0.6f * (1 - core) : 0);
    return Rgb{1, 1, 1} * v;
  });
}

void Star(Canvas& c, int rays, float len, float width, Rgb core, Rgb edge, float twist) {
  AddLight(c, {0, 0, 30, 20}, [&](float x, float y) {
    float dx = x - kMid.x, dy = y - kMid.y, r = std::hypot(dx, dy), a = std::atan2(dy, dx) + twist;
    float ray = std::pow(std::fabs(std::cos(a * rays / 2)), 1.f / width);
    float reach = len * (0.25f + 0.75f * ray);
    if (r >= reach) return Rgb{};
    float t = r / reach;
    return Mix(core, edge, t) * (1.9f * std::pow(1 - t, 1.2f)) + core * (r < 2.5f ? 0.8f * (1 - r / 2.5f) : 0);
  });
}

void Debris(Canvas& c) {
  std::vector<Pt> shard{{10, 8}, {16, 5}, {21, 9}, {19, 14}, {12, 15}};
  Fill(c, BoundsOf(shard), InPolygon(shard), [](float x, float y) {
    float t = std::clamp((x - 10) / 11 + (y - 5) / 20, 0.f, 1.f);
    return Mix(Hex(0xffe080), Hex(0xc03008), t);
  });
  Glow(c, {15, 10}, 9, 7, Hex(0x802000), 1.5f);
}

// A small flame: red outer tongue, yellow heart, white core.
void Flame(Canvas& c) {
  auto tongue = [](float cx, float base, float hw, float top, float lean) {
    return [=](float x, float y) {
      if (y > base || y < top) return false;
      float t = (base - y) / (base - top);                       // 0 at the base, 1 at the tip
      float half = hw * std::sin(std::min(1.f, t * 1.6f + 0.25f) * kPi / 2) * (1 - t * t);
      return std::fabs(x - (cx + lean * t * t)) <= half;
    };
  };
  Fill(c, {7, 1, 23, 19}, tongue(15, 18.5f, 6.5f, 1.5f, 2.5f), [](float, float y) {
    return Mix(Hex(0xffa020), Hex(0xd01800), std::clamp((18 - y) / 16, 0.f, 1.f));
  });
  Fill(c, {9, 5, 21, 19}, tongue(15, 18, 4.2f, 6, 1.5f), Hex(0xffd840));
  Fill(c, {11, 10, 19, 19}, tongue(15, 17.5f, 2.2f, 11, 0.5f), Hex(0xfffff0));
  Outline(c, Hex(0x300800));
}

}  // namespace

Image8 DrawBit(int which) {
  Canvas c(30, 20);
  switch (which) {
    case 0: Shot(c); return ToLight(c);
    case 1: Star(c, 4, 9.5f, 0.35f, Hex(0xffffff), Hex(0x4080ff), 0.f); return ToLight(c);
    case 2: Star(c, 6, 8.f, 0.45f, Hex(0xfff0c0), Hex(0xff5000), 0.3f); return ToLight(c);
    case 3: Debris(c); return ToLight(c);
    default: Flame(c); return ToSolid(c);
  }
}
