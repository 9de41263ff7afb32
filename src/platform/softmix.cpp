// softmix: the "SoftMix" back-end, the software mixer's channels and sounds over SDL's audio output.
#include <SDL.h>

#include <cstdio>

#include "platform/audio_backends.h"
#include "platform/mixer.h"

// Types

namespace {

class TMixChannel : public TChannel {
 public:
  explicit TMixChannel(int handle) : handle(handle) {}
  ~TMixChannel() override { MixRelease(handle); }
  void Stop() override { MixStop(handle); }
  void SetPaused(int paused) override { MixSetPaused(handle, paused); }
  void SetVolume(float volume) override { MixSetVolume(handle, volume); }
  void SetPan(float pan) override { MixSetPan(handle, pan); }
  void SetDepth(float depth) override { MixSetDepth(handle, depth); }
  void SetRate(float rate) override { MixSetRate(handle, rate); }
  int Playing() override { return MixPlaying(handle); }
  const int handle;
};

std::shared_ptr<TChannel> NewMixChannel() {
  int handle = MixAlloc();
  return handle < 0 ? nullptr : std::make_shared<TMixChannel>(handle);
}

class TMixSoundObject : public TSound {
 public:
  explicit TMixSoundObject(std::shared_ptr<const TMixSound> sound) : sound(std::move(sound)) {}
  std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> channel) override { return Start(std::move(channel), 0); }
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel> channel) override { return Start(std::move(channel), 1); }

 private:
  // A channel of another back-end, or one that has ended, can't take the sound.
  std::shared_ptr<TChannel> Start(std::shared_ptr<TChannel> channel, int paused) {
    if (!channel) channel = NewMixChannel();
    auto* mix = dynamic_cast<TMixChannel*>(channel.get());
    if (!mix || !MixStart(mix->handle, sound, paused)) return nullptr;
    return channel;
  }
  std::shared_ptr<const TMixSound> sound;
};

class TSoftMixDriver : public TAudioDriver {
 public:
  explicit TSoftMixDriver(std::string name) : name(std::move(name)) {}
  std::string Name() override { return name; }
  int Startup() override;
  void Shutdown() override;
  std::shared_ptr<TSound> CreateSound(TAudioSample sample, int flags) override {
    auto sound = MakeMixSound(std::move(sample), flags);
    return sound ? std::make_shared<TMixSoundObject>(sound) : nullptr;
  }
  std::shared_ptr<TChannel> AllocChannel() override { return NewMixChannel(); }

 private:
  std::string name;
};

}  // namespace

// Global Variables

static struct {
  SDL_AudioDeviceID device = 0;
  int frames = 0;
} SOFTMIX;

// Module Internal Functions

static void FillOutput(void*, Uint8* stream, int bytes) {
  MixFrames(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

// NOTE: no format changes are allowed, so SDL converts to whatever the card wants and
// the callback always sees 44100 Hz 16-bit stereo; only the buffer length may differ.
static SDL_AudioDeviceID OpenOutput(SDL_AudioSpec* have) {
  SDL_AudioSpec want{};
  want.freq = MIX_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = MIX_BUFFER_FRAMES;
  want.callback = FillOutput;
  return SDL_OpenAudioDevice(nullptr, 0, &want, have, 0);
}

int TSoftMixDriver::Startup() {
  if (SOFTMIX.device) return 1;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "audio: no output (%s); playing silently\n", SDL_GetError());
    return 0;
  }
  SDL_AudioSpec have{};
  SOFTMIX.device = OpenOutput(&have);
  if (!SOFTMIX.device) {
    std::fprintf(stderr, "audio: no output (%s); playing silently\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
  }
  SOFTMIX.frames = have.samples;
  MixOpen();
  SDL_PauseAudioDevice(SOFTMIX.device, 0);
  return 1;
}

void TSoftMixDriver::Shutdown() {
  if (!SOFTMIX.device) return;
  SDL_CloseAudioDevice(SOFTMIX.device);  // waits for a running callback
  SOFTMIX.device = 0;
  SOFTMIX.frames = 0;
  MixClose();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Module Functions

std::unique_ptr<TAudioDriver> NewSoftMixDriver(const std::string& name) {
  return std::make_unique<TSoftMixDriver>(name);
}

void HoldSoftMixOutput(int hold) {
  if (SOFTMIX.device) SDL_PauseAudioDevice(SOFTMIX.device, hold ? 1 : 0);
}

int SoftMixBufferFrames() { return SOFTMIX.frames; }
