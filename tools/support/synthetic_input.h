// synthetic_input: SDL events made up by the tests, the playtest tool and the benchmarks,
// addressed to the game's window the way the system sends them.
#pragma once
#include <SDL2/SDL.h>
#include "platform/display.h"

namespace synthetic {

inline Uint32 GameWindowId() { return DisplayWindow() ? SDL_GetWindowID(DisplayWindow()) : 0; }

// A key by its place on the keyboard; its symbol is whatever the layout makes of it.
// A non-zero repeat marks the system's auto-repeat of a held key.
inline void PushKey(SDL_Scancode scan, bool down, int repeat = 0) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = GameWindowId();
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = static_cast<Uint8>(repeat);
  e.key.keysym.scancode = scan;
  e.key.keysym.sym = SDL_GetKeyFromScancode(scan);
  SDL_PushEvent(&e);
}

inline void TapKey(SDL_Scancode scan) {
  PushKey(scan, true);
  PushKey(scan, false);
}

// In window pixels.
inline void PushMouseMove(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = GameWindowId();
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

// In picture pixels, through the letterbox of a window scaled to the desktop.
inline void PushMouseMoveInPicture(int x, int y) {
  int wx = x, wy = y;
  PictureToWindow(x, y, &wx, &wy);
  PushMouseMove(wx, wy);
}

inline void PushMouseButton(bool down, Uint8 button = SDL_BUTTON_LEFT, int x = 0, int y = 0) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = GameWindowId();
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = x;
  e.button.y = y;
  SDL_PushEvent(&e);
}

inline void ClickMouse() {
  PushMouseButton(true);
  PushMouseButton(false);
}

inline void PushWindowEvent(SDL_WindowEventID id) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = GameWindowId();
  e.window.event = id;
  SDL_PushEvent(&e);
}

// What the system sends when the program is asked to end (a signal, the last window closed).
inline void PushQuit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
}

}  // namespace synthetic
