// The program as it starts and ends: what the first title frame shows before anything was
// changed, every start-up step seen from outside, and the exit sequence. Each test needs a
// process to itself, so within the whole binary it runs in a child process.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include "app/assets.h"
#include "app/menu.h"
#include "app/program.h"
#include "game/gameover.h"
#include "game/music.h"
#include "game/player.h"
#include "game/screentext.h"
#include "game/sfx.h"
#include "platform/audio_backends.h"
#include "platform/mixer.h"
#include "platform/random.h"
#include "render/background.h"
#include "render/twdraw.h"
#include "support/draw_calls.h"
#include "support/run_alone.h"
#include "support/shared_display.h"
#include "support/soft_mix.h"
#include "support/temp_folder.h"
#include "support/virtual_pad.h"

namespace {

namespace fs = std::filesystem;

int fake_now = 0;
std::vector<int> slept;
int FakeClock() { return fake_now++; }
void FakeSleep(int ms) {
  slept.push_back(ms);
  fake_now += ms > 0 ? ms : 0;
}

std::vector<std::string> TextsOf(const drawcalls::recorder& rec) {
  std::vector<std::string> texts;
  for (const TDrawCall& c : rec.calls)
    if (c.kind == DC_TEXT) texts.push_back(c.text);
  return texts;
}

// What a player meets first: the options at their start values, the board at its start,
// nothing that ends the game, the effects at full volume, no shots counted yet.
TEST(StartValues, TheFirstTitleFrameShowsTheStartOptions) {
  KELVANE_RUN_ALONE();
  shared_display::Ensure();
  CreateBlankImages();
  LoadAssets();
  SetMenuVocabulary();
  game_state = GS_TITLE;
  drawcalls::recorder rec;
  BackgroundStep();
  RunMenu();
  DrawRetroLines(2);
  std::vector<std::string> rows = TextsOf(rec);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(rows.begin() + 2, rows.begin() + 6),
            (std::vector<std::string>{"3D Graphics: Off", "Retro Line FX: Off", "Sound Volume: Max", "Music Volume: Max"}));
  std::vector<std::string> lines = rec.Lines();
  EXPECT_EQ(lines[0], "board#0 320,240 rgb150,150,150 a1 b3 r-45 s3");
  EXPECT_EQ(lines[1], "board#1 960,-400 rgb150,150,150 a1 b3 r-45 s3");
  EXPECT_EQ(rec.Whats().back(), "pointer#0") << "no Retro Line FX over the pointer";
  EXPECT_EQ(quit_requested, 0);

  std::vector<screen_item> log;
  screen_log = &log;
  GameOverScreen();
  screen_log = nullptr;
  ASSERT_GE(log.size(), 6u);
  EXPECT_EQ(log[4].text + " / " + log[5].text, "Total Shots Fired: 0 / Total Fire Walls Launched: 0");

  struct heard_channel : TChannel {
    float volume = -1;
    void Stop() override {}
    void SetPaused(int) override {}
    void SetVolume(float v) override { volume = v; }
    void SetPan(float) override {}
    void SetDepth(float) override {}
    void SetRate(float) override {}
    int Playing() override { return 0; }
  };
  struct heard_sound : TSound {
    std::shared_ptr<heard_channel> last = std::make_shared<heard_channel>();
    std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> c) override { return Cue(c); }
    std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel>) override { return last; }
  };
  auto sound = std::make_shared<heard_sound>();
  PlaySfx(sound);
  EXPECT_EQ(sound->last->volume, 1.0f);

  // The music at its start volume is the music at full volume.
  ASSERT_EQ(SetAudioDriver("SoftMix"), 1);
  HoldSoftMixOutput(1);
  std::vector<int> peaks;
  for (int pass = 0; pass < 2; pass++) {
    if (pass) music_volume = 1.0f;
    StartMusic(1);
    ASSERT_TRUE(music_channel);
    peaks.push_back(MixedPeak());
    music_channel->Stop();
  }
  ShutdownAudio();
  EXPECT_GT(peaks[1], 0);
  EXPECT_EQ(peaks[0], peaks[1]);
}

// The program's folder with its sounds and two stored values, made the working folder,
// with a counting clock; all put back when it goes.
class start_folder {
 public:
  start_folder() {
    EXPECT_TRUE(made.Enter("start"));
    folder = made.path();
    CopySounds(fs::path(KELVANE_SOURCE_DIR) / "data", folder / "data");
    Store("data/hiscore.dat", 4321);
    Store("data/anaglyph3d.dat", 3);
    windowed = std::getenv("KELVANE_WINDOWED") != nullptr;
    setenv("KELVANE_WINDOWED", "1", 1);
    SetClockSeam(FakeClock, FakeSleep);
  }
  ~start_folder() {
    SetClockSeam(nullptr, nullptr);
    if (!windowed) unsetenv("KELVANE_WINDOWED");
    made.Remove();
  }
  void Store(const std::string& rel, int v) {
    std::ofstream out(folder / rel, std::ios::binary);
    for (int i = 0; i < 4; i++) out.put(static_cast<char>(v >> (8 * i)));
  }
  int Stored(const std::string& rel) {
    std::ifstream in(folder / rel, std::ios::binary);
    unsigned char b[4] = {};
    in.read(reinterpret_cast<char*>(b), 4);
    return in.gcount() == 4 ? (b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24) : -1;
  }
  temp_folder made;
  fs::path folder;
  bool windowed = false;
};

// Every start-up step leaves its mark: the window, the pad, the images and sounds, the menu's
// words, the stored stereo mode and best score, the splash, a new game's numbers, the pointer.
TEST(StartAndExit, StartUpThenExitSavesWhatChanged) {
  KELVANE_RUN_ALONE();
  start_folder here;
  virtual_pad pad;
  pad.Attach(2, 3, 0);
  drawcalls::recorder rec;
  ASSERT_EQ(StartProgram(), 1);
  EXPECT_STREQ(SDL_GetWindowTitle(DisplayWindow()), "Kelvane");
  EXPECT_EQ(ScreenWidth() * 1000 + ScreenHeight(), 640480);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  EXPECT_EQ(GetDefaultImageFlags(), 9);
  ASSERT_TRUE(ship_img && pause_backdrop && snd_plasma && game_font);
  EXPECT_EQ(ship_img->mask_r + ship_img->mask_g + ship_img->mask_b, 0);
  EXPECT_EQ(menu_items[0], "Start Game");
  EXPECT_EQ(stereo_mode, 3);
  EXPECT_EQ(twdraw.reye_r, 140);
  EXPECT_EQ(player.best_sc, 4321);
  EXPECT_EQ((std::vector<int>{player.lives, player.level, player.fwall, game_state}),
            (std::vector<int>{3, 1, 3, GS_TITLE}));
  EXPECT_NE(random_state, 4660) << "the generator was never seeded";
  std::vector<std::string> drawn = rec.Lines();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), "image#0 324,215 rgb4,80,60 a1 b4 r0 s0.1"), drawn.end())
      << "the splash's first frame, in the stored stereo mode, 25 pixels above the centre";
  ASSERT_TRUE(music_channel);
  EXPECT_EQ(music_channel->Playing(), 0);
  PollSystem();
  EXPECT_EQ(PointerX() * 1000 + PointerY(), 320265);
  pad.SetAxis(0, -32768);
  EXPECT_EQ(GetJoyAxisX(0), -1.0f) << "the pad was not counted";

  player.best_sc = 5000, stereo_mode = 1;
  slept.clear();
  SaveAndShutdown();  // no music playing: no wait
  EXPECT_EQ(slept, std::vector<int>{});
  EXPECT_EQ(here.Stored("data/hiscore.dat"), 5000);
  EXPECT_EQ(here.Stored("data/anaglyph3d.dat"), 1);
  EXPECT_EQ(twdraw.reye_r, 4) << "the saved mode's eye colours";

  game_state = GS_PLAYING;
  player_tag::reset(1);
  ASSERT_EQ(music_channel->Playing(), 1);
  SaveAndShutdown();
  EXPECT_EQ(music_channel->Playing(), 0);
  EXPECT_EQ(slept, std::vector<int>{500});
  pad.Detach();
  CloseGraphics();
}

}  // namespace
