// The player's fighter, drawn nose-forward in its own frame and turned to the flight angle.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"

namespace {

const Rgb kOutline = Hex(0x070a18);

struct ShipPose {
  Place place;
  int bank;     // -1 rolled towards its left (up-left), 1 towards its right
  float lean;   // span squeeze of the lowered wing
};

// Wings get lit when raised and shadowed when lowered; light comes from the upper left.
float WingLight(const ShipPose& p, float side) {
  if (p.bank == 0) return side < 0 ? 1.0f : 0.85f;
  return (side * p.bank > 0) ? 0.62f : 1.12f;
}

std::vector<Pt> Side(std::vector<Pt> pts, float side, const ShipPose& p) {
  float squeeze = (p.bank != 0 && side * p.bank > 0) ? p.lean : (p.bank != 0 ? 1.06f : 1.f);
  for (Pt& q : pts) q.y *= side * squeeze;
  return p.place(pts);
}

void Wings(Canvas& c, const ShipPose& p) {
  for (float side : {-1.f, 1.f}) {
    float k = WingLight(p, side);
    auto wing = Side({{8, 3}, {-10, 17}, {-17, 18}, {-16, 4}}, side, p);
    Fill(c, BoundsOf(wing), InPolygon(wing), [&](float x, float y) {
      Pt l = p.place.Local({x, y});
      float t = std::clamp((l.x + 17) / 25, 0.f, 1.f);
      return Mix(Hex(0x2a3a78), Hex(0x8aa0e0), t) * k;
    });
    auto stripe = Side({{2, 6}, {-9, 14}, {-12, 14}, {-2, 6}}, side, p);
    Fill(c, BoundsOf(stripe), InPolygon(stripe), Hex(0xff3a6a) * k);
    auto tip = Side({{-10, 16}, {-17, 17.5f}, {-17, 19}, {-10, 18}}, side, p);
    Fill(c, BoundsOf(tip), InPolygon(tip), Hex(0xffd040) * k);
    auto canard = Side({{15, 2}, {9, 8}, {7, 8}, {8, 2}}, side, p);
    Fill(c, BoundsOf(canard), InPolygon(canard), Hex(0x6c80c8) * k);
    auto fin = Side({{-9, 5}, {-20, 9}, {-23, 9}, {-21, 4}}, side, p);
    Fill(c, BoundsOf(fin), InPolygon(fin), Hex(0x9aa8d8) * k);
  }
}

void Hull(Canvas& c, const ShipPose& p) {
  auto hull = p.place(std::vector<Pt>{{27, 0}, {16, -3.5f}, {0, -5.5f}, {-17, -5.5f}, {-22, -4},
                                      {-22, 4}, {-17, 5.5f}, {0, 5.5f}, {16, 3.5f}});
  float ridge = -1.5f * p.bank;  // the spine slides towards the raised side
  Fill(c, BoundsOf(hull), InPolygon(hull), [&](float x, float y) {
    Pt l = p.place.Local({x, y});
    float across = std::fabs(l.y - ridge) / 6.f, along = std::clamp((l.x + 22) / 49, 0.f, 1.f);
    float shade = 1.05f - 0.55f * across * across - (l.y > ridge ? 0.15f : 0.f);
    return Mix(Hex(0x9098b8), Hex(0xf0f4ff), along * 0.6f + 0.2f) * shade;
  });
  auto spine = p.place(std::vector<Pt>{{-18, ridge - 0.6f}, {2, ridge - 0.6f}, {2, ridge + 0.6f}, {-18, ridge + 0.6f}});
  Fill(c, BoundsOf(spine), InPolygon(spine), Hex(0x4a5888));
  for (float side : {-1.f, 1.f}) {  // intakes
    auto in = p.place(std::vector<Pt>{{6, side * 4.2f}, {-4, side * 5.6f}, {-4, side * 4.4f}, {6, side * 3.4f}});
    Fill(c, BoundsOf(in), InPolygon(in), Hex(0x182040));
  }
}

void Canopy(Canvas& c, const ShipPose& p) {
  Pt centre = p.place({10, -0.8f * p.bank});
  Fill(c, {centre.x - 8, centre.y - 8, centre.x + 8, centre.y + 8},
       [&](float x, float y) {
         Pt l = p.place.Local({x, y});
         float dx = (l.x - 10) / 7.f, dy = (l.y + 0.8f * p.bank) / 2.6f;
         return dx * dx + dy * dy <= 1;
       },
       [&](float x, float y) {
         Pt l = p.place.Local({x, y});
         float t = std::clamp((l.x - 3) / 14, 0.f, 1.f);
         return Mix(Hex(0x0a3070), Hex(0x40e0ff), t);
       });
  Pt a = p.place({13, -1.2f}), b = p.place({8, -1.6f});
  Fill(c, {std::min(a.x, b.x) - 2, std::min(a.y, b.y) - 2, std::max(a.x, b.x) + 2, std::max(a.y, b.y) + 2},
       InSegment(a, b, 0.6f), Hex(0xe8ffff));
}

void Exhaust(Canvas& c, const ShipPose& p, int flicker, float scale) {
  float len = flicker ? 9.f : 6.f;
  for (float side : {-2.3f, 2.3f}) {
    Pt n = p.place({-22.5f, side});
    auto nozzle = p.place(std::vector<Pt>{{-21, side - 1.8f}, {-24, side - 2.f}, {-24, side + 2.f}, {-21, side + 1.8f}});
    Fill(c, BoundsOf(nozzle), InPolygon(nozzle), Hex(0x303850));
    auto flame = p.place(std::vector<Pt>{{-23.5f, side - 1.6f}, {-23.5f - len, side}, {-23.5f, side + 1.6f}});
    Fill(c, BoundsOf(flame), InPolygon(flame), [&](float x, float y) {
      Pt l = p.place.Local({x, y});
      float t = std::clamp((-23.5f - l.x) / len, 0.f, 1.f);
      return Mix(Hex(0xfff8d0), Hex(0xff5010), t);
    });
    Glow(c, n, 4 * scale, 4 * scale, Hex(0xffa040) * (flicker ? 0.5f : 0.3f));
  }
}

}  // namespace

Image8 DrawShip(int bank, int flicker, float scale, int w, int h) {
  Canvas c(w, h);
  // Centre pulled up-right a little so the exhaust fits behind the tail.
  ShipPose p{{w / 2.f + 2 * scale, h / 2.f - 1 * scale, kFlightAngle, scale, scale}, bank, 0.72f};
  Wings(c, p);
  Hull(c, p);
  Canopy(c, p);
  Exhaust(c, p, flicker, scale);
  Outline(c, kOutline);
  return ToSolid(c);
}
