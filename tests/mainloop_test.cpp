// The keys every screen shares: pause, resume, back to the title, quit.
#include <SDL.h>
#include <gtest/gtest.h>
#include "app/game.h"
#include "game/globals.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "synthetic_input.h"

namespace {

class GlobalKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenGraphics(640, 480, 0, 60, 2) != nullptr);
    pause_backdrop = CreateBlankImage(640, 480, 1, -1);
    quit_requested = 0;
    joy_index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
    ASSERT_GE(joy_index, 0);
    CountJoysticks();
    joy = SDL_JoystickOpen(joy_index);
    ClearKeyHits();
    ClearMouseHits();
  }
  void TearDown() override {
    SDL_JoystickClose(joy);
    SDL_JoystickDetachVirtual(joy_index);
  }
  void PressJoy2() {
    SDL_JoystickSetVirtualButton(joy, 2, SDL_RELEASED);
    ReadJoyButtonHit(2, 0);
    SDL_JoystickSetVirtualButton(joy, 2, SDL_PRESSED);
  }
  int joy_index = -1;
  SDL_Joystick* joy = nullptr;
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

}  // namespace
