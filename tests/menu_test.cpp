// Title and pause menus: the row under the pointer, what each click does, the volume
// arithmetic, the joystick pointer and the Retro Line FX overlay.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/assets.h"
#include "app/menu.h"
#include "game/player.h"
#include "platform/font.h"
#include "support/app_fixture.h"
#include "support/draw_calls.h"
#include "support/virtual_pad.h"

using appfix::PixelAt;
using appfix::Rgb;

namespace {

struct FakeChannel : TChannel {
  float volume = -1;
  int stops = 0, paused = 1;
  void Stop() override { stops++; }
  void SetPaused(int p) override { paused = p; }
  void SetVolume(float v) override { volume = v; }
  void SetPan(float) override {}
  void SetDepth(float) override {}
  void SetRate(float) override {}
  int Playing() override { return 0; }
};

// A sound that keeps the channel of every play, so the volume it was given can be read.
struct KeptSound : TSound {
  std::vector<std::shared_ptr<FakeChannel>> plays;
  std::shared_ptr<TChannel> Play(std::shared_ptr<TChannel> c) override { return Cue(c); }
  std::shared_ptr<TChannel> Cue(std::shared_ptr<TChannel>) override {
    plays.push_back(std::make_shared<FakeChannel>());
    return plays.back();
  }
};

class Menu : public AppFixture {
 protected:
  static void SetUpTestSuite() {
    AppFixture::SetUpTestSuite();
    LoadMenuAssets();
  }
  void SetUp() override {
    AppFixture::SetUp();
    game_state = GS_TITLE;
    quit_requested = 0;
    retro_fx = 0;
    sfx_volume = music_volume = 1.0f;
    sfx_volume_step = music_volume_step = 10;
    music_channel = music;
    snd_plasma = plasma;
    snd_gamestart = gamestart;
    player = player_tag();
  }
  void TearDown() override {
    music_channel.reset();
    AppFixture::TearDown();
  }
  // The pointer moved to (x, y), then one left click, then one menu frame.
  void ClickAt(int x, int y) {
    synthetic::PushMouseMove(x, y);
    synthetic::PushMouseButton(true, SDL_BUTTON_LEFT, x, y);
    synthetic::PushMouseButton(false, SDL_BUTTON_LEFT, x, y);
    RunMenu();
  }
  void FrameWithPointerAt(int x, int y) {
    synthetic::PushMouseMove(x, y);
    ClearScreen();
    RunMenu();
  }
  void ExpectOptionsUntouched() {
    EXPECT_EQ(game_state, GS_TITLE);
    EXPECT_EQ(quit_requested, 0);
    EXPECT_EQ(stereo_mode, 0);
    EXPECT_EQ(retro_fx, 0);
    EXPECT_EQ(sfx_volume_step, 10);
    EXPECT_EQ(music_volume_step, 10);
    EXPECT_TRUE(plasma->plays.empty());
    EXPECT_TRUE(gamestart->plays.empty());
  }

  std::shared_ptr<FakeChannel> music = std::make_shared<FakeChannel>();
  std::shared_ptr<KeptSound> plasma = std::make_shared<KeptSound>();
  std::shared_ptr<KeptSound> gamestart = std::make_shared<KeptSound>();
};

TEST_F(Menu, VocabularyReadsAsDesigned) {
  EXPECT_EQ(credit_line.size(), 36u);
  EXPECT_LE(MeasureTextWidth(credit_line) * 0.8, 632.0) << "the credit line runs off the screen";
  EXPECT_EQ(menu_items[1] + stereo_names[3], "3D Graphics: R\\C");
  EXPECT_EQ(menu_items[2] + onoff_names[1], "Retro Line FX: On");
  EXPECT_EQ(menu_items[3] + volume_names[10], "Sound Volume: Max");
  EXPECT_EQ(menu_items[4] + volume_names[0], "Music Volume: Off");
  EXPECT_EQ(volume_names[1], "10%");
  EXPECT_EQ(volume_names[9], "90%");
  EXPECT_EQ(menu_items[0], "Start Game");
  EXPECT_EQ(menu_items[5], "Exit Game");
}

TEST_F(Menu, RowFollowsPointerY) {
  EXPECT_EQ(MenuRowAt(0), -1);
  EXPECT_EQ(MenuRowAt(245), -1);
  EXPECT_EQ(MenuRowAt(246), 0);
  EXPECT_EQ(MenuRowAt(274), 0);
  EXPECT_EQ(MenuRowAt(275), 1);
  EXPECT_EQ(MenuRowAt(334), 2);
  EXPECT_EQ(MenuRowAt(335), 3);
  EXPECT_EQ(MenuRowAt(424), 5);
  EXPECT_GE(MenuRowAt(425), 6);
}

TEST_F(Menu, ClicksAboveAndBelowTheRowsOnlyClearHits) {
  for (int y : {245, 100, 425, 470}) {
    synthetic::PushKey(SDL_SCANCODE_ESCAPE, true);
    ClickAt(320, y);
    EXPECT_EQ(ReadKeyHit(27), 0) << y;
    ExpectOptionsUntouched();
  }
}

// A move onto the 3D row and a click, sent the moment the last row has been drawn: the
// events a quick hand or a script sends while the frame is half done. They arrive at the
// frame's click test, through a pad's update, which SDL runs on every pump of events.
class late_click {
 public:
  explicit late_click(const drawcalls::recorder* drawn) : drawn_(drawn) {
    pad_.Attach(0, 0, 0, [](void* me) { static_cast<late_click*>(me)->OnPump(); }, this);
  }
  int ok() const { return pad_.ok(); }
  int sent = 0;

 private:
  void OnPump() {
    if (sent || drawn_->calls.empty() || drawn_->calls.back().text.rfind(menu_items[5], 0) != 0) return;
    synthetic::PushMouseMove(320, 295);
    synthetic::PushMouseButton(true, SDL_BUTTON_LEFT, 320, 295);
    synthetic::PushMouseButton(false, SDL_BUTTON_LEFT, 320, 295);
    sent = 1;
  }
  const drawcalls::recorder* drawn_;
  virtual_pad pad_;  // last, so it is detached before the rest goes
};

TEST_F(Menu, ClickThatComesInMidFrameActsWhereItLanded) {
  for (int start_y : {200, 265}) {  // over no row, and over Start Game
    SCOPED_TRACE(start_y);
    stereo_mode = 0;
    FrameWithPointerAt(320, start_y);
    drawcalls::recorder drawn;
    late_click late(&drawn);
    ASSERT_TRUE(late.ok()) << SDL_GetError();
    RunMenu();
    ASSERT_TRUE(late.sent) << "the frame never asked for events after its rows were drawn";
    EXPECT_EQ(stereo_mode, 1);
    EXPECT_EQ(game_state, GS_TITLE);
    EXPECT_TRUE(gamestart->plays.empty());
  }
}

TEST_F(Menu, RowUnderThePointerIsHighlighted) {
  FrameWithPointerAt(620, 600);  // nothing selected, pointer off screen
  auto plain = appfix::Screen();
  FrameWithPointerAt(620, 295);  // the 3D row
  auto lit = appfix::Screen();
  auto band_differs = [&](int y0, int y1) {
    for (int y = y0; y < y1; y++)
      for (int x = 0; x < 600; x++)
        if (!(PixelAt(*plain, x, y) == PixelAt(*lit, x, y))) return true;
    return false;
  };
  EXPECT_TRUE(band_differs(280, 311));
  EXPECT_FALSE(band_differs(340, 371));
  EXPECT_FALSE(band_differs(0, 230));  // the logo
}

TEST_F(Menu, CreditLineOnlyOnTheTitle) {
  FrameWithPointerAt(620, 600);
  auto title = appfix::Screen();
  game_state = GS_PAUSED;
  FrameWithPointerAt(620, 600);
  auto pause = appfix::Screen();
  int lit_title = 0, lit_pause = 0;
  // Between the lives corner and the pointer parked at the bottom right.
  for (int y = 450; y < 480; y++)
    for (int x = 150; x < 600; x++) {
      lit_title += !(PixelAt(*title, x, y) == Rgb{0, 0, 0});
      lit_pause += !(PixelAt(*pause, x, y) == Rgb{0, 0, 0});
    }
  EXPECT_GT(lit_title, 0);
  EXPECT_EQ(lit_pause, 0);
}

TEST_F(Menu, ThreeDRowCyclesThroughTheFiveModes) {
  const int colours[5][6] = {{0, 0, 0, 0, 0, 0},
                             {140, 4, 40, 4, 100, 20},
                             {4, 100, 20, 140, 4, 10},
                             {4, 80, 60, 140, 4, 10},
                             {4, 20, 140, 140, 4, 20}};
  for (int click = 1; click <= 5; click++) {
    ClickAt(320, 295);
    int mode = click % 5;
    ASSERT_EQ(stereo_mode, mode);
    const int* c = colours[mode == 0 ? 4 : mode];  // "Off" keeps the last pair
    EXPECT_EQ(twdraw.leye_r, c[0]);
    EXPECT_EQ(twdraw.leye_g, c[1]);
    EXPECT_EQ(twdraw.leye_b, c[2]);
    EXPECT_EQ(twdraw.reye_r, c[3]);
    EXPECT_EQ(twdraw.reye_g, c[4]);
    EXPECT_EQ(twdraw.reye_b, c[5]);
  }
  EXPECT_EQ(game_state, GS_TITLE);
}

TEST_F(Menu, DamagedModeNeverBreaksTheMenu) {
  stereo_mode = 9;
  FrameWithPointerAt(320, 295);
  ClickAt(320, 295);
  EXPECT_EQ(stereo_mode, 0);
}

TEST_F(Menu, RetroRowToggles) {
  ClickAt(320, 325);
  EXPECT_EQ(retro_fx, 1);
  ClickAt(320, 325);
  EXPECT_EQ(retro_fx, 0);
}

TEST_F(Menu, SoundVolumeWrapsAndStepsInSinglePrecision) {
  ClickAt(320, 355);
  EXPECT_EQ(sfx_volume_step, 0);
  EXPECT_EQ(sfx_volume, 0.0f);
  ASSERT_EQ(plasma->plays.size(), 1u);
  EXPECT_EQ(plasma->plays[0]->volume, 0.0f);  // the sample plays silently
  for (int click = 2; click <= 11; click++) ClickAt(320, 355);
  EXPECT_EQ(sfx_volume_step, 10);
  EXPECT_EQ(sfx_volume, 1.0000001f);
  EXPECT_NE(sfx_volume, 1.0f);
  ASSERT_EQ(plasma->plays.size(), 11u);
  EXPECT_EQ(plasma->plays[1]->volume, 0.1f);
  EXPECT_EQ(plasma->plays[10]->volume, 1.0000001f);
  ClickAt(320, 355);
  EXPECT_EQ(sfx_volume_step, 0);
  EXPECT_EQ(sfx_volume, 0.0f);
}

TEST_F(Menu, MusicVolumeGoesStraightToTheChannel) {
  ClickAt(320, 385);
  EXPECT_EQ(music_volume_step, 0);
  EXPECT_EQ(music->volume, 0.0f);
  ClickAt(320, 385);
  EXPECT_EQ(music_volume_step, 1);
  EXPECT_EQ(music->volume, 0.1f);
  music_channel.reset();
  ClickAt(320, 385);  // no channel yet: nothing to tell
  EXPECT_EQ(music_volume_step, 2);
}

TEST_F(Menu, StartGameBeginsANewGame) {
  player.score = 4321;
  player.lives = 1;
  ClickAt(320, 265);
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(gamestart->plays.size(), 1u);
  EXPECT_EQ(player.score, 0);
  EXPECT_GT(player.lives, 1);
}

TEST_F(Menu, ExitGameAsksToQuit) {
  ClickAt(320, 415);
  EXPECT_EQ(quit_requested, 1);
  EXPECT_EQ(game_state, GS_TITLE);
}

TEST_F(Menu, PauseFormResumesWithoutReset) {
  game_state = GS_PAUSED;
  player.score = 4321;
  ClickAt(320, 265);
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(player.score, 4321);
  EXPECT_TRUE(gamestart->plays.empty());
}

TEST_F(Menu, PauseFormQuitsToTheTitleWithMusicStopped) {
  game_state = GS_PAUSED;
  ClickAt(320, 415);
  EXPECT_EQ(game_state, GS_TITLE);
  EXPECT_EQ(quit_requested, 0);
  EXPECT_EQ(music->stops, 1);
}

TEST_F(Menu, JoystickButtonZeroClicks) {
  Joystick();
  synthetic::PushMouseMove(320, 325);
  RunMenu();
  SetButton(0, 1);
  RunMenu();
  EXPECT_EQ(retro_fx, 1);
  RunMenu();  // still held: no second click
  EXPECT_EQ(retro_fx, 1);
}

TEST_F(Menu, FullyDeflectedJoystickMovesThePointer) {
  Joystick();
  synthetic::PushMouseMove(300, 300);
  ASSERT_EQ(PointerX(), 300);
  SetAxis(0, 32767);
  MovePointerByJoystick();
  EXPECT_EQ(PointerX(), 306);
  EXPECT_EQ(PointerY(), 300);
  MovePointerByJoystick();
  EXPECT_EQ(PointerX(), 312);
  SetAxis(0, -32768);
  SetAxis(1, -32768);  // up and left together
  MovePointerByJoystick();
  EXPECT_EQ(PointerX(), 306);
  EXPECT_EQ(PointerY(), 294);
  SetAxis(0, 32439);  // about 0.99
  SetAxis(1, 0);
  MovePointerByJoystick();
  EXPECT_EQ(PointerX(), 306);
  EXPECT_EQ(PointerY(), 294);
}

// In the menus the D-pad moves the pointer just as the stick fully deflected does.
TEST_F(Menu, DPadMovesThePointerAsTheStickDoes) {
  Joystick();
  synthetic::PushMouseMove(300, 300);
  ASSERT_EQ(PointerX(), 300);
  SetHat(SDL_HAT_RIGHTDOWN);
  RunMenu();  // the menu frame reads the pad first
  EXPECT_EQ(PointerX(), 306);
  EXPECT_EQ(PointerY(), 306);
  SetHat(SDL_HAT_LEFT);
  RunMenu();  // the menu frame reads the pad first
  EXPECT_EQ(PointerX(), 300);
  EXPECT_EQ(PointerY(), 306);
  SetHat(SDL_HAT_CENTERED);
  RunMenu();  // the menu frame reads the pad first
  EXPECT_EQ(PointerX(), 300);
  EXPECT_EQ(PointerY(), 306);
}

TEST_F(Menu, RetroLinesDarkenEveryOddRowWhenOn) {
  SetDrawColor(255, 255, 255);
  SetBlendMode(2);
  FillRect(0, 0, 640, 480);
  SetDrawScale(2.0f, 2.0f);
  DrawRetroLines(2);  // off: nothing
  auto off = appfix::Screen();
  EXPECT_EQ(PixelAt(*off, 10, 1), (Rgb{255, 255, 255}));
  retro_fx = 1;
  DrawRetroLines(2);
  auto on = appfix::Screen();
  for (int y = 0; y < 480; y++) {
    Rgb want = y % 2 ? Rgb{2, 2, 2} : Rgb{255, 255, 255};
    for (int x : {0, 1, 320, 638, 639}) ASSERT_EQ(PixelAt(*on, x, y), want) << x << "," << y;
  }
  EXPECT_EQ(GetBlendMode(), 1);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{255, 255, 255}));
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_FLOAT_EQ(sx, 1.0f);
}

// The menus as drawn: the logo, the credit line (title only), the six rows with the one under
// the pointer lit and larger, the pointer last; in stereo each as its eye copies.
TEST_F(Menu, DrawnAsDesignedPlainAndInStereo) {
  using drawcalls::AddDrawn;
  using drawcalls::CentredX;
  using drawcalls::CentredY;
  for (int paused : {0, 1}) {
    for (int stereo : {0, 3}) {
      SCOPED_TRACE(testing::Message() << "paused " << paused << ", stereo " << stereo);
      game_state = paused ? GS_PAUSED : GS_TITLE;
      stereo_mode = stereo;
      twdraw.slc(4, 80, 60, 140, 4, 10);
      synthetic::PushMouseMove(300, 300);  // over row 1
      std::vector<std::string> want;
      AddDrawn({"logo#0", 320, 140, "255,255,255", "1", 1, "r0 s1.2x1.5", 6, 4}, stereo, &want);
      if (!paused)
        AddDrawn({"'" + credit_line + "'", CentredX(credit_line, 320, 0.8f), CentredY(464, 0.8f), "200,200,250", "1", 3,
                  "r0 s0.8", 4, 2},
                 stereo, &want);
      const std::string rows[6] = {paused ? "Resume Game" : "Start Game", "3D Graphics: " + stereo_names[stereo],
                                   "Retro Line FX: Off", "Sound Volume: Max", "Music Volume: Max",
                                   paused ? "Quit This Game" : "Exit Game"};
      for (int i = 0; i < 6; i++) {
        float scale = i == 1 ? 1.2f : 1.0f;
        AddDrawn({"'" + rows[i] + "'", CentredX(rows[i], 320, scale), CentredY(265 + 30 * i, scale),
                  i == 1 ? "200,200,250" : "80,200,250", "1", 3, "r0 s" + drawcalls::Num(scale), i == 1 ? 6.0f : 5.0f, 2},
                 stereo, &want);
      }
      AddDrawn({"pointer#0", 300, 300, "255,255,255", "1", 1, "r0 s1", 6, 2}, stereo, &want);
      drawcalls::recorder rec;
      RunMenu();
      EXPECT_EQ(rec.Lines(), want);
    }
  }
  stereo_mode = 0;
}

// Retro Line FX: every odd row of the picture, dark, solid, unscaled; then mask and white again.
TEST_F(Menu, RetroLinesAreDrawnAsDesigned) {
  retro_fx = 1;
  SetDrawScale(2.0f, 3.0f);
  drawcalls::recorder rec;
  DrawRetroLines(7);
  std::vector<std::string> want;
  for (int y = 1; y <= 479; y += 2)
    want.push_back("line-640," + std::to_string(y) + " 0," + std::to_string(y) + " rgb7,7,7 a1 b2 r0 s1");
  EXPECT_EQ(rec.Lines(), want);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{255, 255, 255}));
  EXPECT_EQ(GetBlendMode(), 1);
}

// A value no name stands for (only a damaged state could hold one) reads "?", just past
// either end of each table as well as far away.
TEST_F(Menu, ValuesWithoutANameReadAsAQuestionMark) {
  struct value_case {
    int* value;
    int bad;
    const char* row;
  };
  const value_case cases[] = {{&stereo_mode, 5, "3D Graphics: ?"},         {&stereo_mode, -1, "3D Graphics: ?"},
                              {&retro_fx, 2, "Retro Line FX: ?"},         {&sfx_volume_step, 11, "Sound Volume: ?"},
                              {&music_volume_step, 11, "Music Volume: ?"}, {&music_volume_step, -1, "Music Volume: ?"}};
  for (const value_case& c : cases) {
    SCOPED_TRACE(c.row);
    int kept = *c.value;
    *c.value = c.bad;
    drawcalls::recorder rec;
    RunMenu();
    *c.value = kept;
    std::vector<std::string> whats = rec.Whats();
    std::string quoted = std::string("'").append(c.row).append("'");
    EXPECT_NE(std::find(whats.begin(), whats.end(), quoted), whats.end());
  }
}

}  // namespace
