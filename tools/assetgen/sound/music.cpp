// The stage music: 36 bars in D minor at 140 beats a minute, rendered as a seamless loop.
// Every note is written modulo the loop length, so tails that run past the end land at the start.
#include <algorithm>
#include <cmath>

#include "sound/sounds.h"
#include "sound/synth.h"

namespace {

constexpr size_t kStep = 4725;  // one sixteenth at 140 bpm, in samples
constexpr size_t kBar = 16 * kStep;
constexpr int kBars = 36;
constexpr size_t kLength = kBars * kBar;

struct Mix2 {
  std::vector<float> l = std::vector<float>(kLength), r = std::vector<float>(kLength);
  std::vector<float> send = std::vector<float>(kLength);  // into the echo
  void Add(size_t at, float v, float pan, float echo = 0) {
    size_t i = at % kLength;
    l[i] += v * (1 - pan) * 0.5f, r[i] += v * (1 + pan) * 0.5f, send[i] += v * echo;
  }
};

// Chords of the eight-bar cycle: i i VI VII i i iv V.
const int kRoots[8] = {38, 38, 34, 36, 38, 38, 31, 33};
const int kChords[8][4] = {{62, 65, 69, 74}, {62, 65, 69, 74}, {58, 62, 65, 70}, {60, 64, 67, 72},
                           {62, 65, 69, 74}, {62, 65, 69, 74}, {55, 58, 62, 67}, {57, 61, 64, 69}};

void Bass(Mix2& m, size_t at, float note, float len_s, float accent) {
  Osc a, b;
  Svf f;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t((len_s + 0.05f) * kRate); i++) {
    float t = float(i) / kRate, env = Adsr(t, len_s, 0.003f, 0.08f, 0.7f, 0.015f);
    float x = 0.7f * a.Saw(hz) + 0.5f * b.Pulse(hz * 0.5f, 0.5f);
    float cut = 260 + (1400 + 1600 * accent) * Decay(t, 0.07f);
    m.Add(at + i, f.Low(x, cut, 0.6f) * env * 0.55f, 0);
  }
}

void Arp(Mix2& m, size_t at, float note, float pan) {
  Osc a;
  Svf f;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t(0.2f * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, f.Low(a.Pulse(hz, 0.25f), 3200, 0.2f) * Decay(t, 0.05f) * std::min(1.f, t / 0.002f) * 0.13f, pan, 0.35f);
  }
}

void Lead(Mix2& m, size_t at, float note, float len_s) {
  Osc a, b;
  Svf f;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t((len_s + 0.2f) * kRate); i++) {
    float t = float(i) / kRate, vib = 1 + 0.007f * std::sin(t * 33) * Ramp(t, 0.12f, 0.3f);
    float env = Adsr(t, len_s, 0.008f, 0.15f, 0.7f, 0.07f);
    float x = a.Saw(hz * vib) + 0.8f * b.Saw(hz * vib * 1.006f);
    m.Add(at + i, f.Low(x, 2400 + 1800 * env, 0.25f) * env * 0.16f, -0.15f, 0.3f);
  }
}

void Pad(Mix2& m, size_t at, const int* chord, float len_s) {
  for (int k = 0; k < 3; k++) {
    Osc a, b;
    Svf f;
    float hz = MidiHz(float(chord[k]) - 12);
    for (size_t i = 0; i < size_t((len_s + 0.5f) * kRate); i++) {
      float t = float(i) / kRate, env = Adsr(t, len_s, 0.35f, 1.f, 1.f, 0.3f);
      float x = a.Saw(hz * 1.003f) + b.Saw(hz * 0.997f);
      m.Add(at + i, f.Low(x, 900, 0.1f) * env * 0.05f, k - 1.f);
    }
  }
}

void Kick(Mix2& m, size_t at, float vel) {
  Osc o;
  for (size_t i = 0; i < size_t(0.3f * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, o.Sine(45 + 110 * std::exp(-t * 30)) * Decay(t, 0.12f) * std::min(1.f, t / 0.001f) * 0.8f * vel, 0);
  }
}

void Snare(Mix2& m, size_t at, float vel, uint32_t seed) {
  Noise nz(seed);
  Osc o;
  Svf f;
  for (size_t i = 0; i < size_t(0.22f * kRate); i++) {
    float t = float(i) / kRate;
    float x = f.Band(nz.Next(), 2200, 0.1f) * Decay(t, 0.07f) + 0.5f * o.Sine(190) * Decay(t, 0.03f);
    m.Add(at + i, x * 0.5f * vel * std::min(1.f, t / 0.001f), 0.1f, 0.1f);
  }
}

void Hat(Mix2& m, size_t at, float vel, float tau, uint32_t seed) {
  Noise nz(seed);
  Svf f;
  for (size_t i = 0; i < size_t(tau * 5 * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, f.High(nz.Next(), 7500, 0.2f) * Decay(t, tau) * 0.22f * vel, 0.3f);
  }
}

enum Layer { kBass = 1, kDrums = 2, kArp = 4, kLead = 8, kPad = 16, kHalfTime = 32, kFill = 64 };

int PartsOfBar(int bar) {
  if (bar < 4) return kBass | kPad | (bar >= 2 ? kDrums | kHalfTime : 0) | (bar == 3 ? kFill : 0);
  if (bar < 12) return kBass | kDrums | kArp | (bar == 11 ? kFill : 0);
  if (bar < 20) return kBass | kDrums | kArp | kLead | (bar == 19 ? kFill : 0);
  if (bar < 24) return kPad | kArp | kDrums | kHalfTime | (bar == 23 ? kFill : 0);
  if (bar < 32) return kBass | kDrums | kArp | kLead | kPad | (bar == 31 ? kFill : 0);
  return kBass | kDrums | kArp | (bar == 35 ? kFill : 0);
}

void BassBar(Mix2& m, size_t bar_at, int root) {
  const int offs[16] = {0, 0, 12, 0, 0, 12, 0, 0, 0, 0, 12, 0, 0, 12, 7, 12};
  for (int s = 0; s < 16; s++)
    Bass(m, bar_at + s * kStep, float(root + offs[s]), 0.07f, (s % 8 == 0) ? 1.f : (s % 4 == 2 ? 0.5f : 0.1f));
}

void DrumBar(Mix2& m, size_t bar_at, int parts, int bar) {
  bool half = parts & kHalfTime;
  for (int s = 0; s < 16; s++) {
    size_t at = bar_at + s * kStep;
    uint32_t seed = uint32_t(bar * 16 + s + 1);
    if (s % 4 == 0 && (!half || s % 8 == 0)) Kick(m, at, 1);
    if (!half && (s == 4 || s == 12)) Snare(m, at, 1, seed);
    if ((parts & kFill) && s >= 12) Snare(m, at, 0.45f + 0.12f * (s - 12), seed + 999);
    if (s % 2 == 0) Hat(m, at, s % 4 == 2 ? 1.f : 0.6f, 0.012f, seed + 77);
    else if (!half) Hat(m, at, 0.35f, 0.01f, seed + 78);
    if (!half && s % 4 == 2 && bar % 2) Hat(m, at, 0.5f, 0.07f, seed + 79);
  }
}

void ArpBar(Mix2& m, size_t bar_at, const int* chord) {
  const int order[8] = {0, 1, 2, 3, 2, 1, 3, 2};
  for (int s = 0; s < 16; s++) Arp(m, bar_at + s * kStep, float(chord[order[s % 8]] + 12 * (s >= 8)), (s % 2) ? 0.4f : -0.4f);
}

struct LeadNote {
  int bar, step, len, note;
};
const LeadNote kMelody[] = {
    {0, 0, 4, 74}, {0, 4, 2, 69}, {0, 6, 2, 74}, {0, 8, 4, 76}, {0, 12, 4, 77},
    {1, 0, 6, 76}, {1, 6, 2, 74}, {1, 8, 4, 72}, {1, 12, 4, 69},
    {2, 0, 8, 74}, {2, 8, 4, 77}, {2, 12, 4, 74},
    {3, 0, 8, 76}, {3, 8, 4, 79}, {3, 12, 4, 76},
    {4, 0, 6, 81}, {4, 6, 2, 79}, {4, 8, 4, 77}, {4, 12, 4, 76},
    {5, 0, 4, 77}, {5, 4, 4, 76}, {5, 8, 8, 74},
    {6, 0, 4, 74}, {6, 4, 4, 70}, {6, 8, 4, 67}, {6, 12, 4, 70},
    {7, 0, 8, 73}, {7, 8, 4, 76}, {7, 12, 4, 81}};

// The echo runs over the loop twice so that its tail at the end feeds the start.
void Echo(Mix2& m) {
  const size_t delay = 3 * kStep;
  std::vector<float> el(kLength), er(kLength);
  for (int pass = 0; pass < 2; pass++)
    for (size_t i = 0; i < kLength; i++) {
      size_t j = (i + kLength - delay) % kLength;
      el[i] = m.send[i] + er[j] * 0.45f;  // ping-pong
      er[i] = el[j] * 0.45f;
    }
  for (size_t i = 0; i < kLength; i++) m.l[i] += el[i] * 0.5f, m.r[i] += er[i] * 0.5f;
}

}  // namespace

Pcm MakeMusic() {
  Mix2 m;
  for (int bar = 0; bar < kBars; bar++) {
    size_t at = bar * kBar;
    int parts = PartsOfBar(bar), c = bar % 8;
    if (parts & kBass) BassBar(m, at, kRoots[c]);
    if (parts & kDrums) DrumBar(m, at, parts, bar);
    if (parts & kArp) ArpBar(m, at, kChords[c]);
    if (parts & kPad) Pad(m, at, kChords[c], 1.6f);
    if (parts & kLead)
      for (const LeadNote& n : kMelody)
        if (n.bar == c) Lead(m, at + n.step * kStep, float(n.note), n.len * kStep / float(kRate) * 0.92f);
  }
  Echo(m);
  Pcm p;
  p.channels = 2;
  p.s.resize(kLength * 2);
  for (size_t i = 0; i < kLength; i++)
    p.s[2 * i] = std::tanh(m.l[i] * 1.2f), p.s[2 * i + 1] = std::tanh(m.r[i] * 1.2f);
  return p;
}
