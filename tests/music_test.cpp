// What a player hears: the stage music plays on through a lost ship, a pause and the
// game-over wait, stops when the CPU marker leaves or the game is left, starts afresh with
// each stage and waits while the game is suspended; effects start at the effects volume.
#include <atomic>
#include <functional>
#include <thread>
#include "app/mainloop.h"
#include "game/music.h"
#include "platform/audio_backends.h"
#include "platform/mixer.h"
#include "support/run_alone.h"
#include "support/screens_fixture.h"
#include "support/soft_mix.h"

namespace screens_test {
namespace {

class Music : public ScreensTest {
 public:
  void SetUp() override {
    ScreensTest::SetUp();
    stage_phase = 1;
    waves_spawned = waves_per_stage + 1;  // nothing spawns
    stage_music = music_channel;
  }
  // 'P' the stage's music playing, 'S' it stopped, 'N' a new channel playing.
  char Heard() const {
    if (music_channel != stage_music) return music_channel && music_channel->Playing() ? 'N' : '?';
    return stage_music && stage_music->Playing() ? 'P' : 'S';
  }
  void Frames(int n) {
    for (int f = 0; f < n; f++) Frame();
  }
  void Key(SDL_Scancode key) {
    synthetic::TapKey(key);
    HandleGlobalKeys();
  }
  void Fresh() {
    TearDown();
    SetUp();
    for (auto* s : {&plasma, &firewall, &explode, &powerup, &stageclear, &gamestart}) (*s)->cues = 0;
  }

  std::shared_ptr<TChannel> stage_music;
};

struct step {
  const char* what;
  std::function<void(Music&)> act;
  char heard;
  int state, phase;
};

TEST_F(Music, PlaysOnOrStopsAsTheDesignSays) {
  const std::vector<std::vector<step>> scripts = {
      {{"a virus takes a ship", [](Music& t) { t.VirusOnShip(), t.Frame(); }, 'P', GS_SHIP_LOST, 1},
       {"the ship-lost screen", [](Music& t) { t.Frames(149); }, 'P', GS_SHIP_LOST, 1},
       {"a new ship gets ready", [](Music& t) { t.Frames(1); }, 'P', GS_PLAYING, 0},
       {"and the stage runs on", [](Music& t) { t.Frames(200); }, 'P', GS_PLAYING, 1}},
      {{"Space pauses", [](Music& t) { t.Key(SDL_SCANCODE_SPACE); }, 'P', GS_PAUSED, 1},
       {"paused a while", [](Music& t) { t.Frames(100); }, 'P', GS_PAUSED, 1},
       {"Space resumes", [](Music& t) { t.Key(SDL_SCANCODE_SPACE); }, 'P', GS_PLAYING, 1},
       {"Escape pauses", [](Music& t) { t.Key(SDL_SCANCODE_ESCAPE); }, 'P', GS_PAUSED, 1},
       {"Escape again leaves the game", [](Music& t) { t.Key(SDL_SCANCODE_ESCAPE); }, 'S', GS_TITLE, 1}},
      {{"the last ship is lost", [](Music& t) { player.lives = 1, t.VirusOnShip(), t.Frame(); }, 'P', GS_GAME_OVER, 1},
       {"the statistics' wait", [](Music& t) { t.Frames(250); }, 'P', GS_GAME_OVER, 1},
       {"fire leaves for the title", [](Music& t) { t.TapEnter(), t.Frame(); }, 'S', GS_TITLE, 1}},
      {{"the CPU marker leaves", [](Music& t) { t.AddVirus(5, 0.5f, 300, 0, 0), t.Frame(); }, 'S', GS_PLAYING, 2},
       {"the stage's report", [](Music& t) { t.Frames(150); }, 'S', GS_PLAYING, 2},
       {"fire starts the next stage", [](Music& t) { t.TapFire(), t.Frame(); }, 'N', GS_PLAYING, 0}},
  };
  for (const auto& script : scripts) {
    Fresh();
    ASSERT_EQ(Heard(), 'P') << "the stage's music did not start";
    for (const step& s : script) {
      SCOPED_TRACE(s.what);
      s.act(*this);
      EXPECT_EQ(Heard(), s.heard);
      EXPECT_EQ(game_state, s.state);
      EXPECT_EQ(stage_phase, s.phase);
    }
  }
}

// Each event's cue, once: the effects a player hears as the game goes.
TEST_F(Music, EachEventCuesItsSound) {
  struct cue_case {
    const char* what;
    std::function<void(Music&)> act;
    std::shared_ptr<gamefix::CountingSound> Music::*sound;
  };
  const cue_case cases[] = {
      {"a volley", [](Music& t) { t.TapFire(), t.Frame(); }, &Music::plasma},
      {"a fire wall", [](Music& t) { synthetic::TapKey(SDL_SCANCODE_LALT), t.Frame(); }, &Music::firewall},
      {"a ship lost", [](Music& t) { t.VirusOnShip(), t.Frame(); }, &Music::explode},
      {"a capsule collected", [](Music& t) { t.AddVirus(6, player.x + 1.5f, player.y - 1.5f, 0, 1.0f), t.Frame(); },
       &Music::powerup},
      {"the marker gone", [](Music& t) { t.AddVirus(5, 0.5f, 300, 0, 0), t.Frame(); }, &Music::stageclear},
      {"the next stage", [](Music& t) { stage_phase = 2, phase_timer = 150, t.TapFire(), t.Frame(); },
       &Music::gamestart},
  };
  for (const cue_case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    c.act(*this);
    int heard = plasma->cues + firewall->cues + explode->cues + powerup->cues + stageclear->cues + gamestart->cues;
    EXPECT_EQ((this->*c.sound)->cues, 1);
    EXPECT_EQ(heard, 1) << "other sounds were cued too";
  }
}

// A channel that remembers what it was told.
struct heard_channel : TChannel {
  float volume = -1;
  std::atomic<int> paused{1}, stopped{0};  // read by the thread that ends a suspension
  void Stop() override { stopped = 1; }
  void SetPaused(int p) override { paused = p; }
  void SetVolume(float v) override { volume = v; }
  void SetPan(float) override {}
  void SetDepth(float) override {}
  void SetRate(float) override {}
  int Playing() override { return !stopped && !paused; }
};
struct heard_sound : TSound {
  std::shared_ptr<heard_channel> last;
  std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> c) override { return Cue(c); }
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel>) override { return last = std::make_shared<heard_channel>(); }
};

TEST_F(Music, EffectsStartAtTheEffectsVolume) {
  auto sound = std::make_shared<heard_sound>();
  sfx_volume = 0.3f;
  PlaySfx(sound);
  sfx_volume = 1.0f;
  ASSERT_TRUE(sound->last);
  EXPECT_FLOAT_EQ(sound->last->volume, 0.3f);
  EXPECT_EQ(sound->last->Playing(), 1);
  EXPECT_EQ(PlaySfx(nullptr), 0);  // a sound that never loaded is silence
}

// While the window is inactive the music waits; music that was not playing stays silent.
TEST_F(Music, WaitsWhileTheGameIsSuspended) {
  for (int was_playing : {1, 0}) {
    SCOPED_TRACE(was_playing);
    Fresh();
    auto music = std::make_shared<heard_channel>();
    music->paused = !was_playing;
    music_channel = music;
    int heard_meanwhile = -1;
    synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    std::thread wake([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      heard_meanwhile = music->Playing();
      synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    });
    WaitWhileSuspended();
    wake.join();
    EXPECT_EQ(heard_meanwhile, 0);
    EXPECT_EQ(music->Playing(), was_playing);
    EXPECT_EQ(music->stopped, 0);
  }
}

// The stage music starts at the music volume: at "Off" nothing of it is heard.
TEST_F(Music, StartsAtTheMusicVolume) {
  KELVANE_RUN_ALONE();  // the track is decoded under a mixer of its own, shut down after
  ShutdownAudio();  // a mixer of its own, which the test alone fills
  ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
  HoldSoftMixOutput(1);
  std::vector<int> peaks;
  for (float volume : {0.0f, 0.5f, 1.0f}) {
    music_volume = volume;
    StartMusic(1);
    ASSERT_TRUE(music_channel);
    peaks.push_back(MixedPeak());
    music_channel->Stop();
  }
  music_volume = 1.0f;
  ShutdownAudio();
  EXPECT_EQ(peaks[0], 0);
  EXPECT_GT(peaks[1], 0);
  EXPECT_LT(peaks[1], peaks[2]);
}

}  // namespace
}  // namespace screens_test
