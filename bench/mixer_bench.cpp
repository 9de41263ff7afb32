// mixer_bench: what one buffer of the software mixer costs with many channels sounding.
// cpu_per_audio_s is the CPU time spent per second of mixed audio. With `loud` the channels
// play at full volume, so their sum stays over the limiter's threshold and every frame is limited.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/mixer.h"
#include "platform/sound.h"

namespace {

// A second of noise-like sound; stereo ones interleave two such waves.
TAudioSample NoiseSample(int channels, int hertz) {
  TAudioSample s;
  s.format = channels == 2 ? SF_STEREO16LE : SF_MONO16LE, s.hertz = hertz, s.length = hertz;
  unsigned x = 12345;
  for (int i = 0; i < hertz * channels; i++) {
    x = x * 1103515245u + 12345u;
    int16_t v = static_cast<int16_t>((x >> 16) & 0x3FFF) - 0x2000;
    s.data.push_back(uint8_t(v & 0xFF)), s.data.push_back(uint8_t((v >> 8) & 0xFF));
  }
  return s;
}

// Starts `count` looping channels; `mixed` makes every other one stereo and every
// fourth one a 22050 Hz sound that must be resampled.
std::vector<int> StartChannels(int count, bool mixed, float volume) {
  std::vector<int> handles;
  for (int i = 0; i < count; i++) {
    int channels = (mixed && i % 2) ? 2 : 1, hertz = (mixed && i % 4 == 0) ? 22050 : MIX_RATE;
    int h = MixAlloc();
    MixStart(h, MakeMixSound(NoiseSample(channels, hertz), SOUND_LOOP), 0);
    MixSetVolume(h, volume);
    handles.push_back(h);
  }
  return handles;
}

void BM_MixBuffer(benchmark::State& state) {
  MixOpen();
  std::vector<int> handles = StartChannels(int(state.range(0)), state.range(1) != 0, state.range(2) ? 1.0f : 0.3f);
  std::vector<int16_t> out(2 * MIX_BUFFER_FRAMES);
  for (auto _ : state) {
    MixFrames(out.data(), MIX_BUFFER_FRAMES);
    benchmark::DoNotOptimize(out.data());
  }
  for (int h : handles) MixStop(h);
  MixClose();
  state.SetItemsProcessed(state.iterations() * MIX_BUFFER_FRAMES);
  state.counters["cpu_per_audio_s"] = benchmark::Counter(
      double(state.iterations()) * int(MIX_BUFFER_FRAMES) / int(MIX_RATE), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_MixBuffer)
    ->ArgNames({"channels", "mixed", "loud"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({16, 0, 0})
    ->Args({16, 1, 0})
    ->Args({16, 0, 1});
BENCHMARK_MAIN();
