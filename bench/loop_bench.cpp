// loop_bench: the real main loop on the title screen, paced by the display as in play.
// Prints the frame-to-frame interval of 600 presents and the process's CPU use, with
// stereo off and then on, whatever the saved stereo mode says.
#include <SDL.h>
#include <sys/resource.h>
#include <algorithm>
#include <cstdio>
#include <vector>
#include "app/datafiles.h"
#include "app/mainloop.h"
#include "app/program.h"
#include "game/globals.h"
#include "platform/display.h"
#include "render/twdraw.h"
#include "synthetic_input.h"

namespace {

std::vector<int> presents;
int in_splash = 1;

void OnPresent() {
  if (in_splash) {  // skip the splash: one Escape on its first frame
    synthetic::TapKey(SDL_SCANCODE_ESCAPE);
    in_splash = 0;
    return;
  }
  presents.push_back(ClockMillis());
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// 600 paced title frames under the given stereo mode.
void Measure(int mode) {
  stereo_mode = mode;
  StereoModeFile(0);  // the eye colours, as the menu sets them
  presents.clear();
  double cpu0 = CpuSeconds();
  while (presents.size() < 601) RunFrame();
  double cpu = CpuSeconds() - cpu0;
  std::vector<int> gaps;
  for (size_t i = 1; i < presents.size(); i++) gaps.push_back(presents[i] - presents[i - 1]);
  std::sort(gaps.begin(), gaps.end());
  double wall = (presents.back() - presents.front()) / 1000.0;
  std::printf("stereo %s: 600 frames in %.3f s: interval median %d ms, min %d ms, worst %d ms\n", mode ? "on " : "off",
              wall, gaps[gaps.size() / 2], gaps.front(), gaps.back());
  std::printf("stereo %s: CPU %.1f%% of one core\n", mode ? "on " : "off", 100.0 * cpu / wall);
}

}  // namespace

int main() {
  SetPresentHook(OnPresent);
  if (!StartProgram()) return 1;
  int saved = stereo_mode;
  std::printf("renderer: %s, paced by %s\n", GraphicsRendererName().c_str(), IsClockPaced() ? "the clock" : "the display");
  Measure(0);
  Measure(2);
  stereo_mode = saved;  // the player's option goes back to the file as it was
  StereoModeFile(0);
  SaveAndShutdown();
  return 0;
}
