// The keys every screen shares: pause, resume, back to the title, quit; and one whole frame
// of the main loop.
#include <SDL.h>
#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <thread>
#include "app/assets.h"
#include "app/mainloop.h"
#include "app/menu.h"
#include "game/globals.h"
#include "game/player.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "support/app_fixture.h"
#include "support/draw_calls.h"
#include "support/virtual_pad.h"
#include "synthetic_input.h"

namespace {

class GlobalKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenGraphics(640, 480, 0, 60, 2) != nullptr);
    pause_backdrop = CreateBlankImage(640, 480, 1, -1);
    quit_requested = 0;
    ASSERT_TRUE(pad.Attach(2, 4, 0));
    CountJoysticks();
    ClearKeyHits();
    ClearMouseHits();
  }
  void TearDown() override { pad.Detach(); }
  void PressJoy2() {
    pad.SetButton(2, 0);
    ReadJoyButtonHit(2, 0);
    pad.SetButton(2, 1);
  }
  virtual_pad pad;
};

TEST_F(GlobalKeysTest, EscapeWalksFromPlayToPauseToTitleToExit) {
  game_state = GS_PLAYING;
  synthetic::TapKey(SDL_SCANCODE_ESCAPE);
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PAUSED);
  EXPECT_EQ(quit_requested, 0);
  synthetic::TapKey(SDL_SCANCODE_ESCAPE);
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_TITLE);
  EXPECT_EQ(quit_requested, 0);
  synthetic::TapKey(SDL_SCANCODE_ESCAPE);
  HandleGlobalKeys();
  EXPECT_EQ(quit_requested, 1);
}

TEST_F(GlobalKeysTest, SpaceTogglesOnlyBetweenPlayAndPause) {
  game_state = GS_PLAYING;
  synthetic::TapKey(SDL_SCANCODE_SPACE);
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PAUSED);
  synthetic::TapKey(SDL_SCANCODE_SPACE);
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PLAYING);
  for (int s : {GS_TITLE, GS_GAME_OVER, GS_SHIP_LOST}) {
    game_state = s;
    synthetic::TapKey(SDL_SCANCODE_SPACE);
    HandleGlobalKeys();
    EXPECT_EQ(game_state, s);
    EXPECT_EQ(quit_requested, 0);
  }
}

TEST_F(GlobalKeysTest, EscapeDoesNothingOnGameOverAndShipLost) {
  for (int s : {GS_GAME_OVER, GS_SHIP_LOST}) {
    game_state = s;
    synthetic::TapKey(SDL_SCANCODE_ESCAPE);
    HandleGlobalKeys();
    EXPECT_EQ(game_state, s);
    EXPECT_EQ(quit_requested, 0);
  }
}

TEST_F(GlobalKeysTest, JoystickButtonTwoPausesAndResumes) {
  game_state = GS_PLAYING;
  PressJoy2();
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PAUSED);
  PressJoy2();
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PLAYING);
}

TEST_F(GlobalKeysTest, EscapeThenJoystickButtonTwoInOneFrameKeepsPlaying) {
  game_state = GS_PLAYING;
  synthetic::TapKey(SDL_SCANCODE_ESCAPE);
  synthetic::TapKey(SDL_SCANCODE_SPACE);  // lost: Escape's clear throws it away
  PressJoy2();
  HandleGlobalKeys();
  EXPECT_EQ(game_state, GS_PLAYING);
}

TEST_F(GlobalKeysTest, PauseCopiesTheLastFrame) {
  SetClearColor(0, 200, 0);
  ClearScreen();
  FlipFrame(0);
  game_state = GS_PLAYING;
  synthetic::TapKey(SDL_SCANCODE_SPACE);
  HandleGlobalKeys();
  std::shared_ptr<TPixmap> still = pause_backdrop->Lock(0, 1, 0);
  ASSERT_TRUE(still);
  const uint8_t* p = still->PixelPtr(100, 100);
  EXPECT_EQ(p[1], 200);
  SetClearColor(0, 0, 0);
}

TEST_F(GlobalKeysTest, CloseRequestQuitsFromAnyScreen) {
  game_state = GS_PAUSED;
  synthetic::PushQuit();
  HandleGlobalKeys();
  EXPECT_EQ(quit_requested, 1);
}

// Each pause key, and each way out of the pause: the pointer goes to the first row and the
// presses made with the key are thrown away.
TEST_F(GlobalKeysTest, PausingAndLeavingThePauseThrowAwayPressesAndPlaceThePointer) {
  struct key_case {
    int from;
    SDL_Scancode key;
    int to, pointer_moved;
  };
  const key_case cases[] = {{GS_PLAYING, SDL_SCANCODE_ESCAPE, GS_PAUSED, 1},
                            {GS_PLAYING, SDL_SCANCODE_SPACE, GS_PAUSED, 1},
                            {GS_PAUSED, SDL_SCANCODE_ESCAPE, GS_TITLE, 1},
                            {GS_PAUSED, SDL_SCANCODE_SPACE, GS_PLAYING, 0}};
  for (const key_case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
    MoveMouse(10, 20);
    PollSystem();
    game_state = c.from;
    synthetic::TapKey(c.key);
    synthetic::TapKey(SDL_SCANCODE_LCTRL);
    synthetic::ClickMouse();
    HandleGlobalKeys();
    EXPECT_EQ(game_state, c.to);
    EXPECT_EQ(ReadKeyHit(162), 0);
    EXPECT_EQ(ReadMouseHit(1), 0);
    PollSystem();
    EXPECT_EQ(PointerX() * 1000 + PointerY(), c.pointer_moved ? 320265 : 10020);
  }
}

// The still is the presented picture itself, pixel for pixel, not shifted.
TEST_F(GlobalKeysTest, ThePauseStillIsThePictureJustPresented) {
  SetClearColor(0, 0, 0);
  ClearScreen();
  SetBlendMode(2);
  SetDrawColor(250, 10, 10);
  FillRect(100, 100, 10, 10);
  FlipFrame(0);
  std::shared_ptr<TPixmap> shown = GrabPixmap(0, 0, 640, 480);
  game_state = GS_PLAYING;
  synthetic::TapKey(SDL_SCANCODE_SPACE);
  HandleGlobalKeys();
  std::shared_ptr<TPixmap> still = pause_backdrop->Lock(0, 1, 0);
  ASSERT_TRUE(still && shown);
  int red = 0;
  for (int y = 90; y < 120; y++)
    for (int x = 90; x < 120; x++) {
      const uint8_t* p = still->PixelPtr(x, y);  // black is the mask colour: clear in the still
      ASSERT_EQ(p[3] ? p[0] : 0, shown->PixelPtr(x, y)[0]) << x << "," << y;
      red += shown->PixelPtr(x, y)[0] == 250;
    }
  EXPECT_GE(red, 100);
}

// One frame of the main loop: background, the screen of the state, the panel, the Retro
// Line FX over all of it, then the present, the global keys and the wait while suspended.
class RunFrame : public AppFixture {
 public:
  static void SetUpTestSuite() {
    AppFixture::SetUpTestSuite();
    LoadMenuAssets();
  }
  static void Presented() { drawn_at_present = calls ? static_cast<int>(calls->size()) : -1; }
  static inline std::vector<TDrawCall>* calls = nullptr;
  static inline int drawn_at_present = -1;
};

TEST_F(RunFrame, EachStateDrawsItsScreenBetweenTheBackgroundAndThePanel) {
  struct state_case {
    int state;
    const char* first;   // what the background draws first
    const char* screen;  // a text only that screen shows, or "" for none
  };
  const state_case cases[] = {{GS_TITLE, "board#0", "Start Game"},  {GS_PAUSED, "backdrop#0", "Resume Game"},
                              {GS_PLAYING, "board#0", "Get Ready!!"}, {GS_GAME_OVER, "board#0", "Kelvane Destroyed"},
                              {GS_SHIP_LOST, "board#0", ""},         {0, "board#0", ""}};
  SetPresentHook(Presented);
  for (const state_case& c : cases) {
    SCOPED_TRACE(c.state);
    game_state = c.state, stage_phase = 0, phase_timer = 0, retro_fx = 1, quit_requested = 0;
    player = player_tag();
    pause_backdrop = appfix::SolidImage(640, 480, 9, 9, 9);
    drawcalls::recorder rec;
    calls = &rec.calls;
    synthetic::TapKey(SDL_SCANCODE_ESCAPE);
    ::RunFrame();
    calls = nullptr;
    std::vector<std::string> whats = rec.Whats();
    ASSERT_GT(whats.size(), 240u);
    EXPECT_EQ(whats[0], c.first);
    auto panel = std::find(whats.begin(), whats.end(), "rect640x26");
    std::string quoted = std::string("'").append(c.screen).append("'");
    auto screen = std::find(whats.begin(), whats.end(), quoted);
    ASSERT_NE(panel, whats.end());
    if (*c.screen) {
      EXPECT_LT(screen, panel) << "the screen is drawn before the panel";
    }
    int texts = 0;
    for (auto w = whats.begin(); w != panel; ++w) texts += (*w)[0] == '\'';
    if (!*c.screen) {
      EXPECT_EQ(texts, 0) << "this state draws no screen of its own";
    }
    EXPECT_EQ(whats.back(), "line-640,479") << "the Retro Line FX comes last";
    EXPECT_EQ(drawn_at_present, static_cast<int>(whats.size())) << "presented once everything was drawn";
    EXPECT_EQ(quit_requested, c.state == GS_TITLE) << "the keys come after the present";
  }
  SetPresentHook(nullptr);
  retro_fx = 0, game_state = GS_TITLE;
}

int ten_ms_naps = 0;
void CountingSleep(int ms) {
  ten_ms_naps += ms == 10;
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The wait sleeps in short naps, so a player's machine idles while the game is away.
TEST_F(RunFrame, WaitsWhileSuspendedAtTheEndOfTheFrame) {
  game_state = GS_TITLE;
  ten_ms_naps = 0;
  SetClockSeam(nullptr, CountingSleep);
  synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  std::thread wake([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  });
  auto start = std::chrono::steady_clock::now();
  ::RunFrame();
  auto took = std::chrono::steady_clock::now() - start;
  wake.join();
  SetClockSeam(nullptr, nullptr);
  EXPECT_GE(took, std::chrono::milliseconds(100));
  EXPECT_GE(ten_ms_naps, 5) << "a busy wait, or naps of another length";
}

int fake_now = 0, slept_ms = 0;
int FakeNow() { return fake_now; }
void FakeSleep(int ms) { slept_ms += ms, fake_now += ms; }

// Frames are paced: a frame that took no time waits out its sixtieth of a second.
TEST_F(RunFrame, FramesArePacedToSixtyASecond) {
  game_state = GS_TITLE;
  SetClockSeam(FakeNow, FakeSleep);
  FlipFrame(-1);  // the pacing starts from here
  slept_ms = 0;
  for (int f = 0; f < 60; f++) ::RunFrame();
  SetClockSeam(nullptr, nullptr);
  EXPECT_NEAR(slept_ms, 1000, 17);
}

}  // namespace
