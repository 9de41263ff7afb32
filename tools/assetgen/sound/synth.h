// Building blocks for the game's sounds: oscillators, noise, filters and envelopes at 44100 Hz.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

constexpr int kRate = 44100;
constexpr float kTau = 6.2831853f;

inline float MidiHz(float note) { return 440.f * std::pow(2.f, (note - 69) / 12.f); }

struct Noise {  // white noise in -1..1 from a fixed seed
  uint32_t s;
  explicit Noise(uint32_t seed) : s(seed ? seed : 1) {}
  float Next() { s = s * 1664525u + 1013904223u; return (s >> 8) / 8388608.f - 1.f; }
};

struct Osc {  // band-limited (polyBLEP) saw and pulse, plus sine
  double phase = 0;
  float Sine(float hz) { float v = std::sin(float(phase) * kTau); Step(hz); return v; }
  float Saw(float hz);
  float Pulse(float hz, float width);
  void Step(float hz) { phase += hz / kRate; phase -= std::floor(phase); }
};

struct Svf {  // state-variable filter (trapezoidal), low/band/high outputs
  float ic1 = 0, ic2 = 0, low = 0, band = 0, high = 0;
  void Run(float x, float cutoff_hz, float resonance);  // resonance 0 (none) .. ~0.95
  float Low(float x, float hz, float res) { Run(x, hz, res); return low; }
  float Band(float x, float hz, float res) { Run(x, hz, res); return band; }
  float High(float x, float hz, float res) { Run(x, hz, res); return high; }
};

// Attack-decay-sustain-release level at time t for a note held `gate` seconds.
float Adsr(float t, float gate, float a, float d, float s, float r);
inline float Decay(float t, float tau) { return std::exp(-t / tau); }
inline float Ramp(float t, float t0, float t1) { return t <= t0 ? 0.f : t >= t1 ? 1.f : (t - t0) / (t1 - t0); }
