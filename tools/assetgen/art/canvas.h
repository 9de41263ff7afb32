// Small float raster: anti-aliased shapes filled through shader functions, light, blur, quantising.
#pragma once
#include <functional>
#include <vector>

#include "common/png_out.h"

struct Rgb {
  float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline Rgb Hex(unsigned v) { return {((v >> 16) & 255) / 255.f, ((v >> 8) & 255) / 255.f, (v & 255) / 255.f}; }

struct Canvas {
  int w, h;
  std::vector<Rgb> px;
  std::vector<float> cov;  // how much of each pixel is covered by solid shapes
  Canvas(int w_, int h_) : w(w_), h(h_), px(size_t(w_) * h_), cov(size_t(w_) * h_, 0.f) {}
  Rgb& at(int x, int y) { return px[size_t(y) * w + x]; }
  float& cv(int x, int y) { return cov[size_t(y) * w + x]; }
};

struct Box {
  float x0, y0, x1, y1;
};
struct Pt {
  float x, y;
};

using Inside = std::function<bool(float, float)>;
using Shader = std::function<Rgb(float, float)>;

// Paints where `inside` holds, 4x4 supersampled inside the box; the shader gets pixel centres.
void Fill(Canvas& c, Box box, const Inside& inside, const Shader& shade, float alpha = 1.f);
void Fill(Canvas& c, Box box, const Inside& inside, Rgb colour, float alpha = 1.f);
// Adds light (no coverage): the function returns the colour to add at a pixel centre.
void AddLight(Canvas& c, Box box, const Shader& light);
// A soft elliptic glow: colour * (1 - d)^power, d the normalised distance, zero outside.
void Glow(Canvas& c, Pt centre, float rx, float ry, Rgb colour, float power = 2.f);
// One dark ring of `width` pixels around everything solid (coverage >= 0.5).
void Outline(Canvas& c, Rgb colour, int width = 1);
Canvas Blurred(const Canvas& c, int radius);  // three box passes, colours only

Box BoundsOf(const std::vector<Pt>& poly, float margin = 1.f);
Inside InPolygon(std::vector<Pt> poly);                          // even-odd
Inside InEllipse(Pt c, float rx, float ry);
Inside InSegment(Pt a, Pt b, float radius);                      // capsule
Inside InRect(float x0, float y0, float x1, float y1);
Inside Union(std::vector<Inside> parts);
Inside Minus(Inside a, Inside b);

// Solid sprites: covered pixels keep their colour (never below (1,1,1)), the rest is pure black.
Image8 ToSolid(const Canvas& c);
// Light sprites: colour as it is; black stays black.
Image8 ToLight(const Canvas& c);

// A rotation-and-scale placement of local shape coordinates on the canvas.
struct Place {
  float cx, cy, angle_deg, sx = 1, sy = 1;
  Pt operator()(Pt p) const;               // local to canvas
  Pt Local(Pt q) const;                    // canvas to local
  std::vector<Pt> operator()(const std::vector<Pt>& poly) const;
};
