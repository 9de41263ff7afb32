// display: opening and closing the display, presenting and pacing frames, the clock.
#include "platform/display.h"
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <malloc.h>
#include <cstdlib>
#include "platform/app_icon.h"
#include "platform/draw.h"
#include "platform/gl_driver.h"
#include "platform/input.h"
#include "platform/sound.h"

int graphics_seq = 0;

namespace {

struct {
  std::shared_ptr<TDraw2DGraphics> opened;  // the display OpenGraphics made
  int default_flags = 2;
  int soft_sync = 0;                        // 1 while frames are paced by the clock
  TFramePacer pacer;
  int close_at_exit = 0;                    // 1 once the exit sequence is arranged
  int quit_sdl_at_exit = 0;                 // 1 once a display has been opened
  int (*now)() = nullptr;                   // clock seam
  void (*sleep)(int) = nullptr;
  void (*present_hook)() = nullptr;         // tools that watch every presented frame
  int frames_since_trim = 0;
} DISPLAY;

// Clock differences survive the wrap.
int Elapsed(int later, int earlier) {
  return static_cast<int>(static_cast<unsigned>(later) - static_cast<unsigned>(earlier));
}

const int kTrimEveryFrames = 60;
const int kTrimSlackMs = 4;  // only in a wait this long, so a frame is never made late

// The GL driver's shader compiles and our screen grabs free large blocks that the heap
// keeps for good unless told; hand them back once a second, in time spent waiting anyway.
// Gives the milliseconds it took.
int ReturnFreedMemory(int wait) {
  if (++DISPLAY.frames_since_trim < kTrimEveryFrames || wait < kTrimSlackMs) return 0;
  DISPLAY.frames_since_trim = 0;
  int start = ClockMillis();
  malloc_trim(0);
  return Elapsed(ClockMillis(), start);
}

void BumpSeq() {
  graphics_seq = static_cast<int>(static_cast<unsigned>(graphics_seq) + 1u);
  if (graphics_seq == 0) graphics_seq = 1;
}

// Presents on the vertical blank for up to a second; 1 when the display keeps the rate.
int TestHardwareRate(int hertz) {
  TRateTest test;
  int deadline = ClockMillis() + 1000;
  while (Elapsed(deadline, ClockMillis()) > 0) {
    int t0 = ClockMillis();
    FlipBackEnd(1);
    if (test.Feed(Elapsed(ClockMillis(), t0), hertz)) return 1;
  }
  return 0;
}

// The audio output closes before SDL goes, which would close it under the mixer.
void CloseAtExit() {
  ShutdownAudio();
  CloseGraphics();
  if (DISPLAY.quit_sdl_at_exit) SDL_Quit();
}

}  // namespace

void TFramePacer::Start(int hz, int now) {
  hertz = hz;
  frame_ms = hz ? 1000 / hz : 0;
  frame_rem = 1000 - frame_ms * hz;
  rem_accum = 0;
  next_frame_time = now;
}

int TFramePacer::Due(int now) {
  next_frame_time = static_cast<int>(static_cast<unsigned>(next_frame_time) + static_cast<unsigned>(frame_ms));
  rem_accum += frame_rem;
  if (rem_accum >= hertz) {
    rem_accum -= hertz;
    next_frame_time = static_cast<int>(static_cast<unsigned>(next_frame_time) + 1u);
  }
  int wait = Elapsed(next_frame_time, now);
  if (wait > 0) return wait;
  next_frame_time = now;  // a late frame moves the schedule instead of catching up
  return 0;
}

int TRateTest::Feed(int elapsed_ms, int hertz) {
  int error = elapsed_ms - 1000 / hertz;
  if (error < -1 || error > 1) {
    streak = 0;
    return 0;
  }
  return ++streak >= 3;
}

void SetAppTitle(const std::string& title) {
  SetGLWindowTitle(title);
  if (DisplayWindow()) SDL_SetWindowTitle(DisplayWindow(), title.c_str());
}

void SetDefaultGraphicsFlags(int flags) { DISPLAY.default_flags = flags; }

std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags) {
  CloseGraphics();
  flags |= DISPLAY.default_flags;
  if (hertz < 0) hertz = 0;
  TDraw2DDriver* driver = GLDraw2DDriver();
  std::shared_ptr<TGraphics> made;
  try {
    made = driver->CreateGraphics(width, height, depth, hertz, flags);
  } catch (...) {
    made = nullptr;
  }
  if (!made) return nullptr;
  BumpSeq();
  auto state = TDraw2DGraphics::Create(made, driver);
  state->MakeCurrent();
  DISPLAY.soft_sync = hertz != 0;
  if (hertz != 0 && depth != 0 && TestHardwareRate(hertz)) DISPLAY.soft_sync = 0;
  DISPLAY.pacer.Start(hertz, ClockMillis());
  DISPLAY.opened = state;
  ApplyAppIcon();
  if (depth != 0) MoveMouse(width / 2, height / 2);
  StartInputPolling();
  DISPLAY.quit_sdl_at_exit = 1;
  ArrangeCloseAtExit();
  return state;
}

void CloseGraphics() {
  if (!DISPLAY.opened) return;
  BumpSeq();
  StopInputPolling();
  std::shared_ptr<TDraw2DGraphics> closing = std::move(DISPLAY.opened);
  DISPLAY.opened = nullptr;
  if (TDraw2DGraphics::Current() == closing.get()) TDraw2DGraphics::ClearCurrent();
  closing->Close();
}

void FlipBackEnd(int sync) {
  if (TDraw2DGraphics::Current()) TDraw2DGraphics::Current()->_driver->Flip(sync);
}

void FlipFrame(int sync) {
  if (DISPLAY.present_hook) DISPLAY.present_hook();
  TDraw2DGraphics* current = TDraw2DGraphics::Current();
  if (sync != -1) {
    FlipBackEnd(sync);
    return;
  }
  if (!current) return;
  if (current != DISPLAY.opened.get() || !DISPLAY.soft_sync) {
    int w, h, depth, hz, flags;
    current->GetSettings(&w, &h, &depth, &hz, &flags);
    FlipBackEnd(depth != 0 ? 1 : 0);  // full screen waits for the vertical blank, a window does not
    return;
  }
  int wait = DISPLAY.pacer.Due(ClockMillis());
  wait -= ReturnFreedMemory(wait);
  if (wait > 0) SleepMillis(wait);
  FlipBackEnd(0);
}

int ScreenWidth() {
  int w = 0, h, d, hz, f;
  if (TDraw2DGraphics::Current()) TDraw2DGraphics::Current()->GetSettings(&w, &h, &d, &hz, &f);
  return w;
}

int ScreenHeight() {
  int w, h = 0, d, hz, f;
  if (TDraw2DGraphics::Current()) TDraw2DGraphics::Current()->GetSettings(&w, &h, &d, &hz, &f);
  return h;
}

int ClockMillis() { return DISPLAY.now ? DISPLAY.now() : static_cast<int>(SDL_GetTicks()); }

void SleepMillis(int ms) {
  if (ms < 0) return;
  DISPLAY.sleep ? DISPLAY.sleep(ms) : SDL_Delay(static_cast<Uint32>(ms));
}

void ExitProgram() { std::exit(0); }

void ArrangeCloseAtExit() {
  if (DISPLAY.close_at_exit) return;
  DISPLAY.close_at_exit = 1;
  std::atexit(CloseAtExit);
}

int IsClockPaced() { return DISPLAY.soft_sync; }

std::string GraphicsRendererName() {
  if (!GLCurrentGraphics()) return "";
  const GLubyte* name = glGetString(GL_RENDERER);
  return name ? reinterpret_cast<const char*>(name) : "";
}

void SetClockSeam(int (*now)(), void (*sleep)(int)) {
  DISPLAY.now = now;
  DISPLAY.sleep = sleep;
}

void SetPresentHook(void (*hook)()) { DISPLAY.present_hook = hook; }

// The pacing full screen had, kept while in a window. The rate test's verdict belongs to
// the display that was open when it was taken (graphics_seq tells).
static struct {
  int seq = 0;
  int soft_sync = 1;
} FULL_SCREEN;

int IsFullScreen() { return GLIsFullScreen(GLCurrentGraphics()); }

int ToggleFullScreen() {
  TDraw2DGraphics* current = TDraw2DGraphics::Current();
  if (!DISPLAY.opened || current != DISPLAY.opened.get()) return 0;
  int px = PointerX(), py = PointerY();
  int going_full = !IsFullScreen();
  if (!going_full) FULL_SCREEN.seq = graphics_seq, FULL_SCREEN.soft_sync = DISPLAY.soft_sync;
  if (!GLSetFullScreen(GLCurrentGraphics(), going_full)) return 0;
  int w, h, depth, hz, flags;
  current->GetSettings(&w, &h, &depth, &hz, &flags);
  int known = going_full && FULL_SCREEN.seq == graphics_seq;
  DISPLAY.soft_sync = known ? FULL_SCREEN.soft_sync : hz != 0;  // a window never waits for the vertical blank
  DISPLAY.pacer.Start(hz, ClockMillis());
  MoveMouse(px, py);  // the same picture pixel under the new geometry
  return 1;
}
