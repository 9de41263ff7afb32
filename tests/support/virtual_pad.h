// virtual_pad: an SDL virtual game pad, attached and opened so its readings reach the game;
// detached when it goes, and the game's pads counted afresh so no later test meets it.
#pragma once
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/input.h"

class virtual_pad {
 public:
  virtual_pad() = default;
  ~virtual_pad() { Detach(); }
  virtual_pad(const virtual_pad&) = delete;
  virtual_pad& operator=(const virtual_pad&) = delete;

  // 0 when SDL would not attach or open it (SDL_GetError says why). SDL runs update, when
  // given, on every pump of events: a test's way into the middle of a frame.
  int Attach(int axes, int buttons, int hats, void (*update)(void*) = nullptr, void* userdata = nullptr) {
    Detach();
    // The headless window never has the focus, and SDL drops pad input without it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = static_cast<Uint16>(axes);
    desc.nbuttons = static_cast<Uint16>(buttons);
    desc.nhats = static_cast<Uint16>(hats);
    desc.Update = update;
    desc.userdata = userdata;
    index_ = SDL_JoystickAttachVirtualEx(&desc);
    if (index_ >= 0) joystick_ = SDL_JoystickOpen(index_);
    axes_ = axes, buttons_ = buttons, hats_ = hats;
    return ok();
  }
  void Detach() {
    if (index_ < 0) return;
    if (joystick_) SDL_JoystickClose(joystick_);
    SDL_JoystickDetachVirtual(index_);
    joystick_ = nullptr, index_ = -1;
    CountJoysticks();
  }
  // Every axis centred, every button released, every hat centred.
  void Rest() {
    for (int a = 0; a < axes_; a++) SetAxis(a, 0);
    for (int b = 0; b < buttons_; b++) SetButton(b, 0);
    for (int h = 0; h < hats_; h++) SDL_JoystickSetVirtualHat(joystick_, h, SDL_HAT_CENTERED);
  }

  int ok() const { return joystick_ != nullptr; }
  SDL_Joystick* joystick() const { return joystick_; }
  int index() const { return index_; }

  void SetAxis(int axis, Sint16 raw) { SDL_JoystickSetVirtualAxis(joystick_, axis, raw); }
  void SetButton(int button, int down) { SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0); }
  void SetHat(Uint8 hat) { SDL_JoystickSetVirtualHat(joystick_, 0, hat); }

 private:
  SDL_Joystick* joystick_ = nullptr;
  int index_ = -1;
  int axes_ = 0, buttons_ = 0, hats_ = 0;
};

// For a fixture: a pad on port 0, attached when a test first touches it: two axes, three
// buttons and a D-pad (one hat).
class pad_on_first_use {
 public:  // table-driven cases reach these from their lambdas
  SDL_Joystick* Joystick() {
    if (pad_.ok()) return pad_.joystick();
    EXPECT_TRUE(pad_.Attach(2, 3, 1)) << SDL_GetError();
    EXPECT_EQ(CountJoysticks(), 1);
    return pad_.joystick();
  }
  void SetAxis(int axis, Sint16 raw) {
    Joystick();
    pad_.SetAxis(axis, raw);
  }
  void SetButton(int button, int down) {
    Joystick();
    pad_.SetButton(button, down);
  }
  void SetHat(Uint8 hat) {
    Joystick();
    pad_.SetHat(hat);
  }

  virtual_pad pad_;
};
