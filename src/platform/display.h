// display: the window, presenting frames, pacing them to the display rate, and the clock.
// Every frame is drawn into an off-screen 640x480 picture and shown scaled to fit the
// window (or, in a window of just that size that keeps its back buffer, straight into it),
// so the back buffer always reads back at its own size and survives a present.
// Full screen takes the exact mode when the system offers it, else the desktop's mode
// with black bars. KELVANE_WINDOWED=1 in the environment opens full-screen requests as a
// window instead (for development); pacing still treats them as full screen.
#pragma once
#include <memory>
#include <string>
#include <vector>

class TGraphics {
 public:
  virtual ~TGraphics() = default;
  virtual void GetSettings(int* width, int* height, int* depth, int* hertz, int* flags) = 0;
  virtual void Close() = 0;
};

struct TGraphicsMode {
  int width = 0, height = 0, depth = 0, hertz = 0;
};

// A display back-end: makes displays, makes one current, presents.
class TGraphicsDriver {
 public:
  virtual ~TGraphicsDriver() = default;
  virtual std::vector<TGraphicsMode> GraphicsModes() = 0;  // not asked by the game; the interface's first slot
  virtual std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz, int flags) = 0;  // nullptr on failure
  virtual void SetGraphics(TGraphics* graphics) = 0;  // nullptr: none current
  virtual void Flip(int sync) = 0;                    // any non-zero sync waits for the vertical blank
};

// display.cpp
extern int graphics_seq;  // counts opens and closes, skipping 0; image copies made under another value are stale

void SetAppTitle(const std::string& title);  // the window caption of displays opened afterwards
std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags);  // nullptr on failure
void CloseGraphics();                  // closes the display OpenGraphics opened, if any
void FlipFrame(int sync);              // -1 paced, 0 at once, 1 on the vertical blank
int ScreenWidth();                     // 0 while no display is current
int ScreenHeight();
int ClockMillis();                     // wraps; take differences only
void SleepMillis(int ms);              // negative returns at once
[[noreturn]] void ExitProgram();       // exit code 0; the exit sequence closes the audio and the display
int IsClockPaced();                    // 1 while frames are paced by the clock (soft_sync)
std::string GraphicsRendererName();    // the GL renderer string, for benchmarks and logs
void FlipBackEnd(int sync);            // the back-end present: swap now (0) or on the vertical blank (1), no pacing
void SetDefaultGraphicsFlags(int flags);  // OR-ed into every open's flags (2 at start)
int IsFullScreen();                    // 1 while the display covers the screen
int ToggleFullScreen();                // full screen <-> a window of the picture's size, keeping the picture,
                                       // the pointer's picture position and the frame rate; 1 when it changed

// The one exit sequence (atexit, once): the audio output closed, then the display, then
// SDL if a display was ever opened. Arranged by the first display opened or the audio's first use.
void ArrangeCloseAtExit();

// Frame pacing arithmetic, kept apart from the clock so it can be tested without sleeping.
struct TFramePacer {
  int hertz = 0, frame_ms = 0, frame_rem = 0, rem_accum = 0, next_frame_time = 0;
  void Start(int hz, int now);
  int Due(int now);  // advances the schedule one frame; ms to sleep (0 when late, the schedule moved to now)
};

// The hardware-rate test: three presents in a row within 1 ms of 1000/hertz trust the display.
struct TRateTest {
  int streak = 0;
  int Feed(int elapsed_ms, int hertz);  // 1 once the rate is trusted
};

// Clock seam for tests: replaces ClockMillis and SleepMillis (nullptr restores the real ones).
void SetClockSeam(int (*now)(), void (*sleep)(int));
void SetPresentHook(void (*hook)());   // called by FlipFrame with each finished frame, before it is shown

// gl_display.cpp
// For the input module: the window, and the mapping between window and picture pixels
// (the 640x480 picture is scaled to fit the window with black bars, aspect kept).
struct SDL_Window;
SDL_Window* DisplayWindow();           // nullptr while no display is open
void WindowToPicture(int wx, int wy, int* px, int* py);
void PictureToWindow(int px, int py, int* wx, int* wy);
