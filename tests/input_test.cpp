// Input tables driven by real SDL events and SDL's virtual joystick.
#include <SDL.h>
#include <gtest/gtest.h>
#include <cmath>
#include "platform/display.h"
#include "platform/input.h"
#include "support/virtual_pad.h"
#include "synthetic_input.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenGraphics(640, 480, 0, 60, 2) != nullptr);
    ClearKeyHits();
    ClearMouseHits();
  }
};

using synthetic::PushKey;
using synthetic::PushMouseButton;
using synthetic::PushWindowEvent;

TEST_F(InputTest, GameKeysMapToVirtualKeyCodes) {
  struct { SDL_Scancode scan; int vk; } keys[] = {
      {SDL_SCANCODE_RETURN, 13}, {SDL_SCANCODE_ESCAPE, 27}, {SDL_SCANCODE_SPACE, 32},
      {SDL_SCANCODE_LEFT, 37},   {SDL_SCANCODE_RIGHT, 39},  {SDL_SCANCODE_LSHIFT, 160},
      {SDL_SCANCODE_RSHIFT, 161}, {SDL_SCANCODE_LCTRL, 162}, {SDL_SCANCODE_RCTRL, 163},
      {SDL_SCANCODE_LALT, 164},  {SDL_SCANCODE_RALT, 165},  {SDL_SCANCODE_A, 'A'},
      {SDL_SCANCODE_0, '0'},     {SDL_SCANCODE_F1, 112}};
  for (auto& k : keys) EXPECT_EQ(KeyCodeFromSdl(0, k.scan), k.vk) << SDL_GetScancodeName(k.scan);
}

TEST_F(InputTest, RightControlNeverSetsLeftControl) {
  PushKey(SDL_SCANCODE_RCTRL, true);
  EXPECT_EQ(ReadKeyHit(162), 0);
  EXPECT_EQ(IsKeyHeld(162), 0);
  EXPECT_EQ(ReadKeyHit(163), 1);
  EXPECT_EQ(IsKeyHeld(163), 1);
}

TEST_F(InputTest, HeldKeyCountsOnePressWhateverTheRepeats) {
  PushKey(SDL_SCANCODE_LEFT, true);
  for (int i = 0; i < 5; i++) PushKey(SDL_SCANCODE_LEFT, true, 1);
  EXPECT_EQ(IsKeyHeld(37), 1);
  EXPECT_EQ(ReadKeyHit(37), 1);
  EXPECT_EQ(ReadKeyHit(37), 0);
  PushKey(SDL_SCANCODE_LEFT, false);
  EXPECT_EQ(IsKeyHeld(37), 0);
}

TEST_F(InputTest, TwoPressesBetweenReadsCountTwo) {
  PushKey(SDL_SCANCODE_LCTRL, true);
  PushKey(SDL_SCANCODE_LCTRL, false);
  PushKey(SDL_SCANCODE_LCTRL, true);
  PushKey(SDL_SCANCODE_LCTRL, false);
  EXPECT_EQ(ReadKeyHit(162), 2);
  EXPECT_EQ(ReadKeyHit(162), 0);
}

TEST_F(InputTest, FlushForgetsHeldKeysUntilPressedAgain) {
  PushKey(SDL_SCANCODE_RIGHT, true);
  EXPECT_EQ(IsKeyHeld(39), 1);
  PushKey(SDL_SCANCODE_SPACE, true);  // pending at the flush: discarded with the rest
  ClearKeyHits();
  EXPECT_EQ(IsKeyHeld(39), 0);
  EXPECT_EQ(ReadKeyHit(32), 0);
  PushKey(SDL_SCANCODE_RIGHT, true, 1);  // auto-repeat of the held key sets nothing
  EXPECT_EQ(IsKeyHeld(39), 0);
  PushKey(SDL_SCANCODE_RIGHT, false);
  PushKey(SDL_SCANCODE_RIGHT, true);
  EXPECT_EQ(IsKeyHeld(39), 1);
  EXPECT_EQ(ReadKeyHit(39), 1);
}

TEST_F(InputTest, MouseButtonsHitsAndFlush) {
  PushMouseButton(true, SDL_BUTTON_LEFT);
  PushMouseButton(true, SDL_BUTTON_RIGHT);
  PushMouseButton(true, SDL_BUTTON_MIDDLE);
  EXPECT_EQ(IsMouseButtonHeld(1), 1);
  EXPECT_EQ(ReadMouseHit(1), 1);
  EXPECT_EQ(ReadMouseHit(2), 1);
  EXPECT_EQ(ReadMouseHit(3), 1);
  EXPECT_EQ(ReadMouseHit(1), 0);
  ClearMouseHits();
  EXPECT_EQ(IsMouseButtonHeld(1), 0);
  PushMouseButton(false, SDL_BUTTON_LEFT);
  PushMouseButton(true, SDL_BUTTON_LEFT);
  EXPECT_EQ(ReadMouseHit(1), 1);
}

TEST_F(InputTest, PointerFollowsMotionInPicturePixels) {
  MoveMouse(320, 265);
  EXPECT_EQ(PointerX(), 320);
  EXPECT_EQ(PointerY(), 265);
}

TEST_F(InputTest, DeactivationSuspendsAndClears) {
  PushKey(SDL_SCANCODE_LEFT, true);
  PushMouseButton(true, SDL_BUTTON_LEFT);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  EXPECT_EQ(IsAppSuspended(), 1);
  EXPECT_EQ(IsKeyHeld(37), 0);
  EXPECT_EQ(ReadMouseHit(1), 0);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(IsAppSuspended(), 0);
}

TEST_F(InputTest, CloseRequestIsTakenOnce) {
  synthetic::PushQuit();
  EXPECT_EQ(TakeCloseRequest(), 1);
  EXPECT_EQ(TakeCloseRequest(), 0);
}

TEST_F(InputTest, NoJoystickReadsZero) {
  CountJoysticks();
  ASSERT_EQ(SDL_NumJoysticks(), 0);
  EXPECT_EQ(GetJoyAxisX(0), 0.0f);
  EXPECT_EQ(GetJoyAxisY(0), 0.0f);
  EXPECT_EQ(ReadJoyButtonHit(0, 0), 0);
  EXPECT_EQ(IsJoyButtonHeld(0, 0), 0);
}

TEST(JoyAxis, ExtremesAreExact) {
  EXPECT_EQ(JoyAxisValue(-32768, -32768, 32767), -1.0f);
  EXPECT_EQ(JoyAxisValue(32767, -32768, 32767), 1.0f);
  float centre = JoyAxisValue(0, -32768, 32767);
  EXPECT_NE(centre, 0.0f);
  EXPECT_NEAR(centre, 0.0f, 1e-4);
  EXPECT_GT(JoyAxisValue(-32440, -32768, 32767), -1.0f);  // 0.99 of full deflection
  EXPECT_EQ(JoyAxisValue(5, 5, 5), 0.0f);
}

TEST_F(InputTest, VirtualJoystickAxesAndButtonPresses) {
  virtual_pad pad;
  ASSERT_TRUE(pad.Attach(2, 4, 0));
  ASSERT_EQ(CountJoysticks(), 1);
  SDL_Joystick* joy = pad.joystick();
  SDL_JoystickSetVirtualAxis(joy, 0, -32768);
  SDL_JoystickSetVirtualAxis(joy, 1, 32767);
  EXPECT_EQ(GetJoyAxisX(0), -1.0f);
  EXPECT_EQ(GetJoyAxisY(0), 1.0f);
  SDL_JoystickSetVirtualAxis(joy, 0, -32440);
  EXPECT_GT(GetJoyAxisX(0), -1.0f);

  EXPECT_EQ(ReadJoyButtonHit(2, 0), 0);
  SDL_JoystickSetVirtualButton(joy, 2, SDL_PRESSED);
  EXPECT_EQ(IsJoyButtonHeld(2, 0), 1);
  EXPECT_EQ(ReadJoyButtonHit(2, 0), 1);
  EXPECT_EQ(ReadJoyButtonHit(2, 0), 0);  // still held: no new press
  SDL_JoystickSetVirtualButton(joy, 2, SDL_RELEASED);
  EXPECT_EQ(IsJoyButtonHeld(2, 0), 0);
  SDL_JoystickSetVirtualButton(joy, 2, SDL_PRESSED);
  EXPECT_EQ(ReadJoyButtonHit(2, 0), 1);
}

// The first hat reads on the X and Y axes as their extremes while the stick is centred.
TEST_F(InputTest, DPadReadsAsTheStickAtItsExtremesWhileTheStickRests) {
  virtual_pad pad;
  ASSERT_TRUE(pad.Attach(2, 3, 1)) << SDL_GetError();
  ASSERT_EQ(CountJoysticks(), 1);
  SDL_Joystick* joy = pad.joystick();
  struct hat_case {
    Sint16 x, y;
    Uint8 hat;
    float want_x, want_y;  // NaN: the stick's own reading
  };
  const float stick = std::nanf("");
  const hat_case cases[] = {
      {0, 0, SDL_HAT_LEFT, -1.0f, stick},     {0, 0, SDL_HAT_RIGHT, 1.0f, stick},
      {0, 0, SDL_HAT_UP, stick, -1.0f},       {0, 0, SDL_HAT_DOWN, stick, 1.0f},
      {0, 0, SDL_HAT_RIGHTDOWN, 1.0f, 1.0f},  {0, 0, SDL_HAT_LEFTUP, -1.0f, -1.0f},
      {8000, -8000, SDL_HAT_DOWN, stick, 1.0f},  // about 0.24 each way: still centred
      {8500, 0, SDL_HAT_DOWN, stick, stick},     // about 0.26: the stick is in use
      {0, -8500, SDL_HAT_LEFT, stick, stick},
      {-32768, 0, SDL_HAT_RIGHT, -1.0f, stick},  // full deflection keeps its meaning
      {16384, 0, SDL_HAT_CENTERED, stick, stick},
  };
  for (const hat_case& c : cases) {
    SDL_JoystickSetVirtualAxis(joy, 0, c.x);
    SDL_JoystickSetVirtualAxis(joy, 1, c.y);
    SDL_JoystickSetVirtualHat(joy, 0, c.hat);
    float sx = JoyAxisValue(c.x, -32768, 32767), sy = JoyAxisValue(c.y, -32768, 32767);
    EXPECT_EQ(GetJoyAxisX(0), std::isnan(c.want_x) ? sx : c.want_x) << c.x << "," << c.y << " hat " << int(c.hat);
    EXPECT_EQ(GetJoyAxisY(0), std::isnan(c.want_y) ? sy : c.want_y) << c.x << "," << c.y << " hat " << int(c.hat);
  }
  pad.Rest();
  GetJoyAxisX(0);
}

// F11 is a request to the window, like its close button: no key flush drops it.
TEST_F(InputTest, FullScreenKeyIsCountedPastKeyFlushes) {
  EXPECT_EQ(TakeFullScreenRequests(), 0);
  PushKey(SDL_SCANCODE_F11, true);
  PushKey(SDL_SCANCODE_F11, true, 1);  // auto-repeat counts nothing
  PushKey(SDL_SCANCODE_F11, false);
  ClearKeyHits();
  PushKey(SDL_SCANCODE_F11, true);
  PushKey(SDL_SCANCODE_F11, false);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_EQ(TakeFullScreenRequests(), 2);
  EXPECT_EQ(TakeFullScreenRequests(), 0);
  PushKey(SDL_SCANCODE_F10, true);
  EXPECT_EQ(TakeFullScreenRequests(), 0);
}

}  // namespace
