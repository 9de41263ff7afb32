// Deterministic value noise for textures and flames.
#pragma once
#include <cstdint>

float Hash01(int x, int y, uint32_t seed);              // 0..1, a fixed function of its arguments
float ValueNoise(float x, float y, uint32_t seed);       // smooth, 0..1
float Fbm(float x, float y, uint32_t seed, int octaves);  // sum of octaves, 0..1

struct Rng {  // small fixed-seed generator for layouts
  uint32_t s;
  explicit Rng(uint32_t seed) : s(seed ? seed : 1) {}
  uint32_t Next() { s ^= s << 13, s ^= s >> 17, s ^= s << 5; return s; }
  float Real(float lo, float hi) { return lo + (hi - lo) * (Next() % 1000000) / 1000000.f; }
  int Int(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }  // inclusive
};
