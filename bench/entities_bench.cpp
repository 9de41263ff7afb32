// entities_bench: CPU time of one frame's entity updates (moving, testing and drawing)
// with 60 viruses, 150 shots and 2,000 particles on screen, stereo off and on.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include "app/assets.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/virus.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "render/twdraw.h"

// A crowded screen, rebuilt before every measured frame so each frame starts with the
// same counts; viruses are kept away from the ship and inside the screen.
static void BuildScene() {
  pshot_tag::destroy_all();
  virus_tag::destroy_all();
  explode_tag::destroy_all();
  for (int i = 0; i < 60; i++) {
    auto v = std::make_shared<virus_tag>();
    v->typ = 1 + i % 4;
    v->hpts = v->typ == 2 ? 6 : 1;
    v->scale = v->typ == 2 ? 1.5f : 1.0f;
    v->x = 60.0f + (i % 10) * 55;
    v->y = 40.0f + (i / 10) * 40;
    v->lnk = virus_list.add_last(v);
  }
  for (int i = 0; i < 150; i++) pshot_tag::fire(20 + (i * 37) % 600, 40 + (i * 53) % 400);
  for (int i = 0; i < 20; i++) explode_tag::set(40.0f + 28 * i, 60.0f + 18 * i, i % 4, 25, 99);
}

struct FrameTimes {
  double virus = 0, shot = 0, explode = 0;
  double Total() const { return virus + shot + explode; }
};

static double Micros(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::micro>(b - a).count();
}

// Mean CPU time per frame of each update_all; the present is outside the timing.
static FrameTimes MeasureFrames(int frames) {
  FrameTimes sum;
  for (int f = 0; f < frames; f++) {
    BuildScene();
    ClearScreen();
    auto t0 = std::chrono::steady_clock::now();
    virus_tag::update_all();
    auto t1 = std::chrono::steady_clock::now();
    pshot_tag::update_all();
    auto t2 = std::chrono::steady_clock::now();
    explode_tag::update_all();
    auto t3 = std::chrono::steady_clock::now();
    sum.virus += Micros(t0, t1), sum.shot += Micros(t1, t2), sum.explode += Micros(t2, t3);
    FlipFrame(0);
  }
  sum.virus /= frames, sum.shot /= frames, sum.explode /= frames;
  return sum;
}

int main() {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (!OpenGraphics(640, 480, 0, 60, 2)) {
    std::fprintf(stderr, "entities_bench: no display\n");
    return 1;
  }
  SetMaskKey(0, 0, 0);
  SetDefaultImageFlags(9);
  CreateBlankImages();
  LoadAssets();
  SeedRandom(1234);
  game_state = GS_PLAYING;
  stage_phase = 1;
  waves_per_stage = 30, waves_spawned = 31, spawn_timer = 0;  // no spawning during the run
  player.x = -2000, player.y = -2000;
  twdraw.slc(255, 0, 0, 0, 255, 255);

  BuildScene();
  std::printf("renderer: %s\n", GraphicsRendererName().c_str());
  std::printf("entities: %d viruses, %d shots, %d particles\n", virus_list.size(), pshot_list.size(),
              explode_list.size());
  for (int mode : {0, 1}) {
    stereo_mode = mode;
    MeasureFrames(30);  // warm-up: textures made, caches filled
    FrameTimes t = MeasureFrames(300);
    std::printf("stereo %s: %6.0f us per frame (viruses %5.0f, shots %5.0f, particles %5.0f), drawing included\n",
                mode ? "on " : "off", t.Total(), t.virus, t.shot, t.explode);
  }
  return 0;
}
