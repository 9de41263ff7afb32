// sound: Ogg Vorbis sounds decoded whole at load, played on channels by a software
// mixer over SDL's audio output (44100 Hz, 16-bit stereo), or by the silent "Null"
// back-end when no output can start.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum { SF_MONO8 = 1, SF_MONO16LE = 2, SF_MONO16BE = 3, SF_STEREO8 = 4, SF_STEREO16LE = 5, SF_STEREO16BE = 6 };
enum { SOUND_LOOP = 1 };

struct TAudioSample {
  std::vector<uint8_t> data;
  int format = 0, hertz = 0, length = 0;  // length in sample frames
};

class TChannel {
 public:
  virtual ~TChannel() = default;
  virtual void Stop() = 0;
  virtual void SetPaused(int paused) = 0;
  virtual void SetVolume(float volume) = 0;
  virtual void SetPan(float pan) = 0;
  virtual void SetDepth(float depth) = 0;
  virtual void SetRate(float rate) = 0;
  virtual int Playing() = 0;
};

class TSound {
 public:
  virtual ~TSound() = default;
  virtual std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> channel) = 0;
  virtual std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel> channel) = 0;  // paused at the start
  // sound_load.cpp
  static std::shared_ptr<TSound> Load(const std::string& source, int flags);   // nullptr when it can't be decoded
};

class TAudioDriver {
 public:
  virtual ~TAudioDriver() = default;
  virtual std::string Name() = 0;
  virtual int Startup() = 0;
  virtual void Shutdown() = 0;
  virtual std::shared_ptr<TSound> CreateSound(TAudioSample sample, int flags) = 0;  // may take over its bytes
  virtual std::shared_ptr<TChannel> AllocChannel() = 0;
};

// sound.cpp
int SetAudioDriver(const std::string& name);  // names folded to lower case; falls back to "Null"
TAudioDriver* CurrentAudioDriver();           // chooses "SoftMix" on first use
std::shared_ptr<TChannel> AllocChannel();     // on the current back-end
void ShutdownAudio();

// ogg.cpp
std::shared_ptr<TAudioSample> DecodeOggVorbis(const uint8_t* data, size_t size);  // nullptr on a bad stream
