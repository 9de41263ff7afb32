// frame_bench: real frames of the game (update, drawing, present) on the real GL back-end,
// per scene, stereo off and on: median, p99 and worst frame work, the pacing wait left
// out. Beside each, the frame before each timed one, recorded and replayed by plain GL
// calls, and the ratio.
// Usage: frame_bench [--frames N] [--warmup N] [--scene title|typical|heavy|clear]
//                    [--stereo 0|1] [--no-reference] [--parts]
// --parts adds the reference's drawing alone and its present alone, to show where the time goes.
#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include "app/mainloop.h"
#include "app/program.h"
#include "frame_bench_replay.h"
#include "frame_bench_scenes.h"
#include "platform/display.h"
#include "platform/random.h"
#include "synthetic_input.h"

namespace {

struct options {
  int frames = 300, warmup = 60, reference = 1, stereo = -1, parts = 0;  // stereo -1: both
  std::string scene;                                           // empty: all
};

struct timings {
  std::vector<double> ms;
  double Median() const { return At(0.5); }
  double P99() const { return At(0.99); }
  double Worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
  // The sample at or above the given fraction of the sorted samples.
  double At(double q) const {
    if (ms.empty()) return 0;
    std::vector<double> s = ms;
    std::sort(s.begin(), s.end());
    size_t i = static_cast<size_t>(q * static_cast<double>(s.size()) + 0.999999);
    return s[std::min(std::max<size_t>(i, 1), s.size()) - 1];
  }
};

int no_clock_wait_now() { return static_cast<int>(SDL_GetTicks()); }
void no_clock_wait_sleep(int) {}

// The splash ends on the Escape pushed at its first frame.
void SkipSplash() {
  synthetic::TapKey(SDL_SCANCODE_ESCAPE);
  SetPresentHook(nullptr);
}

double Millis(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// One game frame, its pacing sleep a no-op, until the GL work it queued is done.
double TimeGameFrame() {
  auto t0 = std::chrono::steady_clock::now();
  RunFrame();
  glFinish();
  return Millis(t0, std::chrono::steady_clock::now());
}

double TimeReferenceFrame(const recorded_frame& f, int parts = REPLAY_ALL) {
  auto t0 = std::chrono::steady_clock::now();
  ReplayFrame(f, parts);
  glFinish();
  double ms = Millis(t0, std::chrono::steady_clock::now());
  GLRestoreDrawState();  // the game's cache must meet the state it believes in
  return ms;
}

void PrintRow(const scene_def& s, int stereo, const timings& game, const timings& ref, const recorded_frame& f,
              int discarded, int reference) {
  std::printf("%-8s %-6s %6.2f %6.2f %6.2f", s.name, stereo ? "on" : "off", game.Median(), game.P99(), game.Worst());
  if (reference)
    std::printf("  | %6.2f %6.2f %6.2f | %5.2f %5.2f", ref.Median(), ref.P99(), ref.Worst(),
                game.Median() / ref.Median(), game.P99() / ref.P99());
  std::printf("  | %5d %5d %4d %4d", f.quads, f.textured, f.texture_changes, f.blend_changes);
  if (discarded) std::printf("  (%d frames dropped: ship hit)", discarded);
  std::printf("\n");
  std::fflush(stdout);
}

// The reference split: its drawing into the picture, and its present, each timed alone.
void PrintParts(const recorded_frame& f, int frames) {
  timings draw, present;
  for (int i = 0; i < frames; i++) {
    draw.ms.push_back(TimeReferenceFrame(f, REPLAY_DRAW));
    present.ms.push_back(TimeReferenceFrame(f, REPLAY_PRESENT));
  }
  std::printf("%-15s reference parts: drawing %6.2f (p99 %6.2f), present %6.2f (p99 %6.2f)\n", "", draw.Median(),
              draw.P99(), present.Median(), present.P99());
}

// A frame of the game, untimed, with its drawing recorded.
void RecordFrame(const scene_def& s, std::mt19937& rng, recorded_frame* f) {
  *f = recorded_frame();
  HoldScene(s, rng);
  StartRecording(f);
  RunFrame();
  StopRecording();
  glFinish();
}

// Each timed frame's reference is the frame drawn just before it: a busy stage's frames
// differ by a sixth in quads and pixels, so one frame recorded for all would make the
// ratio swing with the frame it happened to catch.
void RunScene(const scene_def& s, int stereo, const options& o) {
  std::mt19937 rng(12345);
  EnterScene(s, stereo);
  for (int i = 0; i < o.warmup; i++) {
    HoldScene(s, rng);
    RunFrame();
  }
  recorded_frame f;
  RecordFrame(s, rng, &f);
  timings game, ref;
  int discarded = 0;
  for (int i = 0; i < o.frames; i++) {
    if (o.reference && i > 0) RecordFrame(s, rng, &f);
    HoldScene(s, rng);
    double ms = TimeGameFrame();
    if (SceneBroken(s)) discarded++;
    else game.ms.push_back(ms);
    if (o.reference) ref.ms.push_back(TimeReferenceFrame(f));
  }
  PrintRow(s, stereo, game, ref, f, discarded, o.reference);
  if (o.reference && o.parts) PrintParts(f, o.frames);
}

options ParseOptions(int argc, char** argv) {
  options o;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : "";
    if (a == "--frames") o.frames = std::max(1, std::atoi(next)), i++;
    else if (a == "--warmup") o.warmup = std::max(0, std::atoi(next)), i++;
    else if (a == "--scene") o.scene = next, i++;
    else if (a == "--stereo") o.stereo = std::atoi(next), i++;
    else if (a == "--no-reference") o.reference = 0;
    else if (a == "--parts") o.parts = 1;
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  options o = ParseOptions(argc, argv);
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  SetClockSeam(no_clock_wait_now, no_clock_wait_sleep);
  SetPresentHook(SkipSplash);
  if (!StartProgram()) {
    std::fprintf(stderr, "frame_bench: no display\n");
    return 1;
  }
  SeedRandom(1);
  if (o.reference && !LoadReplayFunctions()) {
    std::fprintf(stderr, "frame_bench: no framebuffer objects; reference left out\n");
    o.reference = 0;
  }
  std::printf("GL renderer: %s\n", GraphicsRendererName().c_str());
  std::printf("frame work in ms (%d frames after %d warm-up; the pacing sleep is a no-op, each frame ends in glFinish)\n",
              o.frames, o.warmup);
  std::printf("%-8s %-6s %6s %6s %6s  | %6s %6s %6s | %5s %5s  | %5s %5s %4s %4s\n", "scene", "stereo", "median", "p99",
              "worst", "ref-md", "ref99", "refwst", "x-md", "x-p99", "quads", "tex", "binds", "blnd");
  for (const scene_def& s : Scenes()) {
    if (!o.scene.empty() && o.scene != s.name) continue;
    for (int stereo = 0; stereo <= 1; stereo++)
      if (o.stereo < 0 || o.stereo == stereo) RunScene(s, stereo, o);
  }
  return 0;
}
