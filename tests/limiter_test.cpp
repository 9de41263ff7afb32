// Limiter: the mixer's sum of loud channels held under the ceiling, a mix below the
// threshold left bit for bit as the plain sum, and the gain back at unity after a peak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/audio_backends.h"
#include "platform/limiter.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "support/file_bytes.h"
#include "support/soft_mix.h"

namespace {

// A sound of `frames` frames, the same on both sides, from a function of the frame.
template <class F>
TAudioSample Wave(int frames, F value) {
  TAudioSample s;
  s.format = SF_MONO16LE, s.hertz = MIX_RATE, s.length = frames;
  for (int i = 0; i < frames; i++) {
    int16_t v = value(i);
    s.data.push_back(uint8_t(v & 0xFF)), s.data.push_back(uint8_t((v >> 8) & 0xFF));
  }
  return s;
}

TAudioSample Sine(int frames, float hz, int amplitude) {
  return Wave(frames, [=](int i) { return int16_t(std::lrint(amplitude * std::sin(6.2831853 * hz * i / double(MIX_RATE)))); });
}

std::vector<int16_t> ValuesOf(const TAudioSample& s) {
  std::vector<int16_t> v(s.data.size() / 2);
  for (size_t i = 0; i < v.size(); i++) v[i] = int16_t(s.data[2 * i] | s.data[2 * i + 1] << 8);
  return v;
}

class Limiter : public SoftMixFixture {
 protected:

  std::shared_ptr<TChannel> Play(const TAudioSample& s, float volume = 1.0f) {
    sounds.push_back(CurrentAudioDriver()->CreateSound(s, 0));
    auto ch = sounds.back()->Cue(nullptr);
    EXPECT_TRUE(ch);
    ch->SetVolume(volume);
    ch->SetPaused(0);
    return ch;
  }
  // Mixed in the output's own buffer size, as the audio thread does.
  static std::vector<int16_t> Mix(int frames) {
    std::vector<int16_t> out(2 * size_t(frames));
    for (int at = 0; at < frames; at += MIX_BUFFER_FRAMES) MixFrames(&out[2 * at], std::min<int>(MIX_BUFFER_FRAMES, frames - at));
    return out;
  }
  std::vector<std::shared_ptr<TSound>> sounds;
};

// Frames in [from, to) with a side at or past `level`.
std::vector<int> FramesAtOrPast(const std::vector<int16_t>& out, int level, int from = 0, int to = -1) {
  std::vector<int> at;
  if (to < 0) to = int(out.size() / 2);
  for (int i = from; i < to; i++)
    if (std::abs(out[2 * i]) >= level || std::abs(out[2 * i + 1]) >= level) at.push_back(i);
  return at;
}

}  // namespace

TEST_F(Limiter, MixBelowTheThresholdIsThePlainSum) {
  // One loud effect alone, and two whose sum stays under the knee: exactly as summed.
  struct Case {
    const char* what;
    std::vector<TAudioSample> sounds;
    std::vector<float> volumes;
  } cases[] = {
      {"one effect at unity", {Sine(20000, 440, LIMIT_THRESHOLD)}, {1.0f}},
      {"two effects at half volume", {Sine(20000, 440, 22000), Sine(20000, 97, 20000)}, {0.5f, 0.5f}},
  };
  for (const Case& c : cases) {
    SetUp();
    std::vector<std::shared_ptr<TChannel>> chans;
    for (size_t k = 0; k < c.sounds.size(); k++) chans.push_back(Play(c.sounds[k], c.volumes[k]));
    std::vector<int16_t> out = Mix(20000);
    for (int i = 0; i < 20000; i++) {
      int want = 0;
      for (size_t k = 0; k < c.sounds.size(); k++) want += (ValuesOf(c.sounds[k])[i] * VolumeToGain(c.volumes[k])) >> 12;
      ASSERT_EQ(out[2 * i], want) << c.what << ", frame " << i;
      ASSERT_EQ(out[2 * i + 1], want) << c.what << ", frame " << i;
    }
  }
}

TEST_F(Limiter, EachGameSoundAloneAtUnityIsUntouched) {
  // The game's own files: an effect played alone comes out as decoded, and the music's
  // peaks stay under the knee, so each is heard exactly as it was made.
  for (const char* name : {"plasma", "firewall", "explode", "powerup", "stageclear", "gamestart", "virus"}) {
    SetUp();
    std::string path = std::string(KELVANE_SOURCE_DIR) + "/data/" + name + ".ogg";
    std::vector<uint8_t> bytes = ReadBytes(path);
    auto sample = DecodeOggVorbis(bytes.data(), bytes.size());
    ASSERT_TRUE(sample) << path;
    std::vector<int16_t> decoded = ValuesOf(*sample);
    int peak = 0;
    for (int16_t v : decoded) peak = std::max(peak, std::abs(int(v)));
    EXPECT_LE(peak, LIMIT_THRESHOLD) << name << " peaks past the limiter's threshold";
    if (sample->format != SF_MONO16LE || sample->hertz != MIX_RATE) continue;  // the music: its peak is the check
    Play(*sample);
    std::vector<int16_t> out = Mix(sample->length);
    for (int i = 0; i < sample->length; i++) {
      ASSERT_EQ(out[2 * i], decoded[i]) << name << ", frame " << i;
      ASSERT_EQ(out[2 * i + 1], decoded[i]) << name << ", frame " << i;
    }
  }
}

TEST_F(Limiter, TwoFullScaleEffectsTouchTheCeilingOnlyDuringTheAttack) {
  struct Case {
    const char* what;
    TAudioSample a, b;
  } cases[] = {
      {"two full-scale tones", Sine(44100, 440, 32767), Sine(44100, 440, 32767)},
      {"a tone and a low one", Sine(44100, 660, 32767), Sine(44100, 55, 32767)},
      {"two full-scale steps", Wave(44100, [](int) { return int16_t(32767); }), Wave(44100, [](int) { return int16_t(32767); })},
  };
  for (const Case& c : cases) {
    SetUp();
    Play(c.a), Play(c.b);
    std::vector<int16_t> out = Mix(44100);
    EXPECT_TRUE(FramesAtOrPast(out, LIMIT_CEILING + 1).empty()) << c.what << ": a sample past the ceiling";
    std::vector<int> touching = FramesAtOrPast(out, LIMIT_CEILING);
    if (!touching.empty()) {
      EXPECT_LT(touching.back(), LIMIT_ATTACK_FRAMES) << c.what;
    }
    // Held under the ceiling, not silenced: the loud sum still comes out loud.
    EXPECT_GE(FramesAtOrPast(out, LIMIT_THRESHOLD, 22050, 44100).size(), 20u) << c.what;
  }
}

TEST_F(Limiter, GainIsBackAtUnityWithinTheReleaseTime) {
  // A quiet tone sounds all along; two full-scale tones end after a fifth of a second.
  const int loud_end = 8820, frames = 44100;
  TAudioSample quiet = Sine(frames, 300, 3000);
  Play(quiet), Play(Sine(loud_end, 440, 32767)), Play(Sine(loud_end, 440, 32767));
  std::vector<int16_t> out = Mix(frames);
  std::vector<int16_t> plain = ValuesOf(quiet);
  // The peak of all three is 20 log10((2 x 32767 + 3000) / threshold) dB over the knee.
  int recovered = loud_end + LimitRecoveryFrames(20.0f * std::log10(68534.0f / float(LIMIT_THRESHOLD)));
  ASSERT_LT(recovered, frames);
  for (int i = recovered; i < frames; i++) {
    ASSERT_EQ(out[2 * i], plain[i]) << "frame " << i;
    ASSERT_EQ(out[2 * i + 1], plain[i]) << "frame " << i;
  }
  // And the release is gradual: just after the loud tones stop, the quiet one is still held down.
  int held = 0;
  for (int i = loud_end + 10; i < loud_end + LIMIT_HOLD_FRAMES; i++) held += std::abs(out[2 * i]) < std::abs(plain[i]) - 2;
  EXPECT_GT(held, LIMIT_HOLD_FRAMES / 2);
}
