// sound: the audio back-end registry, the silent "Null" back-end, and channels on the current one.
#include "platform/sound.h"

#include <vector>

#include "platform/audio_backends.h"
#include "platform/display.h"

// Types

namespace {

class TNullChannel : public TChannel {
 public:
  void Stop() override {}
  void SetPaused(int) override {}
  void SetVolume(float) override {}
  void SetPan(float) override {}
  void SetDepth(float) override {}
  void SetRate(float) override {}
  int Playing() override { return 0; }
};

class TNullSound : public TSound {
 public:
  std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> channel) override { return Cue(std::move(channel)); }
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel> channel) override {
    return channel ? channel : std::make_shared<TNullChannel>();
  }
};

class TNullDriver : public TAudioDriver {
 public:
  std::string Name() override { return "Null"; }
  int Startup() override { return 1; }
  void Shutdown() override {}
  std::shared_ptr<TSound> CreateSound(TAudioSample, int) override { return std::make_shared<TNullSound>(); }
  std::shared_ptr<TChannel> AllocChannel() override { return std::make_shared<TNullChannel>(); }
};

}  // namespace

// Global Variables

static struct {
  std::vector<std::unique_ptr<TAudioDriver>> drivers;  // in registration order
  TAudioDriver* current = nullptr;
} AUDIO;

// Module Internal Functions

// Registered on first use: a static library would drop self-registering objects nobody names.
// The display's exit sequence closes the output (ShutdownAudio) at exit.
static void RegisterDrivers() {
  if (!AUDIO.drivers.empty()) return;
  ArrangeCloseAtExit();
  AUDIO.drivers.push_back(NewSoftMixDriver("SoftMix Multimedia"));
  AUDIO.drivers.push_back(NewSoftMixDriver("SoftMix"));
  AUDIO.drivers.push_back(NewNullDriver());
}

static std::string FoldCase(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

static TAudioDriver* FindDriver(const std::string& name) {
  std::string want = FoldCase(name);
  for (auto& d : AUDIO.drivers)
    if (FoldCase(d->Name()) == want) return d.get();
  return nullptr;
}

// Module Functions

std::unique_ptr<TAudioDriver> NewNullDriver() { return std::make_unique<TNullDriver>(); }

int SetAudioDriver(const std::string& name) {
  RegisterDrivers();
  if (AUDIO.current) AUDIO.current->Shutdown();
  AUDIO.current = FindDriver("Null");
  AUDIO.current->Startup();
  TAudioDriver* wanted = FindDriver(name);
  if (!wanted || !wanted->Startup()) return 0;
  AUDIO.current = wanted;
  return 1;
}

TAudioDriver* CurrentAudioDriver() {
  if (!AUDIO.current) SetAudioDriver("SoftMix");
  return AUDIO.current;
}

std::shared_ptr<TChannel> AllocChannel() { return CurrentAudioDriver()->AllocChannel(); }

// The next sound operation chooses a back-end afresh.
void ShutdownAudio() {
  if (AUDIO.current) AUDIO.current->Shutdown();
  AUDIO.current = nullptr;
}
