// screens_input: real input for the screen tests, pushed through SDL's event queue and a
// virtual joystick, so the game reads it exactly as it reads a player's.
#pragma once
#include <SDL.h>

namespace screens_test {

inline void PushKey(SDL_Scancode scan, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = scan;
  e.key.keysym.sym = SDL_GetKeyFromScancode(scan);
  SDL_PushEvent(&e);
}

inline void TapKey(SDL_Scancode scan) {
  PushKey(scan, true);
  PushKey(scan, false);
}

inline void PushMouseButton(bool down) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = 320;
  e.button.y = 240;
  SDL_PushEvent(&e);
}

inline void ClickLeft() {
  PushMouseButton(true);
  PushMouseButton(false);
}

// A joystick the input layer finds as port 0 once CountJoysticks runs.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_InitSubSystem(SDL_INIT_JOYSTICK);
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 3, 0);
    if (index_ >= 0) joy_ = SDL_JoystickOpen(index_);
  }
  ~VirtualPad() {
    if (joy_) SDL_JoystickClose(joy_);
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
  }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  bool ok() const { return joy_ != nullptr; }
  void SetButton(int button, bool down) {
    SDL_JoystickSetVirtualButton(joy_, button, down ? 1 : 0);
    SDL_JoystickUpdate();
  }

 private:
  int index_ = -1;
  SDL_Joystick* joy_ = nullptr;
};

}  // namespace screens_test
