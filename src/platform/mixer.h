// mixer: the software mixer behind the "SoftMix" back-end. Channel slots live in one
// table the game edits under a short lock; the audio thread copies the changes at the
// start of each buffer, mixes without the lock, then reports the sounds that ended.
// Channels are summed in 32 bits and reach 16-bit output through the limiter.
// A handle is the slot index in its low 12 bits and the slot's reuse counter above.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

struct TAudioSample;

enum { MIX_RATE = 44100, MIX_BUFFER_FRAMES = 512, MIX_SLOTS = 256, MIX_UNITY = 4096 };

// A sound as the mixer plays it: signed 16-bit frames in native byte order, interleaved
// when stereo. Kept as bytes so a decoded track can be taken over without a copy.
struct TMixSound {
  std::vector<uint8_t> data;
  int channels = 1, hertz = MIX_RATE, length = 0, loop = 0;
  int16_t Value(size_t i) const {
    int16_t v;
    std::memcpy(&v, &data[2 * i], sizeof v);
    return v;
  }
};

// mix_sound.cpp
// nullptr for a bad sample; a sample already in the mixer's format gives up its bytes
std::shared_ptr<TMixSound> MakeMixSound(TAudioSample sample, int flags);
int VolumeToGain(float volume);       // trunc(volume * 4096), held to 0..65535

// mixer.cpp
void MixOpen();                       // channels may be had from now on
void MixClose();                      // every slot freed; handles go stale; no more channels
int MixAlloc();                       // a fresh idle slot's handle, or -1 when none is free
int MixStart(int handle, std::shared_ptr<const TMixSound> sound, int paused);  // 1 when the handle is live
void MixStop(int handle);             // ends the channel and frees its slot
void MixRelease(int handle);          // last reference gone: free the slot unless it is sounding
void MixSetPaused(int handle, int paused);
void MixSetVolume(int handle, float volume);
void MixSetPan(int handle, float pan);      // -1 left .. 1 right; the far side fades out
void MixSetDepth(int handle, float depth);  // -1 behind .. 1 in front; behind is quieter, down to half
void MixSetRate(int handle, float rate);    // 1 = the sound's own rate; held to 0..256
int MixPlaying(int handle);           // 1 when live, started and not paused
int MixLive(int handle);              // 1 while the handle still owns its slot
int MixGain(int handle);              // the channel's gain, -1 for a stale handle
void MixFrames(int16_t* out, int frames);  // the audio thread's fill: stereo frames, interleaved
