// frame_bench_scenes: entering a screen and holding its entity counts between frames.
#include "frame_bench_scenes.h"
#include <cmath>
#include "app/datafiles.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/stage.h"
#include "game/virus.h"
#include "render/twdraw.h"

namespace {

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// The ship and its side-kicks, as the player's drawing places them.
int NearShip(float x, float y) {
  const float bodies[3][2] = {{0, 0}, {-45, -40}, {45, 40}};
  for (int i = 0; i < (player.skick == 2 ? 3 : player.skick == 1 ? 2 : 1); i++) {
    float dx = x - (player.x + bodies[i][0]), dy = y - (player.y + bodies[i][1]);
    if (std::fabs(dx) < 105 && std::fabs(dy) < 85) return 1;
  }
  return 0;
}

// Keeps the first `target` members, removes the rest.
template <class T>
void Trim(tlist<T>& list, int target) {
  int i = 0;
  list.walk([&](T& e) {
    if (i++ >= target) e.remove();
    return 0;
  });
}

// New viruses appear above the screen; these are moved onto it, clear of the ship.
void PlaceNewViruses(int first, std::mt19937& rng) {
  int i = 0;
  virus_list.walk([&](virus_tag& v) {
    if (i++ < first) return 0;
    do {
      v.x = static_cast<float>(Uniform(rng, 20, 620));
      v.y = static_cast<float>(Uniform(rng, 40, 450));
    } while (NearShip(v.x, v.y));
    return 0;
  });
}

void HoldViruses(int target, std::mt19937& rng) {
  virus_list.walk([](virus_tag& v) {
    if (NearShip(v.x, v.y)) v.remove();
    return 0;
  });
  while (virus_list.size() < target) {
    int before = virus_list.size();
    virus_tag::vspawn();
    PlaceNewViruses(before, rng);
  }
  Trim(virus_list, target);
}

void HoldShots(int target, std::mt19937& rng) {
  while (pshot_list.size() < target) pshot_tag::fire(Uniform(rng, 0, 560), Uniform(rng, 60, 480));
  Trim(pshot_list, target);
}

void HoldParticles(int target, std::mt19937& rng) {
  while (explode_list.size() < target) {
    int count = std::min(50, target - explode_list.size() - 1);
    explode_tag::set(static_cast<float>(Uniform(rng, 0, 640)), static_cast<float>(Uniform(rng, 30, 480)),
                     Uniform(rng, 0, 3), 25, count);
  }
  Trim(explode_list, target);
}

}  // namespace

const std::vector<scene_def>& Scenes() {
  static const std::vector<scene_def> scenes = {
      {"title", GS_TITLE, 0, 0, 0, 0, 0, 0},
      {"typical", GS_PLAYING, 1, 10, 20, 300, 0, 0},
      {"heavy", GS_PLAYING, 1, 60, 150, 2000, 1, 2},
      {"clear", GS_PLAYING, 2, 0, 0, 0, 0, 0},
  };
  return scenes;
}

void EnterScene(const scene_def& s, int stereo) {
  stereo_mode = stereo ? 1 : 0;
  StereoModeFile(0);
  game_state = s.state;
  if (s.state == GS_PLAYING) player_tag::reset(1);  // starts the music, as a game start does
  else ClearEntities();
  stage_phase = s.phase;
  player.skick = s.sidekicks;
  if (s.phase == 2) viruses_found = 120, viruses_destroyed = 109;
}

void HoldScene(const scene_def& s, std::mt19937& rng) {
  game_state = s.state;
  if (s.state != GS_PLAYING) return;
  stage_phase = s.phase;
  player.lives = 3;
  player.x = 240.0f, player.y = 320.0f;
  spawn_timer = 1000;  // the game's own spawning stays out of the counts
  if (s.phase == 2) {
    phase_timer = 200;  // the whole report, "Press Fire To Continue" included
    return;
  }
  HoldViruses(s.viruses, rng);
  HoldShots(s.shots, rng);
  HoldParticles(s.particles, rng);
  if (s.firewall && !firewall_active) firewall_active = 1, firewall_x = 50.0f, firewall_y = 480.0f;
}

int SceneBroken(const scene_def& s) { return game_state != s.state; }
