// Sound: the mixer's output checked sample by sample, channel handles, back-end choice,
// and Ogg Vorbis streams made here with the encoder, whole and damaged.
#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_backends.h"
#include "platform/limiter.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "platform/stream.h"
#include "support/soft_mix.h"

namespace {

// Shared makers and checkers

// Reference waveform: irregular, so a wrong index or step shows.
int16_t Wave(int i) { return static_cast<int16_t>((i * 97) % 4001 - 2000); }

void PutLE(std::vector<uint8_t>* d, int16_t v) {
  d->push_back(static_cast<uint8_t>(v & 0xFF));
  d->push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

TAudioSample MonoSample(int frames, int hertz, int16_t (*value)(int)) {
  TAudioSample s;
  s.format = SF_MONO16LE, s.hertz = hertz, s.length = frames;
  for (int i = 0; i < frames; i++) PutLE(&s.data, value(i));
  return s;
}

TAudioSample ConstantSample(int16_t left, int16_t right, int frames) {
  TAudioSample s;
  s.format = SF_STEREO16LE, s.hertz = MIX_RATE, s.length = frames;
  for (int i = 0; i < frames; i++) PutLE(&s.data, left), PutLE(&s.data, right);
  return s;
}

std::vector<int16_t> Mix(int frames) {
  std::vector<int16_t> out(2 * frames, 12345);  // filler a silent mix must overwrite
  MixFrames(out.data(), frames);
  return out;
}

std::vector<int16_t> ValuesOf(const TMixSound& m) {
  std::vector<int16_t> v(m.data.size() / 2);
  for (size_t i = 0; i < v.size(); i++) v[i] = m.Value(i);
  return v;
}

int Expected(int value, int gain) { return (value * gain) >> 12; }

// Every frame in [from, to) holds exactly (l, r).
void ExpectFrames(const std::vector<int16_t>& out, int from, int to, int l, int r) {
  for (int i = from; i < to; i++) {
    ASSERT_EQ(out[2 * i], l) << "left, frame " << i;
    ASSERT_EQ(out[2 * i + 1], r) << "right, frame " << i;
  }
}

void ExpectSilent(const std::vector<int16_t>& out) { ExpectFrames(out, 0, int(out.size() / 2), 0, 0); }

class SoftMix : public SoftMixFixture {
 protected:

  std::shared_ptr<TSound> Make(const TAudioSample& s, int flags = 0) {
    auto sound = CurrentAudioDriver()->CreateSound(s, flags);
    EXPECT_TRUE(sound);
    return sound;
  }
  std::shared_ptr<TChannel> Start(const std::shared_ptr<TSound>& sound, float volume = 1.0f) {
    auto ch = sound->Cue(nullptr);
    EXPECT_TRUE(ch);
    ch->SetVolume(volume);
    ch->SetPaused(0);
    return ch;
  }
};

// Volume and gain

TEST_F(SoftMix, VolumeBecomesTruncatedGain) {
  EXPECT_EQ(VolumeToGain(1.0f), 4096);
  EXPECT_EQ(VolumeToGain(0.5f), 2048);
  EXPECT_EQ(VolumeToGain(0.05f), 204);
  EXPECT_EQ(VolumeToGain(0.0f), 0);
}

TEST_F(SoftMix, HalfVolumeGivesHalfAmplitude) {
  auto ch = Start(Make(ConstantSample(16384, -16384, 1000)), 0.5f);
  auto out = Mix(256);
  ExpectFrames(out, 0, 256, 8192, -8192);
}

TEST_F(SoftMix, SmallVolumeUsesTruncatedGain) {
  auto ch = Start(Make(ConstantSample(16384, 10000, 1000)), 0.05f);
  auto out = Mix(256);
  ExpectFrames(out, 0, 256, Expected(16384, 204), Expected(10000, 204));
}

TEST_F(SoftMix, ZeroVolumeIsSilent) {
  auto ch = Start(Make(ConstantSample(16384, 16384, 1000)), 0.0f);
  ExpectSilent(Mix(256));
  EXPECT_EQ(ch->Playing(), 1);
}

TEST_F(SoftMix, VolumeChangeTakesEffectAtNextBuffer) {
  auto ch = Start(Make(ConstantSample(8000, 8000, 10000)));
  ExpectFrames(Mix(64), 0, 64, 8000, 8000);
  ch->SetVolume(0.25f);
  ExpectFrames(Mix(64), 0, 64, 2000, 2000);
}

// A loud volume saturates rather than wrapping into silence or an inverted wave.
TEST_F(SoftMix, OutOfRangeVolumesSaturate) {
  auto sound = Make(ConstantSample(1000, -1000, 1000), SOUND_LOOP);
  auto ch = Start(sound, 16.0f);  // 65536 would wrap to 0
  ExpectFrames(Mix(32), 0, 32, Expected(1000, 65535), Expected(-1000, 65535));
  ch->SetVolume(10.0f);  // 40960 would wrap negative
  ExpectFrames(Mix(32), 0, 32, 10000, -10000);
  ch->SetVolume(-1.0f);
  ExpectSilent(Mix(32));
  ch->SetVolume(std::nanf(""));
  ExpectSilent(Mix(32));
}

// Looping, ending, cueing, pausing, stopping

TEST_F(SoftMix, LoopingChannelWrapsAndKeepsPlaying) {
  auto ch = Start(Make(MonoSample(100, MIX_RATE, Wave), SOUND_LOOP));
  auto out = Mix(350);
  for (int i = 0; i < 350; i++) ASSERT_EQ(out[2 * i], Wave(i % 100)) << i;
  EXPECT_EQ(ch->Playing(), 1);
  Mix(1000);
  EXPECT_EQ(ch->Playing(), 1);
}

TEST_F(SoftMix, EffectEndsAndReportsNotPlaying) {
  auto ch = Start(Make(MonoSample(100, MIX_RATE, Wave)));
  EXPECT_EQ(ch->Playing(), 1);
  auto out = Mix(256);
  for (int i = 0; i < 100; i++) ASSERT_EQ(out[2 * i + 1], Wave(i)) << i;
  ExpectFrames(out, 100, 256, 0, 0);
  EXPECT_EQ(ch->Playing(), 0);
  ch->SetPaused(0);
  EXPECT_EQ(ch->Playing(), 0);
  ExpectSilent(Mix(64));
}

TEST_F(SoftMix, CuedChannelIsSilentUntilUnpaused) {
  auto ch = Make(MonoSample(500, MIX_RATE, Wave))->Cue(nullptr);
  ASSERT_TRUE(ch);
  EXPECT_EQ(ch->Playing(), 0);
  ExpectSilent(Mix(128));
  EXPECT_EQ(ch->Playing(), 0);
  ch->SetPaused(0);
  EXPECT_EQ(ch->Playing(), 1);
  auto out = Mix(8);
  for (int i = 0; i < 8; i++) ASSERT_EQ(out[2 * i], Wave(i)) << "starts from the beginning";
}

TEST_F(SoftMix, PauseHoldsThePosition) {
  auto ch = Start(Make(MonoSample(500, MIX_RATE, Wave)));
  Mix(50);
  ch->SetPaused(1);
  EXPECT_EQ(ch->Playing(), 0);
  ExpectSilent(Mix(50));
  ch->SetPaused(0);
  auto out = Mix(10);
  for (int i = 0; i < 10; i++) ASSERT_EQ(out[2 * i], Wave(50 + i));
}

TEST_F(SoftMix, StopThenUnpauseDoesNothing) {
  auto ch = Start(Make(ConstantSample(5000, 5000, 1000), SOUND_LOOP));
  ExpectFrames(Mix(16), 0, 16, 5000, 5000);
  ch->Stop();
  EXPECT_EQ(ch->Playing(), 0);
  ch->SetPaused(0);
  ch->SetVolume(1.0f);
  EXPECT_EQ(ch->Playing(), 0);
  ExpectSilent(Mix(64));
}

// An ended channel's handle does not follow its slot to the next sound.
TEST_F(SoftMix, FinishedEffectStaysStaleAfterSlotReuse) {
  int first = MixAlloc();
  ASSERT_GE(first, 0);
  auto shortone = MakeMixSound(MonoSample(10, MIX_RATE, Wave), 0);
  ASSERT_EQ(MixStart(first, shortone, 0), 1);
  Mix(32);
  EXPECT_EQ(MixPlaying(first), 0);
  int second = MixAlloc();
  EXPECT_EQ(second & 0xFFF, first & 0xFFF) << "the freed slot is the first free one";
  EXPECT_NE(second, first);
  MixStart(second, MakeMixSound(ConstantSample(3000, 3000, 1000), SOUND_LOOP), 0);
  EXPECT_EQ(MixPlaying(first), 0);
  EXPECT_EQ(MixPlaying(second), 1);
  MixSetPaused(first, 1);
  MixStop(first);
  EXPECT_EQ(MixPlaying(second), 1);
  ExpectFrames(Mix(16), 0, 16, 3000, 3000);
  MixStop(second);
}

TEST_F(SoftMix, FinishedChannelObjectIgnoresTheNextSound) {
  auto old = Start(Make(MonoSample(10, MIX_RATE, Wave)));
  Mix(32);
  auto fresh = Start(Make(ConstantSample(3000, 3000, 1000), SOUND_LOOP));
  EXPECT_EQ(old->Playing(), 0);
  EXPECT_EQ(fresh->Playing(), 1);
  old->SetVolume(0.0f);
  old->Stop();
  EXPECT_EQ(fresh->Playing(), 1);
  ExpectFrames(Mix(16), 0, 16, 3000, 3000);
}

TEST_F(SoftMix, HandleHoldsSlotIndexAndReuseCount) {
  int a = MixAlloc();
  ASSERT_GE(a, 0);
  EXPECT_LT(a & 0xFFF, MIX_SLOTS);
  MixStop(a);
  int b = MixAlloc();
  EXPECT_EQ(b & 0xFFF, a & 0xFFF);
  EXPECT_EQ(b >> 12, (a >> 12) + 1);
  EXPECT_EQ(MixLive(a), 0);
  EXPECT_EQ(MixGain(a), -1);
  EXPECT_EQ(MixGain(b), 4096) << "a new channel starts at unity";
}

// Mixing several channels

TEST_F(SoftMix, OverlappingEffectsAdd) {
  auto a = Start(Make(ConstantSample(10000, -7000, 1000)));
  auto b = Start(Make(ConstantSample(5000, -2000, 1000)));
  ExpectFrames(Mix(128), 0, 128, 15000, -9000);
}

// The sum passes the limiter's threshold: held loud but under the ceiling, both sides
// alike. (The limiter's own cases are in limiter_test.cpp.)
TEST_F(SoftMix, OverlappingEffectsAreLimited) {
  auto a = Start(Make(ConstantSample(20000, -20000, 1000)));
  auto b = Start(Make(ConstantSample(20000, -20000, 1000)));
  auto out = Mix(512);
  for (int i = 0; i < 512; i++) {
    ASSERT_LT(out[2 * i], LIMIT_CEILING) << i;
    ASSERT_GT(out[2 * i], LIMIT_THRESHOLD) << i;
    ASSERT_EQ(out[2 * i + 1], -out[2 * i]) << i;
  }
}

TEST_F(SoftMix, StereoSoundKeepsItsSides) {
  auto ch = Start(Make(ConstantSample(1234, -4321, 100)));
  ExpectFrames(Mix(100), 0, 100, 1234, -4321);
}

TEST_F(SoftMix, DroppedEffectPlaysOnToItsEnd) {
  auto sound = Make(ConstantSample(4000, 4000, 100));
  Start(sound);  // channel not kept, as the game's effects
  auto out = Mix(200);
  ExpectFrames(out, 0, 100, 4000, 4000);
  ExpectFrames(out, 100, 200, 0, 0);
}

// Resampling and rate

// At half the output rate every source frame lands on an even output frame, and the
// odd ones fall halfway to the next.
TEST_F(SoftMix, HalfRateSoundIsInterpolated) {
  auto ch = Start(Make(MonoSample(100, 22050, Wave)));
  auto out = Mix(256);
  for (int k = 0; k < 100; k++) {
    ASSERT_EQ(out[4 * k], Wave(k)) << k;
    int next = k + 1 < 100 ? Wave(k + 1) : Wave(k);
    ASSERT_NEAR(out[4 * k + 2], (Wave(k) + next) / 2, 1) << k;
  }
  ExpectFrames(out, 200, 256, 0, 0);
  EXPECT_EQ(ch->Playing(), 0);
}

TEST_F(SoftMix, DoubleRateSoundSkipsFrames) {
  auto ch = Start(Make(MonoSample(200, 88200, Wave)));
  auto out = Mix(128);
  for (int k = 0; k < 100; k++) ASSERT_EQ(out[2 * k], Wave(2 * k)) << k;
  ExpectFrames(out, 100, 128, 0, 0);
}

TEST_F(SoftMix, SetRateScalesTheStep) {
  auto ch = Make(MonoSample(200, MIX_RATE, Wave))->Cue(nullptr);
  ch->SetRate(2.0f);
  ch->SetPaused(0);
  auto out = Mix(128);
  for (int k = 0; k < 100; k++) ASSERT_EQ(out[2 * k], Wave(2 * k)) << k;
  EXPECT_EQ(ch->Playing(), 0);
}

TEST_F(SoftMix, PanFadesTheFarSide) {
  auto ch = Start(Make(ConstantSample(8000, 8000, 1000), SOUND_LOOP));
  ch->SetPan(1.0f);
  ExpectFrames(Mix(16), 0, 16, 0, 8000);
  ch->SetPan(-0.5f);
  ExpectFrames(Mix(16), 0, 16, 8000, 4000);
  ch->SetPan(0.0f);
  ch->SetDepth(-1.0f);
  ExpectFrames(Mix(16), 0, 16, 4000, 4000);
}

// Channels and slots

TEST_F(SoftMix, CueGivesNothingWhenEverySlotIsTaken) {
  std::vector<std::shared_ptr<TChannel>> held;
  for (int i = 0; i < MIX_SLOTS; i++) held.push_back(AllocChannel());
  for (auto& ch : held) ASSERT_TRUE(ch);
  auto sound = Make(ConstantSample(1, 1, 10));
  EXPECT_FALSE(sound->Cue(nullptr));
  EXPECT_FALSE(AllocChannel());
  held.pop_back();  // an idle channel nobody holds gives its slot back
  EXPECT_TRUE(sound->Cue(nullptr));
}

TEST_F(SoftMix, CueOnAGivenChannelRestartsIt) {
  auto ch = AllocChannel();
  ASSERT_TRUE(ch);
  EXPECT_EQ(ch->Playing(), 0);
  auto cued = Make(MonoSample(300, MIX_RATE, Wave))->Cue(ch);
  EXPECT_EQ(cued, ch);
  ch->SetPaused(0);
  Mix(100);
  Make(ConstantSample(700, 700, 300))->Play(ch);
  ExpectFrames(Mix(16), 0, 16, 700, 700);
  ch->Stop();
  EXPECT_FALSE(Make(ConstantSample(700, 700, 300))->Cue(ch)) << "a stopped channel takes nothing";
}

// Sample formats

TEST_F(SoftMix, EightBitAndBigEndianSamplesAreConverted) {
  TAudioSample s8;
  s8.format = SF_MONO8, s8.hertz = MIX_RATE, s8.length = 3, s8.data = {128, 255, 0};
  auto m = MakeMixSound(s8, 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(ValuesOf(*m), (std::vector<int16_t>{0, 127 * 256, -128 * 256}));
  TAudioSample be;
  be.format = SF_STEREO16BE, be.hertz = MIX_RATE, be.length = 1, be.data = {0x12, 0x34, 0xFF, 0xFE};
  m = MakeMixSound(be, SOUND_LOOP);
  ASSERT_TRUE(m);
  EXPECT_EQ(ValuesOf(*m), (std::vector<int16_t>{0x1234, -2}));
  EXPECT_EQ(m->channels, 2);
  EXPECT_EQ(m->loop, 1);
}

// A long track must not be held twice while it becomes a sound.
TEST_F(SoftMix, NativeSampleIsTakenOverNotCopied) {
  TAudioSample s = ConstantSample(-300, 2500, 1000);
  s.data.resize(s.data.size() + 6);  // trailing bytes beyond the claimed length are dropped
  const uint8_t* bytes = s.data.data();
  auto m = MakeMixSound(std::move(s), 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->data.data(), bytes);
  ASSERT_EQ(m->data.size(), 4000u);
  EXPECT_EQ(m->Value(0), -300);
  EXPECT_EQ(m->Value(1999), 2500);
}

TEST_F(SoftMix, MalformedSamplesMakeNoSound) {
  TAudioSample s = MonoSample(100, MIX_RATE, Wave);
  s.length = 101;  // claims more than it holds
  EXPECT_FALSE(MakeMixSound(s, 0));
  s = MonoSample(100, 0, Wave);
  EXPECT_FALSE(MakeMixSound(s, 0));
  s = MonoSample(100, MIX_RATE, Wave);
  s.format = 7;
  EXPECT_FALSE(MakeMixSound(s, 0));
  s = MonoSample(0, MIX_RATE, Wave);
  EXPECT_FALSE(CurrentAudioDriver()->CreateSound(s, 0));
}

// Back-end choice

TEST(AudioDriver, NamesAreFoldedToLowerCase) {
  ShutdownAudio();
  EXPECT_EQ(SetAudioDriver("sOFTmIX"), 1);
  EXPECT_EQ(CurrentAudioDriver()->Name(), "SoftMix");
  EXPECT_EQ(SetAudioDriver("softmix multimedia"), 1);
  EXPECT_EQ(CurrentAudioDriver()->Name(), "SoftMix Multimedia");
  EXPECT_EQ(SetAudioDriver("NULL"), 1);
  EXPECT_EQ(CurrentAudioDriver()->Name(), "Null");
  EXPECT_EQ(SetAudioDriver("SoftMix DirectSound"), 0) << "no such output here";
  EXPECT_EQ(CurrentAudioDriver()->Name(), "Null");
  ShutdownAudio();
}

TEST(AudioDriver, SoftMixIsTheDefaultWithSmallBuffers) {
  ShutdownAudio();
  EXPECT_EQ(CurrentAudioDriver()->Name(), "SoftMix");
  EXPECT_GT(SoftMixBufferFrames(), 0);
  EXPECT_LE(SoftMixBufferFrames(), 1024);
  ShutdownAudio();
}

// Restores the audio output choice a test changed.
struct EnvGuard {
  explicit EnvGuard(const char* name) : name(name) {
    const char* v = std::getenv(name);
    had = v != nullptr;
    if (had) old = v;
  }
  ~EnvGuard() { had ? setenv(name, old.c_str(), 1) : unsetenv(name); }
  const char* name;
  std::string old;
  bool had = false;
};

TEST(AudioDriver, FallsBackToNullWhenTheOutputWontStart) {
  EnvGuard guard("SDL_AUDIODRIVER");
  ShutdownAudio();
  setenv("SDL_AUDIODRIVER", "no-such-output", 1);
  EXPECT_EQ(SetAudioDriver("SoftMix"), 0);
  EXPECT_EQ(CurrentAudioDriver()->Name(), "Null");
  ShutdownAudio();
  EXPECT_EQ(CurrentAudioDriver()->Name(), "Null") << "first use falls back as well";
  auto sound = CurrentAudioDriver()->CreateSound(ConstantSample(100, 100, 10), SOUND_LOOP);
  ASSERT_TRUE(sound);
  auto ch = sound->Cue(nullptr);
  ASSERT_TRUE(ch);
  ch->SetVolume(0.5f), ch->SetPan(1), ch->SetDepth(1), ch->SetRate(2), ch->SetPaused(0);
  EXPECT_EQ(ch->Playing(), 0);
  ch->Stop();
  ASSERT_TRUE(AllocChannel());
  EXPECT_EQ(AllocChannel()->Playing(), 0);
  ShutdownAudio();
}

TEST(AudioDriver, SoundsOfAShutOutputTakeNoChannel) {
  ShutdownAudio();
  ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
  auto sound = CurrentAudioDriver()->CreateSound(ConstantSample(100, 100, 10), 0);
  auto ch = sound->Cue(nullptr);
  ASSERT_TRUE(ch);
  ShutdownAudio();
  EXPECT_EQ(ch->Playing(), 0);
  ch->SetPaused(0);
  EXPECT_EQ(ch->Playing(), 0);
  EXPECT_FALSE(sound->Cue(nullptr));
}

// The game's calls while SDL's thread is mixing: effects overlapping, music paused and
// resumed, channels stopped; every answer must hold at once, whatever the mixer is doing.
TEST(AudioDriver, GameCallsWhileTheOutputRuns) {
  ShutdownAudio();
  ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
  auto effect = CurrentAudioDriver()->CreateSound(MonoSample(300, 22050, Wave), 0);
  auto music = CurrentAudioDriver()->CreateSound(ConstantSample(900, 900, 5000), SOUND_LOOP);
  auto music_channel = music->Cue(nullptr);
  music_channel->SetVolume(0.5f);
  music_channel->SetPaused(0);
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  for (int i = 0; std::chrono::steady_clock::now() < until; i++) {
    auto ch = effect->Cue(nullptr);
    ASSERT_TRUE(ch);
    ch->SetVolume(0.1f * (i % 11));
    ch->SetPaused(0);
    if (i % 3 == 0) {
      ch->Stop();
      ASSERT_EQ(ch->Playing(), 0);
    }
    music_channel->SetPaused(i % 2);
    ASSERT_EQ(music_channel->Playing(), 1 - i % 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  music_channel->SetPaused(0);
  EXPECT_EQ(music_channel->Playing(), 1);
  music_channel->Stop();
  EXPECT_EQ(music_channel->Playing(), 0);
  ShutdownAudio();
}

// The whole path through SDL: its disk output writes what the callback mixed.
TEST(AudioDriver, DiskOutputCarriesTheMix) {
  EnvGuard g1("SDL_AUDIODRIVER"), g2("SDL_DISKAUDIOFILE");
  std::string path = ::testing::TempDir() + "kelvane_sound_disk.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
  ShutdownAudio();
  ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
  auto sound = CurrentAudioDriver()->CreateSound(ConstantSample(6000, -6000, 4410), SOUND_LOOP);
  auto ch = sound->Cue(nullptr);
  ch->SetVolume(0.5f);
  ch->SetPaused(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ShutdownAudio();
  std::ifstream f(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  ASSERT_GE(bytes.size(), 4u * 1024);
  const auto* s = reinterpret_cast<const int16_t*>(bytes.data());
  int sounding = 0;
  for (size_t i = 0; i + 1 < bytes.size() / 2; i += 2) {
    if (s[i] == 0 && s[i + 1] == 0) continue;  // buffers filled before the channel started
    ASSERT_EQ(s[i], 3000);
    ASSERT_EQ(s[i + 1], -3000);
    sounding++;
  }
  EXPECT_GT(sounding, 1000);
}

// Ogg Vorbis

void AppendPage(std::vector<uint8_t>* out, const ogg_page& page) {
  out->insert(out->end(), page.header, page.header + page.header_len);
  out->insert(out->end(), page.body, page.body + page.body_len);
}

// A sine wave encoded with libvorbisenc; empty when the encoder refuses the shape.
std::vector<uint8_t> EncodeOgg(int channels, int hertz, int frames, int serial = 1) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, hertz, 0.4f) != 0) return vorbis_info_clear(&vi), out;
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);
  ogg_packet h1, h2, h3, op;
  ogg_page page;
  vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
  ogg_stream_packetin(&os, &h1), ogg_stream_packetin(&os, &h2), ogg_stream_packetin(&os, &h3);
  while (ogg_stream_flush(&os, &page)) AppendPage(&out, page);
  float** buf = vorbis_analysis_buffer(&vd, frames);
  for (int c = 0; c < channels; c++)
    for (int i = 0; i < frames; i++) buf[c][i] = 0.5f * std::sin(6.2831853f * 440.0f * i / hertz + c);
  vorbis_analysis_wrote(&vd, frames);
  vorbis_analysis_wrote(&vd, 0);
  while (vorbis_analysis_blockout(&vd, &vb) == 1) {
    vorbis_analysis(&vb, nullptr);
    vorbis_bitrate_addblock(&vb);
    while (vorbis_bitrate_flushpacket(&vd, &op)) {
      ogg_stream_packetin(&os, &op);
      while (ogg_stream_pageout(&os, &page)) AppendPage(&out, page);
    }
  }
  while (ogg_stream_flush(&os, &page)) AppendPage(&out, page);
  ogg_stream_clear(&os), vorbis_block_clear(&vb), vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc), vorbis_info_clear(&vi);
  return out;
}

std::shared_ptr<TAudioSample> Decode(const std::vector<uint8_t>& bytes) {
  return DecodeOggVorbis(bytes.data(), bytes.size());
}

int PeakOf(const TAudioSample& s) {
  int peak = 0;
  for (size_t i = 0; i + 1 < s.data.size(); i += 2)
    peak = std::max(peak, std::abs(int(int16_t(s.data[i] | s.data[i + 1] << 8))));
  return peak;
}

TEST(OggVorbis, MonoDecodesToFormatTwo) {
  auto bytes = EncodeOgg(1, 44100, 11025);
  ASSERT_FALSE(bytes.empty());
  auto s = Decode(bytes);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->format, SF_MONO16LE);
  EXPECT_EQ(s->hertz, 44100);
  EXPECT_EQ(s->length, 11025);
  EXPECT_EQ(s->data.size(), size_t(s->length) * 2);
  EXPECT_NEAR(PeakOf(*s), 16384, 2500) << "a half-scale sine";
}

TEST(OggVorbis, StereoDecodesToFormatFive) {
  auto s = Decode(EncodeOgg(2, 22050, 5000));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->format, SF_STEREO16LE);
  EXPECT_EQ(s->hertz, 22050);
  EXPECT_EQ(s->length, 5000);
  EXPECT_EQ(s->data.size(), size_t(s->length) * 4);
}

TEST_F(SoftMix, DecodedSoundPlaysAsDecoded) {
  auto s = Decode(EncodeOgg(1, 44100, 2000));
  ASSERT_TRUE(s);
  auto ch = Start(Make(*s));
  auto out = Mix(2000);
  for (int i = 0; i < 2000; i++) ASSERT_EQ(out[2 * i], int16_t(s->data[2 * i] | s->data[2 * i + 1] << 8)) << i;
}

TEST(OggVorbis, TruncatedStreamGivesNothing) {
  auto bytes = EncodeOgg(1, 44100, 44100);
  ASSERT_TRUE(Decode(bytes));
  for (size_t cut : {bytes.size() - 1, bytes.size() / 2, size_t(200), size_t(4), size_t(0)}) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
    EXPECT_FALSE(Decode(part)) << "cut at " << cut;
  }
  // Cut exactly before the last page: every page left is whole, but the stream never ends.
  std::string text(bytes.begin(), bytes.end());
  size_t last = text.rfind("OggS");
  ASSERT_NE(last, std::string::npos);
  ASSERT_GT(last, 0u);
  EXPECT_FALSE(Decode(std::vector<uint8_t>(bytes.begin(), bytes.begin() + last)));
}

TEST(OggVorbis, CorruptStreamGivesNothing) {
  auto bytes = EncodeOgg(2, 44100, 44100);
  for (size_t at : {bytes.size() / 2, bytes.size() - 10, size_t(30), size_t(100)}) {
    auto bad = bytes;
    bad[at] ^= 0x5A;
    EXPECT_FALSE(Decode(bad)) << "byte " << at;
  }
  bytes.push_back('x');  // junk after the end
  EXPECT_FALSE(Decode(bytes));
  std::vector<uint8_t> junk(5000);
  for (size_t i = 0; i < junk.size(); i++) junk[i] = uint8_t(i * 131 + 7);
  EXPECT_FALSE(Decode(junk));
  EXPECT_FALSE(DecodeOggVorbis(nullptr, 100));
}

// The stream cut into its pages, by the lengths in each page header.
std::vector<std::vector<uint8_t>> SplitPages(const std::vector<uint8_t>& bytes) {
  std::vector<std::vector<uint8_t>> pages;
  for (size_t at = 0; at + 27 <= bytes.size();) {
    size_t segments = bytes[at + 26], len = 27 + segments;
    for (size_t i = 0; i < segments; i++) len += bytes[at + 27 + i];
    pages.emplace_back(bytes.begin() + at, bytes.begin() + at + len);
    at += len;
  }
  return pages;
}

std::vector<uint8_t> JoinPages(const std::vector<std::vector<uint8_t>>& pages) {
  std::vector<uint8_t> out;
  for (auto& p : pages) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Whole pages with good checksums, but one missing or out of order.
TEST(OggVorbis, MissingOrSwappedPageGivesNothing) {
  auto bytes = EncodeOgg(2, 44100, 5 * 44100);
  auto pages = SplitPages(bytes);
  ASSERT_GE(pages.size(), 6u);
  ASSERT_EQ(JoinPages(pages), bytes);
  ASSERT_TRUE(Decode(JoinPages(pages)));
  auto dropped = pages;
  dropped.erase(dropped.begin() + 3);
  EXPECT_FALSE(Decode(JoinPages(dropped)));
  auto swapped = pages;
  std::swap(swapped[3], swapped[4]);
  EXPECT_FALSE(Decode(JoinPages(swapped)));
}

TEST(OggVorbis, OnlyOneOrTwoChannels) {
  auto three = EncodeOgg(3, 44100, 4410);
  if (three.empty()) GTEST_SKIP() << "encoder has no three-channel mode";
  EXPECT_FALSE(Decode(three));
}

TEST(OggVorbis, ChainedLinksMustShareOneShape) {
  auto a = EncodeOgg(1, 44100, 4410, 1), b = EncodeOgg(1, 44100, 4410, 2), c = EncodeOgg(2, 44100, 4410, 3);
  auto same = a;
  same.insert(same.end(), b.begin(), b.end());
  auto s = Decode(same), first = Decode(a);
  ASSERT_TRUE(s);
  ASSERT_TRUE(first);
  EXPECT_EQ(s->length, 8820);
  EXPECT_TRUE(std::equal(first->data.begin(), first->data.end(), s->data.begin())) << "the first link comes first";
  auto mixed = a;
  mixed.insert(mixed.end(), c.begin(), c.end());
  EXPECT_FALSE(Decode(mixed));
}

// Loading by stream name

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The game names its sounds with backslashes and without regard to case.
TEST_F(SoftMix, LoadByPathPlaysTheDecodedSound) {
  auto bytes = EncodeOgg(1, 44100, 1000);
  auto decoded = Decode(bytes);
  ASSERT_TRUE(decoded);
  WriteFile(::testing::TempDir() + "kelvane_beep.ogg", bytes);
  std::string name = ::testing::TempDir() + "KELVANE_Beep.ogg";
  for (char& c : name) c = c == '/' ? '\\' : c;
  auto sound = TSound::Load(name, SOUND_LOOP);
  std::remove((::testing::TempDir() + "kelvane_beep.ogg").c_str());
  ASSERT_TRUE(sound);
  auto ch = Start(sound);
  auto out = Mix(1500);
  for (int i = 0; i < 1500; i++)
    ASSERT_EQ(out[2 * i], int16_t(decoded->data[2 * (i % 1000)] | decoded->data[2 * (i % 1000) + 1] << 8)) << i;
  EXPECT_EQ(ch->Playing(), 1) << "loaded with the loop flag";
}

TEST_F(SoftMix, LoadOfMissingOrDamagedFileGivesNothing) {
  std::string path = ::testing::TempDir() + "kelvane_damaged.ogg";
  EXPECT_FALSE(TSound::Load(path, 0)) << "missing";
  auto bytes = EncodeOgg(2, 44100, 22050);
  WriteFile(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() * 2 / 3));
  EXPECT_FALSE(TSound::Load(path, 0)) << "truncated";
  WriteFile(path, {});
  EXPECT_FALSE(TSound::Load(path, 0)) << "empty";
  WriteFile(path, std::vector<uint8_t>(300, 'R'));
  EXPECT_FALSE(TSound::Load(path, 0)) << "not Ogg";
  std::remove(path.c_str());
  EXPECT_FALSE(TSound::Load(::testing::TempDir(), 0)) << "a directory";
}

TEST_F(SoftMix, LoadFromAnEmbeddedFile) {
  static const std::vector<uint8_t> bytes = EncodeOgg(2, 22050, 3000);
  RegisterEmbeddedFile("sound_test/chime.ogg", bytes.data(), int64_t(bytes.size()));
  for (const char* name : {"incbin::sound_test/chime.ogg", "Incbin::sound_test/chime.ogg"}) {
    auto sound = TSound::Load(name, 0);
    ASSERT_TRUE(sound) << name;
    auto ch = Start(sound);
    Mix(6000 - 64);
    EXPECT_EQ(ch->Playing(), 1) << "3000 frames at 22050 Hz last 6000 output frames";
    Mix(128);
    EXPECT_EQ(ch->Playing(), 0);
  }
  EXPECT_FALSE(TSound::Load("incbin::sound_test/CHIME.ogg", 0));
}

}  // namespace
