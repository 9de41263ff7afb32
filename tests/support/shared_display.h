// shared_display: the one headless 640x480 window the fixtures share within a process.
// A test that opens or closes a display of its own (or runs alone, see run_alone.h)
// leaves it for the next shared test to reopen: images upload again by themselves.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include "app/embedded_files.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"

namespace shared_display {

inline int& OpenedSeq() {
  static int seq = 0;
  return seq;
}

// Opens it unless the display this helper opened last is still the current one.
inline void Ensure() {
  if (OpenedSeq() != 0 && OpenedSeq() == graphics_seq && DisplayWindow()) return;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  // A headless window never has the focus; without this SDL drops every joystick change.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  RegisterGameFiles();
  // Depth 0: a window, which skips the one-second rate test.
  ASSERT_NE(OpenGraphics(640, 480, 0, 60, 2), nullptr);
  SetMaskKey(0, 0, 0);
  SetDefaultImageFlags(9);
  CountJoysticks();
  OpenedSeq() = graphics_seq;
}

}  // namespace shared_display
