// The menus from the keyboard, through the real main loop: Up and Down move the pointer
// onto a row's centre so the hover rule lights it, Return and keypad Enter are a click
// there, the game's own keys keep their meanings, and "Exit Game" chosen from the
// keyboard ends the program with both files saved.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/mainloop.h"
#include "app/menu.h"
#include "app/program.h"
#include "game/player.h"
#include "game/pshot.h"
#include "platform/sound.h"
#include "support/app_fixture.h"
#include "support/child_process.h"
#include "support/counting_sound.h"

using appfix::PixelAt;
using appfix::Rgb;
using synthetic::TapKey;

namespace {

namespace fs = std::filesystem;

int fake_now = 0;
int FakeClock() { return fake_now++; }  // every look at it takes a millisecond
void FakeSleep(int ms) { fake_now += ms > 0 ? ms : 0; }

// The options and where the game stands, to compare a key's effect with a click's.
struct menu_outcome {
  int state, quit, stereo, retro, sfx_step, music_step;
  float sfx, music;
  int leye_r, reye_r, plasma_plays;
  bool operator==(const menu_outcome& o) const {
    return state == o.state && quit == o.quit && stereo == o.stereo && retro == o.retro &&
           sfx_step == o.sfx_step && music_step == o.music_step && sfx == o.sfx && music == o.music &&
           leye_r == o.leye_r && reye_r == o.reye_r && plasma_plays == o.plasma_plays;
  }
};

class MenuKeys : public AppFixture {
 protected:
  static void SetUpTestSuite() {
    AppFixture::SetUpTestSuite();
    LoadMenuAssets();
  }

  void SetUp() override {
    AppFixture::SetUp();
    char here[4096];
    saved_cwd = getcwd(here, sizeof here) ? here : "";
    ASSERT_EQ(chdir(KELVANE_BINARY_DIR), 0);  // the music is read from data/ there
    SetClockSeam(FakeClock, FakeSleep);
    saved_plasma = snd_plasma, saved_gamestart = snd_gamestart;
    snd_plasma = plasma, snd_gamestart = gamestart;
    ResetOptions();
    music_channel = AllocChannel();
    game_state = GS_TITLE;
    player_tag::reset(1);
    PointAt(600, 100);  // over the logo: no row lit
  }

  void TearDown() override {
    if (music_channel) music_channel->Stop();
    music_channel.reset();
    snd_plasma = saved_plasma, snd_gamestart = saved_gamestart;
    SetClockSeam(nullptr, nullptr);
    if (!saved_cwd.empty()) {
      EXPECT_EQ(chdir(saved_cwd.c_str()), 0);
    }
    game_state = GS_TITLE;
    AppFixture::TearDown();
  }

  void ResetOptions() {
    quit_requested = 0;
    stereo_mode = 0;
    twdraw = twdraw_tag();
    retro_fx = 0;
    sfx_volume = music_volume = 1.0f;
    sfx_volume_step = music_volume_step = 10;
    plasma->cues = gamestart->cues = 0;
  }

  void PointAt(int x, int y) {
    synthetic::PushMouseMove(x, y);
    ASSERT_EQ(PointerX(), x);
  }

  // One key tapped, then frames enough for the pointer it moved to be seen.
  void Key(SDL_Scancode scan) {
    TapKey(scan);
    RunFrame();
    RunFrame();
  }

  void ClickHere() {
    synthetic::ClickMouse();
    RunFrame();
  }

  // The row drawn in the highlight colour, read from the picture; -1 when none is. Only
  // left of the centre, where the pointer (drawn right of its spot) never comes.
  static int LitRow() {
    std::shared_ptr<TPixmap> shot = appfix::Screen();
    int best = -1, most = 0;
    for (int row = 0; row < 6; row++) {
      int n = 0, cy = 265 + 30 * row;
      for (int y = cy - 12; y <= cy + 12; y++)
        for (int x = 100; x < 312; x++) n += PixelAt(*shot, x, y) == Rgb{200, 200, 250};
      if (n > most) most = n, best = row;
    }
    return most >= 20 ? best : -1;
  }

  static int MusicPlaying() { return music_channel && music_channel->Playing(); }

  menu_outcome Outcome() const {
    return {game_state, quit_requested, stereo_mode, retro_fx, sfx_volume_step, music_volume_step,
            sfx_volume, music_volume, twdraw.leye_r, twdraw.reye_r, plasma->cues};
  }

  // From the paused game's menu, the pointer where pausing put it.
  void PauseAGame() {
    game_state = GS_TITLE;
    PointAt(320, 265);
    Key(SDL_SCANCODE_RETURN);
    ASSERT_EQ(game_state, GS_PLAYING);
    TapKey(SDL_SCANCODE_SPACE);
    RunFrame();
    ASSERT_EQ(game_state, GS_PAUSED);
    RunFrame();
  }

  std::shared_ptr<CountingSound> plasma = std::make_shared<CountingSound>();
  std::shared_ptr<CountingSound> gamestart = std::make_shared<CountingSound>();
  std::shared_ptr<TSound> saved_plasma, saved_gamestart;
  std::string saved_cwd;
};

TEST(MenuRows, StepWrapsAndStartsFromTheEnds) {
  struct step_case {
    int row, step, want;
  };
  const step_case cases[] = {{-1, 1, 0}, {-1, -1, 5}, {6, 1, 0}, {9, -1, 5}, {0, 1, 1},  {4, 1, 5},
                             {5, 1, 0},  {0, -1, 5}, {3, -1, 2}, {1, -1, 0}, {2, 1, 3}, {5, -1, 4}};
  for (const step_case& c : cases) EXPECT_EQ(StepMenuRow(c.row, c.step), c.want) << c.row << " by " << c.step;
  for (int row = 0; row < 6; row++) {
    EXPECT_EQ(MenuRowCentreY(row), 265 + 30 * row);
    EXPECT_EQ(MenuRowAt(MenuRowCentreY(row)), row);
  }
}

TEST_F(MenuKeys, DownFromNoRowLightsStartGameAndReturnStartsAGame) {
  RunFrame();
  ASSERT_EQ(LitRow(), -1);
  Key(SDL_SCANCODE_DOWN);
  EXPECT_EQ(LitRow(), 0);
  EXPECT_EQ(PointerX(), 320);
  EXPECT_EQ(PointerY(), 265);
  EXPECT_EQ(game_state, GS_TITLE);
  EXPECT_FALSE(MusicPlaying());

  player.score = 4321;
  TapKey(SDL_SCANCODE_RETURN);
  RunFrame();
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(gamestart->cues, 1);
  EXPECT_EQ(player.score, 0);
  EXPECT_TRUE(MusicPlaying());
  EXPECT_EQ(stage_phase, 0);
}

// Each step: the key, then the row lit once the pointer has moved.
TEST_F(MenuKeys, UpAndDownWrapOnBothMenus) {
  struct key_step {
    SDL_Scancode key;
    int lit;
  };
  const std::vector<key_step> title_walk = {
      {SDL_SCANCODE_UP, 5},   {SDL_SCANCODE_DOWN, 0}, {SDL_SCANCODE_UP, 5},   {SDL_SCANCODE_UP, 4},
      {SDL_SCANCODE_UP, 3},   {SDL_SCANCODE_DOWN, 4}, {SDL_SCANCODE_DOWN, 5}, {SDL_SCANCODE_DOWN, 0},
      {SDL_SCANCODE_DOWN, 1}, {SDL_SCANCODE_UP, 0},   {SDL_SCANCODE_UP, 5}};
  RunFrame();
  ASSERT_EQ(LitRow(), -1);
  for (size_t i = 0; i < title_walk.size(); i++) {
    Key(title_walk[i].key);
    EXPECT_EQ(LitRow(), title_walk[i].lit) << "title, step " << i;
    EXPECT_EQ(PointerY(), MenuRowCentreY(title_walk[i].lit)) << "title, step " << i;
  }
  EXPECT_EQ(Outcome(), (menu_outcome{GS_TITLE, 0, 0, 0, 10, 10, 1.0f, 1.0f, 0, 0, 0}));

  PauseAGame();
  ASSERT_EQ(LitRow(), 0);  // "Resume Game", where pausing put the pointer
  const std::vector<key_step> pause_walk = {{SDL_SCANCODE_UP, 5}, {SDL_SCANCODE_DOWN, 0}, {SDL_SCANCODE_DOWN, 1}};
  for (size_t i = 0; i < pause_walk.size(); i++) {
    Key(pause_walk[i].key);
    EXPECT_EQ(LitRow(), pause_walk[i].lit) << "pause, step " << i;
  }
  EXPECT_EQ(game_state, GS_PAUSED);
}

TEST_F(MenuKeys, ReturnOnAnOptionRowDoesWhatAClickThereDoes) {
  for (int row = 1; row <= 4; row++) {
    for (int presses : {1, 2, 5, 11}) {
      ResetOptions();
      PointAt(320, 265);
      for (int i = 0; i < row; i++) Key(SDL_SCANCODE_DOWN);
      for (int i = 0; i < presses; i++) Key(SDL_SCANCODE_RETURN);
      menu_outcome by_key = Outcome();

      ResetOptions();
      PointAt(320, MenuRowCentreY(row));
      for (int i = 0; i < presses; i++) ClickHere();
      EXPECT_EQ(by_key, Outcome()) << "row " << row << ", " << presses << " presses";
      EXPECT_EQ(game_state, GS_TITLE);
    }
  }
}

TEST_F(MenuKeys, ReturnCyclesTheThreeDRowThroughItsFiveModes) {
  PointAt(320, 265);
  Key(SDL_SCANCODE_DOWN);
  ASSERT_EQ(LitRow(), 1);
  const char* const shown[5] = {"M\\G", "R\\G", "R\\C", "R\\B", "Off"};
  for (int press = 0; press < 5; press++) {
    Key(SDL_SCANCODE_RETURN);
    EXPECT_EQ(stereo_names[stereo_mode], shown[press]);
    EXPECT_EQ(PointerY(), 295);
  }
  EXPECT_EQ(twdraw.leye_r, 4);  // "Off" keeps R\B's pair
  EXPECT_EQ(twdraw.reye_b, 20);
}

TEST_F(MenuKeys, KeypadEnterIsReturnAndTabStepsRows) {
  PointAt(320, 265);
  Key(SDL_SCANCODE_TAB);
  EXPECT_EQ(LitRow(), 1);
  Key(SDL_SCANCODE_TAB);
  EXPECT_EQ(LitRow(), 2);
  Key(SDL_SCANCODE_KP_ENTER);
  EXPECT_EQ(retro_fx, 1);
  for (SDL_Scancode shift : {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT}) {  // either Shift steps up
    synthetic::PushKey(shift, true);
    Key(SDL_SCANCODE_TAB);
    synthetic::PushKey(shift, false);
  }
  EXPECT_EQ(LitRow(), 0);
  EXPECT_EQ(retro_fx, 1);
}

TEST_F(MenuKeys, ReturnOnThePauseMenuResumesOrQuitsToTheTitle) {
  PauseAGame();
  player.score = 777;
  TapKey(SDL_SCANCODE_RETURN);  // "Resume Game"
  RunFrame();
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(player.score, 777);
  EXPECT_EQ(gamestart->cues, 1);  // only the start
  EXPECT_TRUE(MusicPlaying());

  TapKey(SDL_SCANCODE_ESCAPE);
  RunFrame();
  ASSERT_EQ(game_state, GS_PAUSED);
  RunFrame();
  Key(SDL_SCANCODE_UP);
  ASSERT_EQ(LitRow(), 5);  // "Quit This Game"
  TapKey(SDL_SCANCODE_RETURN);
  RunFrame();
  EXPECT_EQ(game_state, GS_TITLE);
  EXPECT_EQ(quit_requested, 0);
  EXPECT_FALSE(MusicPlaying());
  RunFrame();
  EXPECT_EQ(LitRow(), 0);  // the pointer back on "Start Game", at its home
  EXPECT_EQ((std::vector<int>{PointerX(), PointerY()}), (std::vector<int>{320, 265}));
}

TEST_F(MenuKeys, DownFiveTimesThenReturnOnExitGameAsksToQuit) {
  PointAt(320, 265);
  for (int i = 0; i < 5; i++) Key(SDL_SCANCODE_DOWN);
  ASSERT_EQ(LitRow(), 5);
  TapKey(SDL_SCANCODE_RETURN);
  RunFrame();
  EXPECT_EQ(quit_requested, 1);
  EXPECT_EQ(game_state, GS_TITLE);
}

// The game's keys are the game's: none of them moves the highlight or acts on a row.
TEST_F(MenuKeys, GameKeysDoNothingOnTheMenus) {
  const SDL_Scancode keys[] = {SDL_SCANCODE_LCTRL, SDL_SCANCODE_LALT, SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT};
  for (int paused = 0; paused < 2; paused++) {
    if (paused) PauseAGame();
    menu_outcome before = Outcome();
    PointAt(320, 295);
    RunFrame();
    for (SDL_Scancode key : keys) {
      Key(key);
      EXPECT_EQ(Outcome(), before) << SDL_GetScancodeName(key) << (paused ? " paused" : " on the title");
      EXPECT_EQ(PointerY(), 295) << SDL_GetScancodeName(key);
      EXPECT_EQ(LitRow(), 1) << SDL_GetScancodeName(key);
    }
  }
}

// Keys read in one frame go in the order they were likely typed: the moves, then Return on
// the row they reached.
TEST_F(MenuKeys, DownAndReturnInOneFrameActOnTheRowDownReached) {
  PointAt(320, 295);
  RunFrame();
  TapKey(SDL_SCANCODE_DOWN);
  TapKey(SDL_SCANCODE_RETURN);
  RunFrame();
  EXPECT_EQ(retro_fx, 1);
  EXPECT_EQ(stereo_mode, 0);
  RunFrame();
  EXPECT_EQ(LitRow(), 2);
}

// A click is handled first; its clearing throws away keys pressed in the same frame, as it
// does Escape and Space.
TEST_F(MenuKeys, KeyPressedWithAClickComesAfterItAndIsThrownAway) {
  PointAt(320, 295);
  RunFrame();
  TapKey(SDL_SCANCODE_RETURN);
  ClickHere();
  EXPECT_EQ(stereo_mode, 1);  // one step, not two
  TapKey(SDL_SCANCODE_DOWN);
  ClickHere();
  RunFrame();
  EXPECT_EQ(stereo_mode, 2);
  EXPECT_EQ(PointerY(), 295);  // the Down did not move the pointer
}

// Left Control pressed with the Return that resumes the game is thrown away with it: the
// ship does not fire on its first frame back.
TEST_F(MenuKeys, FirePressedWithTheReturnThatResumesIsThrownAway) {
  PauseAGame();
  int fired = shots_fired;
  synthetic::PushKey(SDL_SCANCODE_RETURN, true);
  synthetic::PushKey(SDL_SCANCODE_LCTRL, true);
  RunFrame();
  ASSERT_EQ(game_state, GS_PLAYING);
  RunFrame();
  EXPECT_EQ(shots_fired, fired);
  EXPECT_EQ(pshot_list.size(), 0);
  synthetic::PushKey(SDL_SCANCODE_LCTRL, false);
  synthetic::PushKey(SDL_SCANCODE_RETURN, false);
  RunFrame();
}

// The keys move the real pointer: a click that follows lands on the row they lit.
TEST_F(MenuKeys, ClickAfterTheKeysLandsOnTheRowTheyLit) {
  Key(SDL_SCANCODE_UP);
  Key(SDL_SCANCODE_UP);
  ASSERT_EQ(LitRow(), 4);
  ClickHere();
  EXPECT_EQ(music_volume_step, 0);
  EXPECT_EQ(sfx_volume_step, 10);
}

// --- the whole program, in a process of its own --------------------------------------

void SkipTheSplash() {
  static int pushed = 0;
  if (!pushed++) TapKey(SDL_SCANCODE_SPACE);
}

// Started by the test below in a scratch folder: the real start-up, frames of the real main
// loop, and the real exit sequence, which ends the process.
TEST(MenuKeysChild, DISABLED_DownFiveTimesThenReturnOnExitGame) {
  SetClockSeam(FakeClock, FakeSleep);
  SetPresentHook(SkipTheSplash);
  ASSERT_EQ(StartProgram(), 1);
  SetPresentHook(nullptr);
  ASSERT_EQ(game_state, GS_TITLE);
  int frame = 0;
  for (; frame < 60 && !quit_requested; frame++) {
    if (frame >= 1 && frame <= 5) TapKey(SDL_SCANCODE_DOWN);
    if (frame == 7) TapKey(SDL_SCANCODE_RETURN);
    RunFrame();
  }
  ASSERT_EQ(quit_requested, 1);
  ASSERT_EQ(frame, 8) << "the Return ended it";
  ASSERT_EQ(game_state, GS_TITLE);
  std::printf("menu keys child: quitting\n");
  std::fflush(stdout);
  SaveAndShutdown();
  ExitProgram();
}

TEST(MenuKeysProgram, ExitGameFromTheKeyboardEndsTheProgramWithBothFilesSaved) {
  childproc::game_folder g(1);
  ASSERT_FALSE(fs::exists(g.at("data/hiscore.dat")));
  ASSERT_FALSE(fs::exists(g.at("data/anaglyph3d.dat")));
  childproc::child_result r =
      childproc::RunOwnTests("MenuKeysChild.DISABLED_DownFiveTimesThenReturnOnExitGame", g.game(), g.root(),
                             {{"KELVANE_WINDOWED", "0"}});
  EXPECT_FALSE(r.timed_out);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("menu keys child: quitting"), std::string::npos) << r.out;
  EXPECT_EQ(g.Read("data/hiscore.dat"), childproc::IntBytes(0));
  EXPECT_EQ(g.Read("data/anaglyph3d.dat"), childproc::IntBytes(0));
}

}  // namespace
