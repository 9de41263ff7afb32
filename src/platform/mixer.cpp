// mixer: channel slots shared by the game thread and the audio thread, and the fill routine.
#include "platform/mixer.h"

#include <algorithm>
#include <mutex>

#include "platform/limiter.h"

// Types

namespace {

enum { INDEX_BITS = 12, INDEX_MASK = (1 << INDEX_BITS) - 1, GEN_MASK = (1 << 19) - 1 };
enum { CHUNK_FRAMES = 1024 };

// The game's view of a slot; changed only under the lock.
struct TMixSlot {
  int gen = 1, used = 0, serial = 0, dirty = 0;
  std::shared_ptr<const TMixSound> sound;
  int active = 0, paused = 0, restart = 0;
  int gain = MIX_UNITY, rate = 65536;
  float pan = 0.0f, depth = 0.0f;
};

// The audio thread's copy of a slot; the game never touches it.
struct TMixVoice {
  std::shared_ptr<const TMixSound> sound;
  uint64_t pos = 0;  // 16.16 frames into the sound
  uint32_t step = 0;
  int serial = 0, active = 0, paused = 0, ended = 0;
  int gain_l = MIX_UNITY, gain_r = MIX_UNITY;
};

struct TMixState {
  std::mutex lock;
  int open = 0;
  TMixSlot slots[MIX_SLOTS];
  TMixVoice voices[MIX_SLOTS];  // audio thread only
  TLimiter limiter;             // audio thread only, but for MixOpen before the output starts
  int32_t acc[CHUNK_FRAMES * 2];
};

}  // namespace

// Global Variables

// NOTE: never destroyed: the game's global channels may be released after this file's statics.
static TMixState& MIX = *new TMixState();

// Module Internal Functions

static TMixSlot* FindSlot(int handle) {
  if (handle < 0) return nullptr;
  int index = handle & INDEX_MASK;
  if (index >= MIX_SLOTS) return nullptr;
  TMixSlot* slot = &MIX.slots[index];
  return (slot->used && slot->gen == (handle >> INDEX_BITS)) ? slot : nullptr;
}

// The counter moves on so every handle to the old use goes stale.
static void FreeSlot(TMixSlot* slot) {
  slot->used = 0;
  slot->active = 0;
  slot->gen = (slot->gen % GEN_MASK) + 1;
  slot->serial++;
  slot->dirty = 1;
}

// NaN settles on 0: centre for pan and depth, a halt for the rate.
static float Clamp(float v, float lo, float hi) { return v != v ? 0.0f : v > lo ? (v < hi ? v : hi) : lo; }

static void VoiceGains(const TMixSlot& s, TMixVoice* v) {
  float left = s.pan > 0 ? 1.0f - s.pan : 1.0f;
  float right = s.pan < 0 ? 1.0f + s.pan : 1.0f;
  float depth = s.depth < 0 ? 1.0f + 0.5f * s.depth : 1.0f;
  v->gain_l = static_cast<int>(s.gain * left * depth);
  v->gain_r = static_cast<int>(s.gain * right * depth);
}

static void ApplySlot(TMixSlot* s, TMixVoice* v) {
  v->serial = s->serial;
  v->active = s->used && s->active && s->sound;
  v->paused = s->paused;
  v->ended = 0;
  if (s->restart) v->pos = 0;
  s->restart = 0;
  v->sound = v->active ? s->sound : nullptr;
  if (v->active) {
    uint64_t step = static_cast<uint64_t>(s->rate) * v->sound->hertz / MIX_RATE;
    v->step = static_cast<uint32_t>(std::min<uint64_t>(step, 0xFFFFFFFFu));
  }
  VoiceGains(*s, v);
  s->dirty = 0;
}

// Start of a buffer: take every change the game made since the last one.
static void TakeChanges() {
  std::lock_guard<std::mutex> hold(MIX.lock);
  for (int i = 0; i < MIX_SLOTS; i++)
    if (MIX.slots[i].dirty) ApplySlot(&MIX.slots[i], &MIX.voices[i]);
}

// End of a buffer: a sound that ran out frees its slot, unless the game re-cued it meanwhile.
static void ReportEnds() {
  std::lock_guard<std::mutex> hold(MIX.lock);
  for (int i = 0; i < MIX_SLOTS; i++) {
    TMixVoice* v = &MIX.voices[i];
    if (!v->ended) continue;
    if (MIX.slots[i].used && MIX.slots[i].serial == v->serial) FreeSlot(&MIX.slots[i]);
    v->ended = 0;
    v->sound = nullptr;
  }
}

// Linear interpolation between neighbouring frames; the frame after the last is the
// first for a loop, the last itself otherwise.
static void MixVoice(TMixVoice* v, int32_t* acc, int frames) {
  const TMixSound& s = *v->sound;
  const uint64_t len = static_cast<uint64_t>(s.length), end = len << 16;
  const int stereo = s.channels == 2;
  for (int i = 0; i < frames; i++) {
    if (v->pos >= end) {
      if (!s.loop) { v->active = 0; v->ended = 1; return; }
      v->pos %= end;
    }
    uint64_t at = v->pos >> 16, next = at + 1 < len ? at + 1 : (s.loop ? 0 : at);
    int frac = static_cast<int>(v->pos & 0xFFFF) >> 1;
    int a = s.Value(at << stereo), b = s.Value(next << stereo);
    int l = a + (((b - a) * frac) >> 15), r = l;
    if (stereo) {
      a = s.Value((at << 1) + 1), b = s.Value((next << 1) + 1);
      r = a + (((b - a) * frac) >> 15);
    }
    acc[2 * i] += (l * v->gain_l) >> 12;
    acc[2 * i + 1] += (r * v->gain_r) >> 12;
    v->pos += v->step;
  }
  if (!s.loop && v->pos >= end) v->active = 0, v->ended = 1;  // report it with this buffer
}

static void MixChunk(int16_t* out, int frames) {
  std::fill(MIX.acc, MIX.acc + 2 * frames, 0);
  for (TMixVoice& v : MIX.voices)
    if (v.active && !v.paused && v.step) MixVoice(&v, MIX.acc, frames);
  LimitFrames(&MIX.limiter, MIX.acc, out, frames);
}

// Module Functions

void MixOpen() {
  std::lock_guard<std::mutex> hold(MIX.lock);
  MIX.open = 1;
  MIX.limiter = TLimiter{};
}

void MixClose() {
  std::lock_guard<std::mutex> hold(MIX.lock);
  MIX.open = 0;
  for (TMixSlot& s : MIX.slots) {
    if (s.used) FreeSlot(&s);
    s.sound = nullptr;
  }
}

int MixAlloc() {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (!MIX.open) return -1;
  for (int i = 0; i < MIX_SLOTS; i++) {
    TMixSlot& s = MIX.slots[i];
    if (s.used) continue;
    int gen = s.gen, serial = s.serial;
    s = TMixSlot{};
    s.gen = gen, s.used = 1, s.serial = serial + 1, s.dirty = 1;
    return s.gen << INDEX_BITS | i;
  }
  return -1;
}

int MixStart(int handle, std::shared_ptr<const TMixSound> sound, int paused) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  TMixSlot* s = FindSlot(handle);
  if (!s || !sound) return 0;
  s->sound = std::move(sound);
  s->active = 1;
  s->paused = paused ? 1 : 0;
  s->restart = 1;
  s->serial++;
  s->dirty = 1;
  return 1;
}

void MixStop(int handle) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) FreeSlot(s);
}

// Nobody can resume a paused or idle channel once its last handle is gone.
void MixRelease(int handle) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  TMixSlot* s = FindSlot(handle);
  if (s && (!s->active || s->paused)) FreeSlot(s);
}

void MixSetPaused(int handle, int paused) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) s->paused = paused ? 1 : 0, s->dirty = 1;
}

void MixSetVolume(int handle, float volume) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) s->gain = VolumeToGain(volume), s->dirty = 1;
}

void MixSetPan(int handle, float pan) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) s->pan = Clamp(pan, -1.0f, 1.0f), s->dirty = 1;
}

void MixSetDepth(int handle, float depth) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) s->depth = Clamp(depth, -1.0f, 1.0f), s->dirty = 1;
}

void MixSetRate(int handle, float rate) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  if (TMixSlot* s = FindSlot(handle)) s->rate = static_cast<int>(Clamp(rate, 0.0f, 256.0f) * 65536.0f), s->dirty = 1;
}

int MixPlaying(int handle) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  TMixSlot* s = FindSlot(handle);
  return (s && s->active && !s->paused) ? 1 : 0;
}

int MixLive(int handle) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  return FindSlot(handle) ? 1 : 0;
}

int MixGain(int handle) {
  std::lock_guard<std::mutex> hold(MIX.lock);
  TMixSlot* s = FindSlot(handle);
  return s ? s->gain : -1;
}

void MixFrames(int16_t* out, int frames) {
  TakeChanges();
  for (int done = 0; done < frames;) {
    int n = std::min<int>(frames - done, CHUNK_FRAMES);
    MixChunk(out + 2 * done, n);
    done += n;
  }
  ReportEnds();
}
