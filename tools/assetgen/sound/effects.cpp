// The six sound effects.
#include <algorithm>
#include <cmath>

#include "sound/sounds.h"
#include "sound/synth.h"

namespace {

Pcm Mono(size_t frames) {
  Pcm p;
  p.channels = 1;
  p.s.assign(frames, 0.f);
  return p;
}

// Gentle ends: no click where a sound starts or stops.
void Taper(Pcm& p, float in_s, float out_s) {
  size_t n = p.s.size(), a = size_t(in_s * kRate), b = size_t(out_s * kRate);
  for (size_t i = 0; i < std::min(a, n); i++) p.s[i] *= float(i) / a;
  for (size_t i = 0; i < std::min(b, n); i++) p.s[n - 1 - i] *= float(i) / b;
}

}  // namespace

void AddBrass(std::vector<float>& out, size_t at, float seconds, float note, float vel) {
  Osc o[3];
  Svf f;
  float hz = MidiHz(note);
  size_t n = size_t((seconds + 0.25f) * kRate);
  for (size_t i = 0; i < n && at + i < out.size(); i++) {
    float t = float(i) / kRate, env = Adsr(t, seconds, 0.03f, 0.2f, 0.75f, 0.09f);
    float x = o[0].Saw(hz) + o[1].Saw(hz * 1.004f) + o[2].Saw(hz * 0.997f);
    float cut = 500 + 3800 * env * (0.6f + 0.4f * Decay(t, 0.15f));
    out[at + i] += f.Low(x / 3, cut, 0.2f) * env * vel;
  }
}

void AddBell(std::vector<float>& out, size_t at, float note, float vel) {
  Osc car, mod, hi;
  float hz = MidiHz(note);
  for (size_t i = 0; i < size_t(0.9f * kRate) && at + i < out.size(); i++) {
    float t = float(i) / kRate, env = std::min(1.f, t / 0.002f) * Decay(t, 0.22f);
    float m = mod.Sine(hz * 3.5f) * 2.2f * Decay(t, 0.08f);
    float x = std::sin(float(car.phase) * kTau + m) + 0.25f * hi.Sine(hz * 2.76f) * Decay(t, 0.1f);
    car.Step(hz);
    out[at + i] += x * env * vel;
  }
}

// A falling square-wave chirp over a breath of noise; short, as it is fired many times a second.
Pcm MakePlasma() {
  Pcm p = Mono(size_t(0.18f * kRate));
  Osc sq, sub;
  Svf lp, hp;
  Noise nz(11);
  for (size_t i = 0; i < p.s.size(); i++) {
    float t = float(i) / kRate, hz = 2300 * std::exp(-t * 16) + 170;
    float tone = 0.7f * sq.Pulse(hz, 0.3f) + 0.5f * sub.Sine(hz * 0.5f);
    float hiss = hp.High(nz.Next(), 3000, 0) * Decay(t, 0.02f);
    float body = lp.Low(tone, 1200 + 6000 * Decay(t, 0.05f), 0.3f);
    p.s[i] = (body + 0.4f * hiss) * std::min(1.f, t / 0.002f) * Decay(t, 0.05f);
  }
  Taper(p, 0.001f, 0.02f);
  return p;
}

// Roaring noise whose band climbs as the wall sweeps up the screen, with crackle.
Pcm MakeFireWall() {
  Pcm p = Mono(size_t(1.05f * kRate));
  Noise nz(23), crack(29);
  Svf band, rumble, pop;
  float spark = 0;
  for (size_t i = 0; i < p.s.size(); i++) {
    float t = float(i) / kRate, n = nz.Next();
    float sweep = 350 * std::pow(8.f, t);
    float roar = band.Band(n, sweep, 0.55f) * 1.4f + rumble.Low(n, 180, 0.3f) * 1.6f;
    if (crack.Next() > 0.9975f) spark = 1;
    spark *= 0.995f;
    float crackle = pop.Band(crack.Next() * spark, 2500, 0.4f);
    float env = Ramp(t, 0, 0.06f) * (t < 0.7f ? 1.f : std::max(0.f, 1 - (t - 0.7f) / 0.35f));
    p.s[i] = (roar + 0.8f * crackle) * env;
  }
  Taper(p, 0.002f, 0.03f);
  return p;
}

// Low thump and darkening noise; kept soft because it plays on every hit.
Pcm MakeExplode() {
  Pcm p = Mono(size_t(0.5f * kRate));
  Osc thump;
  Noise nz(37);
  Svf lp, lp2;
  for (size_t i = 0; i < p.s.size(); i++) {
    float t = float(i) / kRate;
    float boom = thump.Sine(110 * std::exp(-t * 9) + 38) * Decay(t, 0.09f);
    float cut = 2200 * std::exp(-t * 7) + 160;
    float rush = lp2.Low(lp.Low(nz.Next(), cut, 0.1f), cut * 1.5f, 0) * Decay(t, 0.13f);
    p.s[i] = (0.9f * boom + 1.2f * rush) * std::min(1.f, t / 0.003f);
  }
  Taper(p, 0.001f, 0.06f);
  return p;
}

// Four rising bell notes.
Pcm MakePowerUp() {
  Pcm p = Mono(size_t(0.85f * kRate));
  const float notes[] = {72, 76, 79, 84, 88};
  for (int k = 0; k < 5; k++) AddBell(p.s, size_t(k * 0.06f * kRate), notes[k], k == 4 ? 0.7f : 0.5f);
  Taper(p, 0.001f, 0.1f);
  return p;
}

// A bright square-lead jingle over a brass chord.
Pcm MakeStageClear() {
  const float beat = 0.15f;
  Pcm p = Mono(size_t(2.6f * kRate));
  struct N { float at, len, note; } lead[] = {{0, 1, 67}, {1, 1, 72}, {2, 1, 76}, {3, 1, 79}, {4, 2, 76},
                                             {6, 1, 79}, {7, 7, 84}};
  for (const N& n : lead) {
    Osc a, b;
    Svf f;
    size_t at = size_t(n.at * beat * kRate);
    for (size_t i = 0; i < size_t((n.len * beat + 0.3f) * kRate) && at + i < p.s.size(); i++) {
      float t = float(i) / kRate, hz = MidiHz(n.note) * (1 + 0.006f * std::sin(t * 34) * Ramp(t, 0.15f, 0.4f));
      float env = Adsr(t, n.len * beat * 0.9f, 0.005f, 0.1f, 0.6f, 0.08f);
      p.s[at + i] += f.Low(0.5f * a.Pulse(hz, 0.5f) + 0.3f * b.Pulse(hz * 2.001f, 0.25f), 5000, 0.1f) * env * 0.5f;
    }
  }
  for (float note : {60.f, 64.f, 67.f, 48.f}) AddBrass(p.s, size_t(7 * beat * kRate), 1.0f, note, 0.35f);
  for (float note : {48.f, 55.f}) AddBrass(p.s, 0, 6 * beat, note, 0.3f);
  Taper(p, 0.001f, 0.3f);
  return p;
}

// Two short brass stabs, a snare roll and a held major chord.
Pcm MakeGameStart() {
  Pcm p = Mono(size_t(1.9f * kRate));
  for (float at : {0.f, 0.18f})
    for (float note : {55.f, 59.f, 62.f}) AddBrass(p.s, size_t(at * kRate), 0.1f, note, 0.4f);
  for (float note : {60.f, 64.f, 67.f, 72.f, 48.f}) AddBrass(p.s, size_t(0.4f * kRate), 1.1f, note, 0.35f);
  Noise nz(41);
  Svf bp;
  for (int hit = 0; hit < 8; hit++) {  // snare roll into the chord
    size_t at = size_t((0.18f + hit * 0.03f) * kRate);
    for (size_t i = 0; i < size_t(0.08f * kRate); i++) {
      float t = float(i) / kRate;
      p.s[at + i] += bp.Band(nz.Next(), 2000, 0.2f) * Decay(t, 0.025f) * (0.25f + hit * 0.05f);
    }
  }
  Taper(p, 0.001f, 0.25f);
  return p;
}
