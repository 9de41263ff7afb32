// display_guard: refusing an invisible fallback display, and ending cleanly when the X
// server goes away.
// Depends on: SDL's video subsystem, Xlib's I/O error handler.
#include "platform/display_guard.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct {
  void (*lost_hook)() = nullptr;
  int watching = 0;
} GUARD;

// SDL_VIDEODRIVER may name several drivers, comma separated.
int DriverAsked(const char* driver) {
  const char* hint = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (!hint) return 0;
  std::string list = std::string(",") + hint + ",", want = std::string(",") + driver + ",";
  for (char& c : list) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return list.find(want) != std::string::npos;
}

void ReportNoDisplay() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  if ((!x || !*x) && (!wl || !*wl)) {
    std::fprintf(stderr, "Kelvane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); run it from a desktop session.\n");
    return;
  }
  std::string tried = x && *x ? std::string("DISPLAY=") + x : "";
  if (wl && *wl) tried += (tried.empty() ? "" : ", ") + std::string("WAYLAND_DISPLAY=") + wl;
  std::fprintf(stderr, "Kelvane: no display found (%s could not be reached); run it from a desktop session.\n",
               tried.c_str());
}

// NOTE: Xlib calls exit() when this returns, and exit-time handlers would then wait for
// ever on the dead connection; so it saves and ends the process here, without them.
int OnConnectionLost(Display*) {
  if (GUARD.lost_hook) GUARD.lost_hook();
  std::fprintf(stderr, "Kelvane: the display went away; the game saved and ended\n");
  std::fflush(nullptr);
  _exit(1);
}

}  // namespace

int VideoDriverIsUsable() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) return 0;
  int invisible = std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
  if (!invisible || DriverAsked(driver)) return 1;
  ReportNoDisplay();
  return 0;
}

void WatchDisplayConnection() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (GUARD.watching || !driver || std::strcmp(driver, "x11") != 0) return;
  XSetIOErrorHandler(OnConnectionLost);
  GUARD.watching = 1;
}

void SetDisplayLostHook(void (*hook)()) { GUARD.lost_hook = hook; }
