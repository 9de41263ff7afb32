#include "sound/synth.h"

#include <algorithm>

namespace {

// Smooths the jump of a naive waveform at phase t (dt = increment per sample).
float PolyBlep(double t, double dt) {
  if (t < dt) { t /= dt; return float(t + t - t * t - 1); }
  if (t > 1 - dt) { t = (t - 1) / dt; return float(t * t + t + t + 1); }
  return 0;
}

}  // namespace

float Osc::Saw(float hz) {
  double dt = hz / kRate;
  float v = float(2 * phase - 1) - PolyBlep(phase, dt);
  Step(hz);
  return v;
}

float Osc::Pulse(float hz, float width) {
  double dt = hz / kRate;
  double p2 = phase + (1 - width);
  p2 -= std::floor(p2);
  float v = (phase < width ? 1.f : -1.f) + PolyBlep(phase, dt) - PolyBlep(p2, dt);
  Step(hz);
  return v;
}

void Svf::Run(float x, float hz, float res) {
  float g = std::tan(3.14159265f * std::clamp(hz, 20.f, kRate * 0.45f) / kRate);
  float k = 2 - 2 * std::clamp(res, 0.f, 0.98f);
  float a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
  float v3 = x - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
  ic1 = 2 * v1 - ic1, ic2 = 2 * v2 - ic2;
  low = v2, band = v1, high = x - k * v1 - v2;
}

float Adsr(float t, float gate, float a, float d, float s, float r) {
  auto held = [&](float u) {
    if (u < a) return u / a;
    return s + (1 - s) * std::exp(-(u - a) / d);
  };
  if (t < gate) return held(t);
  return held(gate) * std::exp(-(t - gate) / r);
}
