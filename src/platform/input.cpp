// input: window events routed into key and mouse tables; the joystick read from the device.
#include "platform/input.h"
#include <SDL.h>
#include <cmath>
#include <signal.h>
#include <csignal>
#include <cstring>
#include <vector>
#include "platform/display.h"

namespace {

const int kPorts = 16;
const int kAxes = 8;
const float kStickDeadZone = 0.25f;  // a stick this close to centre is left alone, and the D-pad speaks

struct InputState {
  int key_held[256];
  int key_hits[256];
  int mouse_held[4];
  int mouse_hits[4];
  int pointer_x, pointer_y;
  // Typed characters and wheel notches are kept and flushed like the other tables,
  // though the game asks for neither.
  int wheel;
  int chars[256];
  int char_head, char_count;
  int app_suspended, close_requested;
  int full_screen_requests;  // F11 presses not yet taken; the key flushes leave them
  int polling, pumping;
  std::vector<SDL_Joystick*> joy_ports;
  unsigned joy_buttons[kPorts];
  float joy_axes[kPorts][kAxes];
  int joy_hits[kPorts][16];
};

InputState INPUT{};

// SDL turns SIGINT and SIGTERM into quit events; a hang-up (the terminal that started the
// game closed) is one more close request. Set from the signal handler, taken when pumping.
volatile sig_atomic_t hangup_seen = 0;

void OnHangup(int) { hangup_seen = 1; }

// Left alone when already ignored (nohup). A broken pipe on stdout or stderr must not
// end the game before it saves either.
void CatchHangup() {
  struct sigaction old {};
  if (sigaction(SIGHUP, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
    struct sigaction sa {};
    sa.sa_handler = OnHangup;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &sa, nullptr);
  }
  if (sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) std::signal(SIGPIPE, SIG_IGN);
}

void FlushKeys() {
  std::memset(INPUT.key_held, 0, sizeof INPUT.key_held);
  std::memset(INPUT.key_hits, 0, sizeof INPUT.key_hits);
  INPUT.char_head = INPUT.char_count = 0;
}

void FlushMouse() {
  std::memset(INPUT.mouse_held, 0, sizeof INPUT.mouse_held);
  std::memset(INPUT.mouse_hits, 0, sizeof INPUT.mouse_hits);
  INPUT.wheel = 0;
}

void PressKey(int code) {
  if (code <= 0 || code > 255 || INPUT.key_held[code]) return;
  INPUT.key_held[code] = 1;
  INPUT.key_hits[code]++;
}

// SDL numbers the right button 3 and the middle 2; the game's tables swap them.
int MouseButtonFromSdl(int b) {
  if (b == SDL_BUTTON_LEFT) return 1;
  if (b == SDL_BUTTON_RIGHT) return 2;
  if (b == SDL_BUTTON_MIDDLE) return 3;
  return 0;
}

void PushTypedText(const char* text) {
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p++) {
    if (INPUT.char_count == 256) return;
    INPUT.chars[(INPUT.char_head + INPUT.char_count) % 256] = *p;
    INPUT.char_count++;
  }
}

void RouteWindowEvent(const SDL_WindowEvent& w) {
  if (w.event == SDL_WINDOWEVENT_FOCUS_LOST || w.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
    FlushKeys();
    FlushMouse();
    INPUT.app_suspended = w.event == SDL_WINDOWEVENT_FOCUS_LOST;
  } else if (w.event == SDL_WINDOWEVENT_CLOSE) {
    INPUT.close_requested = 1;
  }
}

void RouteMouseButton(const SDL_MouseButtonEvent& m) {
  int b = MouseButtonFromSdl(m.button);
  if (!b) return;
  if (m.type == SDL_MOUSEBUTTONUP) {
    INPUT.mouse_held[b] = 0;
    SDL_CaptureMouse(SDL_FALSE);
  } else if (!INPUT.mouse_held[b]) {
    INPUT.mouse_held[b] = 1;
    INPUT.mouse_hits[b]++;
    SDL_CaptureMouse(SDL_TRUE);
  }
}

void RouteEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT: INPUT.close_requested = 1; break;
    case SDL_WINDOWEVENT: RouteWindowEvent(e.window); break;
    case SDL_KEYDOWN:
      if (e.key.repeat) break;
      PressKey(KeyCodeFromSdl(e.key.keysym.sym, e.key.keysym.scancode));
      if (e.key.keysym.scancode == SDL_SCANCODE_F11) INPUT.full_screen_requests++;
      break;
    case SDL_KEYUP: {
      int code = KeyCodeFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
      if (code > 0 && code <= 255) INPUT.key_held[code] = 0;
      break;
    }
    case SDL_TEXTINPUT: PushTypedText(e.text.text); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: RouteMouseButton(e.button); break;
    case SDL_MOUSEMOTION: WindowToPicture(e.motion.x, e.motion.y, &INPUT.pointer_x, &INPUT.pointer_y); break;
    case SDL_MOUSEWHEEL: INPUT.wheel += e.wheel.y; break;
    default: break;
  }
}

// The first hat (a pad's D-pad) reads as the stick fully deflected, but only while the
// stick itself rests in its dead zone: a stick in use keeps its own reading.
void ApplyHat(SDL_Joystick* joy, float* axes) {
  if (SDL_JoystickNumHats(joy) < 1 || SDL_JoystickNumAxes(joy) < 2) return;
  if (std::fabs(axes[0]) > kStickDeadZone || std::fabs(axes[1]) > kStickDeadZone) return;
  Uint8 hat = SDL_JoystickGetHat(joy, 0);
  if (hat & SDL_HAT_LEFT) axes[0] = -1.0f;
  if (hat & SDL_HAT_RIGHT) axes[0] = 1.0f;
  if (hat & SDL_HAT_UP) axes[1] = -1.0f;
  if (hat & SDL_HAT_DOWN) axes[1] = 1.0f;
}

// Reads a port's device into its tables; with no device the last values stand.
void ReadJoyPort(int port) {
  if (port < 0 || port >= kPorts || port >= static_cast<int>(INPUT.joy_ports.size())) return;
  SDL_Joystick* joy = INPUT.joy_ports[port];
  if (!joy) return;
  if (!SDL_JoystickGetAttached(joy)) {
    // NOTE: a pad pulled out with a button down must not read as held for ever
    // (flushing waits for the fire buttons to be let go).
    INPUT.joy_buttons[port] = 0;
    std::memset(INPUT.joy_axes[port], 0, sizeof INPUT.joy_axes[port]);
    return;
  }
  SDL_JoystickUpdate();
  unsigned old_mask = INPUT.joy_buttons[port], mask = 0;
  int buttons = SDL_JoystickNumButtons(joy);
  for (int b = 0; b < buttons && b < 32; b++)
    if (SDL_JoystickGetButton(joy, b)) mask |= 1u << b;
  INPUT.joy_buttons[port] = mask;
  int axes = SDL_JoystickNumAxes(joy);
  for (int a = 0; a < axes && a < kAxes; a++)
    INPUT.joy_axes[port][a] = JoyAxisValue(SDL_JoystickGetAxis(joy, a), -32768, 32767);
  ApplyHat(joy, INPUT.joy_axes[port]);
  for (int b = 0; b < 16; b++)
    if (!(old_mask & (1u << b)) && (mask & (1u << b))) INPUT.joy_hits[port][b]++;
}

}  // namespace

void PollSystem() {
  if (hangup_seen) {
    hangup_seen = 0;
    INPUT.close_requested = 1;
  }
  if (INPUT.pumping) return;
  INPUT.pumping = 1;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (INPUT.polling)
      RouteEvent(e);
    else if (e.type == SDL_QUIT)
      INPUT.close_requested = 1;
  }
  INPUT.pumping = 0;
}

void StartInputPolling() {
  CatchHangup();
  if (INPUT.polling) return;
  FlushKeys();
  FlushMouse();
  INPUT.polling = 1;
}

void StopInputPolling() { INPUT.polling = 0; }

int IsKeyHeld(int key) {
  PollSystem();
  return key >= 0 && key < 256 ? INPUT.key_held[key] : 0;
}

int ReadKeyHit(int key) {
  PollSystem();
  if (key < 0 || key > 255) return 0;
  int n = INPUT.key_hits[key];
  INPUT.key_hits[key] = 0;
  return n;
}

void ClearKeyHits() {
  PollSystem();
  FlushKeys();
}

int IsMouseButtonHeld(int button) {
  PollSystem();
  return button >= 0 && button < 4 ? INPUT.mouse_held[button] : 0;
}

int ReadMouseHit(int button) {
  PollSystem();
  if (button < 0 || button > 3) return 0;
  int n = INPUT.mouse_hits[button];
  INPUT.mouse_hits[button] = 0;
  return n;
}

void ClearMouseHits() {
  PollSystem();
  FlushMouse();
}

int PointerX() {
  PollSystem();
  return INPUT.pointer_x;
}

int PointerY() {
  PollSystem();
  return INPUT.pointer_y;
}

void MoveMouse(int x, int y) {
  SDL_Window* window = DisplayWindow();
  if (!window) return;
  int wx, wy;
  PictureToWindow(x, y, &wx, &wy);
  SDL_WarpMouseInWindow(window, wx, wy);
}

void SetMouseVisible(int visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

int IsAppSuspended() {
  PollSystem();
  return INPUT.app_suspended;
}

int TakeCloseRequest() {
  PollSystem();
  int r = INPUT.close_requested;
  INPUT.close_requested = 0;
  return r;
}

int TakeFullScreenRequests() {
  PollSystem();
  int n = INPUT.full_screen_requests;
  INPUT.full_screen_requests = 0;
  return n;
}

int CloseRequestPending() {
  PollSystem();
  return INPUT.close_requested;
}

int CountJoysticks() {
  // The pad keeps working while the window is in the background (and headless).
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (!SDL_WasInit(SDL_INIT_JOYSTICK) && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
  for (SDL_Joystick* j : INPUT.joy_ports)
    if (j) SDL_JoystickClose(j);
  INPUT.joy_ports.clear();
  // A port counted afresh starts released: a pad gone since keeps no reading.
  std::memset(INPUT.joy_buttons, 0, sizeof INPUT.joy_buttons);
  std::memset(INPUT.joy_axes, 0, sizeof INPUT.joy_axes);
  std::memset(INPUT.joy_hits, 0, sizeof INPUT.joy_hits);
  int n = SDL_NumJoysticks();
  for (int i = 0; i < n && INPUT.joy_ports.size() < 256; i++) {
    SDL_Joystick* j = SDL_JoystickOpen(i);
    if (j) INPUT.joy_ports.push_back(j);
  }
  return static_cast<int>(INPUT.joy_ports.size());
}

int IsJoyButtonHeld(int button, int port) {
  ReadJoyPort(port);
  if (port < 0 || port >= kPorts || button < 0 || button > 31) return 0;
  return (INPUT.joy_buttons[port] >> button) & 1;
}

int ReadJoyButtonHit(int button, int port) {
  ReadJoyPort(port);
  if (port < 0 || port >= kPorts || button < 0 || button > 15) return 0;
  int n = INPUT.joy_hits[port][button];
  INPUT.joy_hits[port][button] = 0;
  return n;
}

float GetJoyAxisX(int port) {
  ReadJoyPort(port);
  return port >= 0 && port < kPorts ? INPUT.joy_axes[port][0] : 0.0f;
}

float GetJoyAxisY(int port) {
  ReadJoyPort(port);
  return port >= 0 && port < kPorts ? INPUT.joy_axes[port][1] : 0.0f;
}

float JoyAxisValue(int raw, int min, int max) {
  if (max == min) return 0.0f;
  return static_cast<float>(2.0 * (raw - min) / (max - min) - 1.0);
}
