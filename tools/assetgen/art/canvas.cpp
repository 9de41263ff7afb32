#include "art/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

template <class F>
void ForPixels(Canvas& c, Box b, F f) {
  int x0 = std::max(0, int(std::floor(b.x0))), y0 = std::max(0, int(std::floor(b.y0)));
  int x1 = std::min(c.w - 1, int(std::ceil(b.x1))), y1 = std::min(c.h - 1, int(std::ceil(b.y1)));
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) f(x, y);
}

uint8_t To8(float v) { return uint8_t(std::clamp(int(std::lround(v * 255.f)), 0, 255)); }

}  // namespace

void Fill(Canvas& c, Box box, const Inside& inside, const Shader& shade, float alpha) {
  ForPixels(c, box, [&](int x, int y) {
    int hits = 0;
    for (int sy = 0; sy < 4; sy++)
      for (int sx = 0; sx < 4; sx++) hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4);
    if (!hits) return;
    float k = hits / 16.f * alpha;
    c.at(x, y) = Mix(c.at(x, y), shade(x + 0.5f, y + 0.5f), k);
    c.cv(x, y) = c.cv(x, y) + k * (1 - c.cv(x, y));
  });
}

void Fill(Canvas& c, Box box, const Inside& inside, Rgb colour, float alpha) {
  Fill(c, box, inside, [colour](float, float) { return colour; }, alpha);
}

void AddLight(Canvas& c, Box box, const Shader& light) {
  ForPixels(c, box, [&](int x, int y) { c.at(x, y) = c.at(x, y) + light(x + 0.5f, y + 0.5f); });
}

void Glow(Canvas& c, Pt o, float rx, float ry, Rgb colour, float power) {
  AddLight(c, {o.x - rx, o.y - ry, o.x + rx, o.y + ry}, [=](float x, float y) {
    float dx = (x - o.x) / rx, dy = (y - o.y) / ry, d = std::sqrt(dx * dx + dy * dy);
    return d >= 1 ? Rgb{} : colour * std::pow(1 - d, power);
  });
}

void Outline(Canvas& c, Rgb colour, int width) {
  for (int pass = 0; pass < width; pass++) {
    std::vector<float> was = c.cov;
    for (int y = 0; y < c.h; y++)
      for (int x = 0; x < c.w; x++) {
        if (was[size_t(y) * c.w + x] >= 0.5f) continue;
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; dy++)
          for (int dx = -1; dx <= 1 && !near; dx++) {
            int nx = x + dx, ny = y + dy;
            if ((dx || dy) && nx >= 0 && ny >= 0 && nx < c.w && ny < c.h && was[size_t(ny) * c.w + nx] >= 0.5f)
              near = (dx == 0 || dy == 0) || pass == 0;
          }
        if (near) c.at(x, y) = colour, c.cv(x, y) = 1;
      }
  }
}

Canvas Blurred(const Canvas& src, int r) {
  Canvas c = src;
  std::vector<Rgb> tmp(c.px.size());
  for (int pass = 0; pass < 3; pass++) {
    for (int y = 0; y < c.h; y++)
      for (int x = 0; x < c.w; x++) {
        Rgb s;
        for (int k = -r; k <= r; k++) s = s + c.at(std::clamp(x + k, 0, c.w - 1), y);
        tmp[size_t(y) * c.w + x] = s * (1.f / (2 * r + 1));
      }
    for (int y = 0; y < c.h; y++)
      for (int x = 0; x < c.w; x++) {
        Rgb s;
        for (int k = -r; k <= r; k++) s = s + tmp[size_t(std::clamp(y + k, 0, c.h - 1)) * c.w + x];
        c.at(x, y) = s * (1.f / (2 * r + 1));
      }
  }
  return c;
}

Box BoundsOf(const std::vector<Pt>& poly, float m) {
  Box b{1e9f, 1e9f, -1e9f, -1e9f};
  for (Pt p : poly) b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
  return {b.x0 - m, b.y0 - m, b.x1 + m, b.y1 + m};
}

Inside InPolygon(std::vector<Pt> poly) {
  return [poly = std::move(poly)](float x, float y) {
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
      Pt a = poly[i], b = poly[j];
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
  };
}

Inside InEllipse(Pt c, float rx, float ry) {
  return [=](float x, float y) {
    float dx = (x - c.x) / rx, dy = (y - c.y) / ry;
    return dx * dx + dy * dy <= 1;
  };
}

Inside InSegment(Pt a, Pt b, float r) {
  return [=](float x, float y) {
    float vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? std::clamp(((x - a.x) * vx + (y - a.y) * vy) / len2, 0.f, 1.f) : 0;
    float dx = x - (a.x + t * vx), dy = y - (a.y + t * vy);
    return dx * dx + dy * dy <= r * r;
  };
}

Inside InRect(float x0, float y0, float x1, float y1) {
  return [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Inside Union(std::vector<Inside> parts) {
  return [parts = std::move(parts)](float x, float y) {
    for (const Inside& p : parts)
      if (p(x, y)) return true;
    return false;
  };
}

Inside Minus(Inside a, Inside b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return a(x, y) && !b(x, y); };
}

Image8 ToSolid(const Canvas& c) {
  Image8 out(c.w, c.h);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      size_t i = size_t(y) * c.w + x;
      if (c.cov[i] < 0.5f) continue;
      uint8_t* d = out.at(x, y);
      d[0] = std::max<uint8_t>(1, To8(c.px[i].r));
      d[1] = std::max<uint8_t>(1, To8(c.px[i].g));
      d[2] = std::max<uint8_t>(1, To8(c.px[i].b));
    }
  return out;
}

Image8 ToLight(const Canvas& c) {
  Image8 out(c.w, c.h);
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const Rgb& p = c.px[size_t(y) * c.w + x];
      uint8_t* d = out.at(x, y);
      d[0] = To8(p.r), d[1] = To8(p.g), d[2] = To8(p.b);
    }
  return out;
}

Pt Place::operator()(Pt p) const {
  float a = angle_deg * 3.14159265f / 180.f, cs = std::cos(a), sn = std::sin(a);
  float u = p.x * sx, v = p.y * sy;
  return {cx + u * cs + v * sn, cy - u * sn + v * cs};  // positive angles turn anticlockwise on screen
}

Pt Place::Local(Pt q) const {
  float a = angle_deg * 3.14159265f / 180.f, cs = std::cos(a), sn = std::sin(a);
  float dx = q.x - cx, dy = q.y - cy;
  return {(dx * cs - dy * sn) / sx, (dx * sn + dy * cs) / sy};
}

std::vector<Pt> Place::operator()(const std::vector<Pt>& poly) const {
  std::vector<Pt> out;
  for (Pt p : poly) out.push_back((*this)(p));
  return out;
}
