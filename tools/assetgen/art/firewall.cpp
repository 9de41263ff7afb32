// The fire wall: a band of flame along the upper-left to lower-right diagonal, its tongues
// licking up and to the right, the way it sweeps. Drawn additively, so black is nothing.
#include <algorithm>
#include <cmath>

#include "art/art.h"
#include "art/canvas.h"
#include "art/noise.h"

namespace {

constexpr int kW = 525, kH = 461;
constexpr unsigned kSeed = 0xF1AEu;

Rgb FirePalette(float i) {
  const Rgb stops[] = {Hex(0x000000), Hex(0x6a0800), Hex(0xe03a00), Hex(0xffa018), Hex(0xfff0a0), Hex(0xffffff)};
  float s = std::clamp(i, 0.f, 1.f) * 5;
  int k = std::min(4, int(s));
  return Mix(stops[k], stops[k + 1], s - k);
}

float Heat(float u, float v) {
  float reach = 70 + 90 * Fbm(u / 55.f, 3.7f, kSeed, 3);           // tongue length along the wall
  float t = (v + 45) / reach;                                        // 0 at the base line, 1 at the tips
  float swirl = Fbm(u / 11.f + 1.6f * Fbm(u / 40.f, v / 40.f, kSeed + 7, 2), v / 75.f, kSeed + 1, 4);
  float body = t < 0 ? std::exp(t * 4) : std::pow(std::max(0.f, 1 - t), 1.3f);
  float heat = body * (0.1f + 1.35f * swirl * swirl * 1.6f) - 0.2f;
  float ends = std::clamp((335 - std::fabs(u)) / 110.f, 0.f, 1.f);
  float root = std::exp(-std::pow((v + 30) / 20.f, 2.f)) * (0.18f + 0.3f * swirl);  // the burning front
  return (std::max(0.f, heat) + root) * ends * ends;
}

float Embers(int x, int y, float u, float v) {
  if (v > -30 || v < -150 || Hash01(x, y, kSeed + 3) < 0.9965f) return 0;
  float ends = std::clamp((330 - std::fabs(u)) / 60.f, 0.f, 1.f);
  return ends * (1 + v / 150) * 0.9f;
}

}  // namespace

Image8 DrawFireWall() {
  Canvas c(kW, kH);
  const float cx = kW / 2.f, cy = kH / 2.f, r2 = 0.70710678f;
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float u = (dx + dy) * r2, v = (dx - dy) * r2;  // along the wall, and forward (up-right)
      float h = Heat(u, v) + Embers(x, y, u, v);
      c.at(x, y) = FirePalette(h);
    }
  Canvas bloom = Blurred(c, 4);
  for (size_t i = 0; i < c.px.size(); i++) c.px[i] = c.px[i] + bloom.px[i] * 0.35f;
  return ToLight(c);
}
