// Circuit-board backdrop tiles: solder mask, copper buses with 45-degree bends, pads, vias and chips.
// The game draws them three times enlarged, so every feature is at least two pixels wide.
// The two tiles follow each other down the diagonal, overlapping by 11.7 or 18.3 of their
// pixels, either one in front: so both end alike, in a strip where the board is the same
// whatever x is: one colour, and a backplane of buses running straight through. Whichever
// tile lies on top, its edge lies over its own likeness, and the board reads as one.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"
#include "art/noise.h"

namespace {

constexpr int kW = 320, kH = 213;
constexpr float kEnd = 20;    // each end: the shared strip, wider than the widest overlap
constexpr float kBlend = 22;  // then the tile's own look fades in
constexpr float kInner = kEnd + kBlend + 4;  // the tile's own parts keep this far from its ends

struct Palette {
  Rgb mask, mask_hi, copper, copper_hi, pad, chip, chip_hi, pin, silk;
};

Palette Mix(const Palette& a, const Palette& b, float t) {
  return {Mix(a.mask, b.mask, t), Mix(a.mask_hi, b.mask_hi, t), Mix(a.copper, b.copper, t), Mix(a.copper_hi, b.copper_hi, t),
          Mix(a.pad, b.pad, t), Mix(a.chip, b.chip, t), Mix(a.chip_hi, b.chip_hi, t), Mix(a.pin, b.pin, t), Mix(a.silk, b.silk, t)};
}

Palette PaletteFor(bool dark) {
  if (dark)
    return {Hex(0x08261e), Hex(0x0e3a2c), Hex(0x3c7a5a), Hex(0x70b088), Hex(0xa08048),
            Hex(0x16181c), Hex(0x30343c), Hex(0x8c8c98), Hex(0x8098a0)};
  return {Hex(0x0f5a2c), Hex(0x1c7a3c), Hex(0xb88a38), Hex(0xffd880), Hex(0xe0b860),
          Hex(0x1c1e24), Hex(0x3a3e48), Hex(0xd0d0dc), Hex(0xe8f0e8)};
}

// Both tiles' ends: halfway between the bright board and the dark one.
Palette SharedPalette() { return Mix(PaletteFor(false), PaletteFor(true), 0.5f); }

// 1 in the shared strip at either end, easing to 0 where the tile's own look takes over.
float EndWeight(float x) {
  float d = std::min(x, kW - x);
  if (d <= kEnd) return 1;
  float t = std::clamp(1 - (d - kEnd) / kBlend, 0.f, 1.f);
  return t * t * (3 - 2 * t);
}

struct Chip {
  float x0, y0, x1, y1;
};

// The backplane's buses: centre rows and lane counts, the same in both tiles.
struct Through {
  float y;
  int lanes;
};
const Through kThrough[] = {{30, 4}, {104, 3}, {178, 4}};

void Mask(Canvas& c, const Palette& p, unsigned seed) {
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      float n = Fbm(x / 40.f, y / 40.f, seed, 4), weave = ((x + y) % 4 == 0) ? 0.04f : 0.f;
      c.at(x, y) = Mix(p.mask, p.mask_hi, std::clamp(n * 1.4f - 0.2f + weave, 0.f, 1.f));
      c.cv(x, y) = 1;
    }
}

// The shared strip's board: one colour, and a faint weave that runs along the rows.
void FlatMask(Canvas& c, const Palette& p) {
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      c.at(x, y) = Mix(p.mask, p.mask_hi, y % 4 == 0 ? 0.42f : 0.36f);
      c.cv(x, y) = 1;
    }
}

// Offsets a polyline sideways with mitred corners, so parallel traces keep their spacing through bends.
std::vector<Pt> Offset(const std::vector<Pt>& line, float d) {
  std::vector<Pt> out;
  for (size_t i = 0; i < line.size(); i++) {
    Pt a = line[i > 0 ? i - 1 : i], b = line[i], c = line[i + 1 < line.size() ? i + 1 : i];
    auto norm = [](Pt u, Pt v) {
      float dx = v.x - u.x, dy = v.y - u.y, l = std::hypot(dx, dy);
      return l > 0 ? Pt{-dy / l, dx / l} : Pt{0, 0};
    };
    Pt n1 = i > 0 ? norm(a, b) : norm(b, c), n2 = i + 1 < line.size() ? norm(b, c) : n1;
    Pt m{n1.x + n2.x, n1.y + n2.y};
    float dot = m.x * n1.x + m.y * n1.y;
    out.push_back({b.x + m.x * d / dot, b.y + m.y * d / dot});
  }
  return out;
}

// A sheen across the copper; `flat` keeps it to the rows, for the shared strip.
void Trace(Canvas& c, const Palette& p, const std::vector<Pt>& line, float r, bool flat = false) {
  for (size_t i = 0; i + 1 < line.size(); i++) {
    Pt a = line[i], b = line[i + 1];
    Box box{std::min(a.x, b.x) - r - 1, std::min(a.y, b.y) - r - 1, std::max(a.x, b.x) + r + 1, std::max(a.y, b.y) + r + 1};
    Fill(c, box, InSegment(a, b, r), [&](float x, float y) {
      float lit = std::clamp(0.5f + 0.5f * std::sin(((flat ? 0 : x) - y) * 0.05f), 0.f, 1.f);
      return Mix(p.copper, p.copper_hi, 0.3f * lit);
    });
  }
}

void Pad(Canvas& c, const Palette& p, Pt at, float r) {
  Fill(c, {at.x - r - 1, at.y - r - 1, at.x + r + 1, at.y + r + 1}, InEllipse(at, r, r), [&](float x, float y) {
    return Mix(p.copper_hi, p.pad, std::clamp((x - at.x + y - at.y) / (2 * r) + 0.5f, 0.f, 1.f));
  });
  Fill(c, {at.x - r, at.y - r, at.x + r, at.y + r}, InEllipse(at, r * 0.42f, r * 0.42f), p.mask * 0.35f);
}

bool Free(const std::vector<Chip>& chips, float x0, float y0, float x1, float y1, float gap) {
  for (const Chip& k : chips)
    if (x0 < k.x1 + gap && x1 > k.x0 - gap && y0 < k.y1 + gap && y1 > k.y0 - gap) return false;
  return true;
}

// A bus leaves a point, runs straight, kinks by 45 degrees, runs on and ends in pads. It
// stops short of the shared strips; `first` is the length of its first straight run, or 0
// for one of the usual lengths.
void Bus(Canvas& c, const Palette& p, Rng& rng, Pt start, int dir8, int lanes, float first = 0) {
  const float kStep[8][2] = {{1, 0}, {0.7071f, 0.7071f}, {0, 1}, {-0.7071f, 0.7071f},
                             {-1, 0}, {-0.7071f, -0.7071f}, {0, -1}, {0.7071f, -0.7071f}};
  const float lo = kInner + 2.5f * lanes, hi = kW - lo;
  std::vector<Pt> line{start};
  Pt at = start;
  int d = dir8;
  for (int seg = 0, n = rng.Int(2, 5); seg < n; seg++) {
    float len = (seg % 2) ? rng.Real(8, 20) : rng.Real(16, 70);
    if (seg == 0 && first > 0) len = first;
    float dx = kStep[d][0], nx = at.x + dx * len;
    if ((dx > 0 && nx > hi) || (dx < 0 && nx < lo)) {  // cut short at a strip
      float keep = ((dx > 0 ? hi : lo) - at.x) / dx;
      if (keep > 4) line.push_back({at.x + dx * keep, at.y + kStep[d][1] * keep});
      break;
    }
    at = {at.x + kStep[d][0] * len, at.y + kStep[d][1] * len};
    line.push_back(at);
    d = (seg % 2) ? dir8 : (dir8 + (rng.Next() % 2 ? 1 : 7)) % 8;
  }
  if (line.size() < 2) return;
  for (int i = 0; i < lanes; i++) {
    auto lane = Offset(line, (i - (lanes - 1) / 2.f) * 5.f);
    Trace(c, p, lane, 1.1f);
    Pad(c, p, lane.back(), 2.4f);
  }
}

void Chips(Canvas& c, const Palette& p, Rng& rng, std::vector<Chip>& chips, int count) {
  for (int tries = 0; tries < 200 && int(chips.size()) < count; tries++) {
    bool quad = rng.Next() % 2;
    float w = quad ? rng.Real(30, 46) : rng.Real(30, 56), h = quad ? w : rng.Real(14, 20);
    float x0 = std::round(rng.Real(kInner + 16, kW - kInner - 16 - w)), y0 = std::round(rng.Real(12, kH - 12 - h));
    if (!Free(chips, x0, y0, x0 + w, y0 + h, 16)) continue;
    chips.push_back({x0, y0, x0 + w, y0 + h});
    // Buses leave from the middle of two or four sides.
    int lanes = rng.Int(3, 5);
    Bus(c, p, rng, {x0 + w + 4, y0 + h / 2}, 0, lanes);
    Bus(c, p, rng, {x0 - 4, y0 + h / 2}, 4, lanes);
    if (quad) Bus(c, p, rng, {x0 + w / 2, y0 - 4}, 6, lanes), Bus(c, p, rng, {x0 + w / 2, y0 + h + 4}, 2, lanes);
  }
}

void DrawChip(Canvas& c, const Palette& p, const Chip& k) {
  float w = k.x1 - k.x0, h = k.y1 - k.y0;
  bool quad = std::fabs(w - h) < 1;
  for (float t = 3; t < w - 2; t += 4) {  // legs
    Fill(c, {k.x0 + t - 1, k.y0 - 4, k.x0 + t + 2, k.y0}, InRect(k.x0 + t, k.y0 - 3.5f, k.x0 + t + 2, k.y0), p.pin);
    Fill(c, {k.x0 + t - 1, k.y1, k.x0 + t + 2, k.y1 + 4}, InRect(k.x0 + t, k.y1, k.x0 + t + 2, k.y1 + 3.5f), p.pin);
  }
  if (quad)
    for (float t = 3; t < h - 2; t += 4) {
      Fill(c, {k.x0 - 4, k.y0 + t - 1, k.x0, k.y0 + t + 2}, InRect(k.x0 - 3.5f, k.y0 + t, k.x0, k.y0 + t + 2), p.pin);
      Fill(c, {k.x1, k.y0 + t - 1, k.x1 + 4, k.y0 + t + 2}, InRect(k.x1, k.y0 + t, k.x1 + 3.5f, k.y0 + t + 2), p.pin);
    }
  Fill(c, {k.x0, k.y0, k.x1, k.y1}, InRect(k.x0, k.y0, k.x1, k.y1), [&](float x, float y) {
    float t = std::clamp((x - k.x0) / w * 0.5f + (y - k.y0) / h * 0.5f, 0.f, 1.f);
    return Mix(p.chip_hi, p.chip, t);
  });
  Fill(c, {k.x0 + 1, k.y0 + 1, k.x1 - 1, k.y0 + 2}, InRect(k.x0 + 1, k.y0 + 1, k.x1 - 1, k.y0 + 2), p.chip_hi * 1.4f);
  Pt dot{k.x0 + 4.5f, k.y1 - 4.5f};
  Fill(c, {dot.x - 3, dot.y - 3, dot.x + 3, dot.y + 3}, InEllipse(dot, 1.6f, 1.6f), p.chip * 0.5f + p.silk * 0.3f);
  for (int line = 0; line < 2; line++) {  // printed part number, as bars
    float y = k.y0 + h / 2 - 3 + line * 4, len = w * (line ? 0.35f : 0.55f);
    Fill(c, {k.x0 + 6, y, k.x0 + 6 + len, y + 2}, InRect(k.x0 + 6, y, k.x0 + 6 + len, y + 1.6f), p.silk * 0.55f);
  }
}

void SmallParts(Canvas& c, const Palette& p, Rng& rng, const std::vector<Chip>& chips) {
  for (int i = 0, placed = 0; i < 400 && placed < 26; i++) {
    bool vertical = rng.Next() % 2;
    float w = vertical ? 4 : 9, h = vertical ? 9 : 4;
    float x0 = std::round(rng.Real(kInner, kW - kInner - w)), y0 = std::round(rng.Real(6, kH - 6 - h));
    if (!Free(chips, x0, y0, x0 + w, y0 + h, 4)) continue;
    placed++;
    Rgb body = (rng.Next() % 3) ? Hex(0x20242a) : Hex(0xb89060);
    Fill(c, {x0 - 1, y0 - 1, x0 + w + 1, y0 + h + 1}, InRect(x0 - 1, y0 - 1, x0 + w + 1, y0 + h + 1), p.silk * 0.5f + p.mask * 0.5f);
    Fill(c, {x0, y0, x0 + w, y0 + h}, InRect(x0, y0, x0 + w, y0 + h), p.pin);
    Fill(c, {x0, y0, x0 + w, y0 + h}, vertical ? InRect(x0, y0 + 2, x0 + w, y0 + h - 2) : InRect(x0 + 2, y0, x0 + w - 2, y0 + h), body);
  }
}

void Vias(Canvas& c, const Palette& p, Rng& rng, const std::vector<Chip>& chips) {
  for (int i = 0, placed = 0; i < 300 && placed < 30; i++) {
    Pt at{std::round(rng.Real(kInner, kW - kInner)), std::round(rng.Real(6, kH - 6))};
    if (!Free(chips, at.x - 3, at.y - 3, at.x + 3, at.y + 3, 4)) continue;
    placed++;
    Pad(c, p, at, 2.2f);
  }
}

// The backplane's buses enter from both ends, run straight past the shared strips, then
// wander off into the tile's own board.
void ThroughBuses(Canvas& c, const Palette& p, Rng& rng) {
  for (const Through& t : kThrough) {
    float lo = kInner + 2.5f * float(t.lanes);
    Bus(c, p, rng, {-4, t.y}, 0, t.lanes, lo + 4 + rng.Real(0, 30));
    Bus(c, p, rng, {kW + 4, t.y}, 4, t.lanes, lo + 4 + rng.Real(0, 30));
  }
}

// What both tiles show at their ends: the same at every x.
Canvas SharedStrip() {
  Palette p = SharedPalette();
  Canvas c(kW, kH);
  FlatMask(c, p);
  for (const Through& t : kThrough)
    for (int i = 0; i < t.lanes; i++) {
      float y = t.y + (float(i) - float(t.lanes - 1) / 2) * 5.f;
      Trace(c, p, {{-4, y}, {kW + 4, y}}, 1.1f, true);
    }
  return c;
}

Canvas OwnBoard(unsigned seed, bool dark) {
  Palette p = PaletteFor(dark);
  Canvas c(kW, kH);
  Rng rng(seed);
  Mask(c, p, seed);
  ThroughBuses(c, p, rng);
  std::vector<Chip> chips;
  Chips(c, p, rng, chips, dark ? 4 : 5);
  Vias(c, p, rng, chips);
  SmallParts(c, p, rng, chips);
  for (const Chip& k : chips) DrawChip(c, p, k);
  return c;
}

// Top and bottom darken; nothing is left black, so no pixel of a tile is see-through.
Image8 Finish(const Canvas& c) {
  Image8 img = ToSolid(c);
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      float cap = std::min(y, kH - 1 - y) / 14.f, k = 0.45f + 0.55f * std::min(1.f, cap);
      uint8_t* d = img.at(x, y);
      for (int i = 0; i < 3; i++) d[i] = uint8_t(std::max(1, int(d[i] * k)));
    }
  return img;
}

}  // namespace

Image8 DrawBoard(unsigned seed, bool dark) {
  Canvas c = OwnBoard(seed, dark), strip = SharedStrip();
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) c.at(x, y) = Mix(c.at(x, y), strip.at(x, y), EndWeight(float(x) + 0.5f));
  return Finish(c);
}
