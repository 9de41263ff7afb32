#include "art/noise.h"

#include <cmath>

float Hash01(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFFFF) / float(0xFFFFFF);
}

float ValueNoise(float x, float y, uint32_t seed) {
  int ix = int(std::floor(x)), iy = int(std::floor(y));
  float fx = x - ix, fy = y - iy;
  fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
  float a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
  float c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; i++) {
    sum += amp * ValueNoise(x, y, seed + uint32_t(i) * 101u);
    norm += amp;
    x *= 2.03f, y *= 2.03f, amp *= 0.5f;
  }
  return sum / norm;
}
