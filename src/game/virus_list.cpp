// virus_list: the live viruses, the spawn clock with its events and the CPU marker, and
// the frame's walk over the list.
#include "game/globals.h"
#include "game/virus.h"
#include "platform/random.h"

tlist<virus_tag> virus_list;

static void AddVirus(int typ, int hpts, float scale, int x, int y) {
  auto v = std::make_shared<virus_tag>();
  v->typ = typ;
  v->hpts = hpts;
  v->scale = scale;
  v->x = static_cast<float>(x);
  v->y = static_cast<float>(y);
  v->lnk = virus_list.add_last(v);
}

// Seven viruses strung up and to the right from a random point just above the screen.
static void SpawnLine() {
  int x0 = TruncToInt(200 + RandomReal(0, 740));
  spawn_timer += 280;
  for (int i = 0; i <= 6; i++) {
    viruses_found += 1;
    AddVirus(V_LINE, 1, 1.0f, x0 + 36 * i, -18 - 33 * i);
  }
}

// Seven viruses on a fixed diagonal off the top right, each further right and lower.
static void SpawnFormation() {
  spawn_timer += 60;
  for (int i = 0; i <= 6; i++) {
    viruses_found += 1;
    AddVirus(V_FORMATION, 1, 1.0f, 560 + 65 * i, -300 + 33 * i);
  }
}

// Patterns 2 and 4 set the timer, 1 and 3 add to it; it is 0 whenever this runs.
int virus_tag::vspawn() {
  int pattern = TruncToInt(RandomReal(0, 4) + 1);
  if (pattern == 4) {
    viruses_found += 1;
    int x = TruncToInt(200 + RandomReal(0, 740));
    spawn_timer = 60;
    AddVirus(V_SINGLE, 1, 1.0f, x, -18);
  } else if (pattern == 2) {
    viruses_found += 1;
    int x = TruncToInt(320 + RandomReal(0, 640));
    spawn_timer = 120;
    AddVirus(V_LARGE, 6, 1.5f, x, -18);
  } else if (pattern == 1) {
    SpawnLine();
  } else if (pattern == 3) {
    SpawnFormation();
  }
  return 0;
}

// Placed so that it passes (520, 400) 451 frames later, at a pixel a frame on each axis.
int virus_tag::setcpu() {
  auto v = std::make_shared<virus_tag>();
  v->typ = V_CPU;
  v->x = 520.0f + 451.0f;
  v->y = 400.0f - 451.0f;
  v->lnk = virus_list.add_last(v);
  return 0;
}

// The tail of update_all. Once the marker is out the timer stays at 0 for the rest of the stage.
static int SpawnClock() {
  spawn_timer -= 1;
  if (spawn_timer > 0) return 0;
  spawn_timer = 0;
  if (waves_spawned < waves_per_stage) waves_spawned += 1;
  if (waves_spawned == waves_per_stage) {
    waves_spawned = waves_per_stage + 1;
    virus_tag::setcpu();
  } else if (waves_spawned < waves_per_stage + 1) {
    virus_tag::vspawn();
  }
  return 0;
}

int virus_tag::remove() {
  virus_list.remove_member(*this);
  return 0;
}

int virus_tag::destroy_all() {
  virus_list.remove_each();
  return 0;
}

// A lost ship stops the walk: the rest neither move nor draw this frame. Game over does not.
int virus_tag::update_all() {
  virus_list.walk([](virus_tag& v) {
    v.update();
    return game_state == GS_SHIP_LOST;
  });
  SpawnClock();
  return 0;
}
