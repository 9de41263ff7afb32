// The stage music: 36 bars in D minor at 140 beats a minute, rendered as a seamless loop.
// Every note is written modulo the loop length, so tails that run past the end land at the start.
// The loop has no intro: it opens on the full groove, and its last bar, the dominant with a
// drum fill, leads back into it. Bass and kick stay in the middle; pad, arpeggio, lead and
// echo are spread and doubled across the sides.
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
  void Add(size_t at, float v, float pan, float echo = 0) { Add2(at, v * (1 - pan) * 0.5f, v * (1 + pan) * 0.5f, echo); }
  // Left and right apart: a voice whose sides differ, so the two do not merely repeat each other.
  void Add2(size_t at, float vl, float vr, float echo = 0) {
    size_t i = at % kLength;
    l[i] += vl, r[i] += vr, send[i] += (vl + vr) * echo;
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
    m.Add(at + i, f.Low(x, cut, 0.6f) * env * 0.4f, 0);
  }
}

void Arp(Mix2& m, size_t at, float note, float pan) {
  Osc a;
  Svf f;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t(0.2f * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, f.Low(a.Pulse(hz, 0.25f), 3200, 0.2f) * Decay(t, 0.05f) * std::min(1.f, t / 0.002f) * 0.16f, pan, 0.4f);
  }
}

// Two detuned saws, one to each side, so the lead beats differently left and right.
void Lead(Mix2& m, size_t at, float note, float len_s, float vel, float pan) {
  Osc a, b;
  Svf fa, fb;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t((len_s + 0.2f) * kRate); i++) {
    float t = float(i) / kRate, vib = 1 + 0.007f * std::sin(t * 33) * Ramp(t, 0.12f, 0.3f);
    float env = Adsr(t, len_s, 0.008f, 0.15f, 0.7f, 0.07f), cut = 2400 + 1800 * env;
    float xa = fa.Low(a.Saw(hz * vib * 0.997f), cut, 0.25f), xb = fb.Low(b.Saw(hz * vib * 1.006f), cut, 0.25f);
    float g = env * 0.15f * vel;
    m.Add2(at + i, g * (xa * (0.9f - 0.3f * pan) + xb * 0.1f), g * (xb * (0.9f + 0.3f * pan) + xa * 0.1f), 0.15f);
  }
}

// Each chord note is two saws a few cents apart, one on each side: a wide, slowly beating bed.
void Pad(Mix2& m, size_t at, const int* chord, float len_s, float vel) {
  for (int k = 0; k < 3; k++) {
    Osc a, b;
    Svf fa, fb;
    float hz = MidiHz(float(chord[k]) - 12), lean = 0.3f * float(k - 1);
    for (size_t i = 0; i < size_t((len_s + 0.5f) * kRate); i++) {
      float t = float(i) / kRate, env = Adsr(t, len_s, 0.35f, 1.f, 1.f, 0.3f) * 0.08f * vel;
      float xl = fa.Low(a.Saw(hz * 1.004f), 1100, 0.1f), xr = fb.Low(b.Saw(hz * 0.996f), 1100, 0.1f);
      m.Add2(at + i, xl * env * (1 - lean), xr * env * (1 + lean));
    }
  }
}

void Kick(Mix2& m, size_t at, float vel) {
  Osc o;
  for (size_t i = 0; i < size_t(0.3f * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, o.Sine(45 + 110 * std::exp(-t * 30)) * Decay(t, 0.12f) * std::min(1.f, t / 0.001f) * 0.7f * vel, 0);
  }
}

void Snare(Mix2& m, size_t at, float vel, uint32_t seed) {
  Noise nz(seed);
  Osc o;
  Svf f;
  for (size_t i = 0; i < size_t(0.22f * kRate); i++) {
    float t = float(i) / kRate;
    float x = f.Band(nz.Next(), 2200, 0.1f) * Decay(t, 0.07f) + 0.5f * o.Sine(190) * Decay(t, 0.03f);
    m.Add(at + i, x * 0.5f * vel * std::min(1.f, t / 0.001f), 0.1f, 0.25f);
  }
}

void Hat(Mix2& m, size_t at, float vel, float tau, uint32_t seed, float pan) {
  Noise nz(seed);
  Svf f;
  for (size_t i = 0; i < size_t(tau * 5 * kRate); i++) {
    float t = float(i) / kRate;
    m.Add(at + i, f.High(nz.Next(), 7500, 0.2f) * Decay(t, tau) * 0.22f * vel, pan);
  }
}

enum Layer { kBass = 1, kDrums = 2, kArp = 4, kLead = 8, kPad = 16, kHarmony = 32, kFill = 64 };

// Groove, melody, a four-bar bridge, melody in thirds, groove again; the last bar's fill on
// the dominant leads back to the first.
int PartsOfBar(int bar) {
  int fill = (bar % 8 == 7 || bar == 19) ? kFill : 0;
  if (bar < 8) return kBass | kDrums | kArp | kPad | fill;
  if (bar < 16) return kBass | kDrums | kArp | kLead | fill;
  if (bar < 20) return kBass | kDrums | kArp | kPad | fill;
  if (bar < 28) return kBass | kDrums | kArp | kLead | kHarmony | kPad | fill;
  return kBass | kDrums | kArp | kPad | fill;
}

// Where each bar stands in the eight-bar chord cycle; the bridge climbs VI VII iv V.
int ChordOfBar(int bar) {
  const int bridge[4] = {2, 3, 6, 7};
  if (bar >= 16 && bar < 20) return bridge[bar - 16];
  return (bar < 16 ? bar : bar - 20) % 8;
}

void BassBar(Mix2& m, size_t bar_at, int root) {
  const int offs[16] = {0, 0, 12, 0, 0, 12, 0, 0, 0, 0, 12, 0, 0, 12, 7, 12};
  for (int s = 0; s < 16; s++)
    Bass(m, bar_at + s * kStep, float(root + offs[s]), 0.07f, (s % 8 == 0) ? 1.f : (s % 4 == 2 ? 0.5f : 0.1f));
}

void DrumBar(Mix2& m, size_t bar_at, int parts, int bar) {
  for (int s = 0; s < 16; s++) {
    size_t at = bar_at + s * kStep;
    uint32_t seed = uint32_t(bar * 16 + s + 1);
    if (s % 4 == 0) Kick(m, at, 1);
    if (s == 4 || s == 12) Snare(m, at, 1, seed);
    if ((parts & kFill) && s >= 12) Snare(m, at, 0.45f + 0.12f * (s - 12), seed + 999);
    if (s % 2 == 0) Hat(m, at, s % 4 == 2 ? 1.f : 0.6f, 0.012f, seed + 77, 0.6f);
    else Hat(m, at, 0.35f, 0.01f, seed + 78, -0.6f);
    if (s % 4 == 2 && bar % 2) Hat(m, at, 0.5f, 0.07f, seed + 79, -0.2f);
  }
}

void ArpBar(Mix2& m, size_t bar_at, const int* chord) {
  const int order[8] = {0, 1, 2, 3, 2, 1, 3, 2};
  for (int s = 0; s < 16; s++) Arp(m, bar_at + s * kStep, float(chord[order[s % 8]] + 12 * (s >= 8)), (s % 2) ? 0.85f : -0.85f);
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

// Semitones down to the third below in D minor (C sharp, over the dominant, takes A).
int ThirdBelow(int note) {
  const int by_class[12] = {3, 4, 4, 3, 4, 3, 3, 3, 4, 4, 3, 4};  // C C# D Eb E F F# G G# A Bb B
  return by_class[note % 12];
}

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
  for (size_t i = 0; i < kLength; i++) m.l[i] += el[i] * 0.85f, m.r[i] += er[i] * 0.85f;
}

}  // namespace

Pcm MakeMusic() {
  Mix2 m;
  for (int bar = 0; bar < kBars; bar++) {
    size_t at = bar * kBar;
    int parts = PartsOfBar(bar), c = ChordOfBar(bar);
    if (parts & kBass) BassBar(m, at, kRoots[c]);
    if (parts & kDrums) DrumBar(m, at, parts, bar);
    if (parts & kArp) ArpBar(m, at, kChords[c]);
    if (parts & kPad) Pad(m, at, kChords[c], 1.6f, (parts & kLead) ? 0.7f : 1.f);
    if (parts & kLead)
      for (const LeadNote& n : kMelody)
        if (n.bar == c) {
          float len = n.len * kStep / float(kRate) * 0.92f;
          Lead(m, at + n.step * kStep, float(n.note), len, 1.f, -0.3f);
          if (parts & kHarmony) Lead(m, at + n.step * kStep, float(n.note - ThirdBelow(n.note)), len, 0.6f, 0.6f);
        }
  }
  Echo(m);
  Pcm p;
  p.channels = 2;
  p.s.resize(kLength * 2);
  for (size_t i = 0; i < kLength; i++)
    p.s[2 * i] = std::tanh(m.l[i] * 1.2f), p.s[2 * i + 1] = std::tanh(m.r[i] * 1.2f);
  return p;
}
