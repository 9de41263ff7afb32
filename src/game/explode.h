// explode: explosion particles, scattered in bursts, drifting, fading and shrinking.
#pragma once
#include "game/tlist.h"

struct explode_tag {
  float x = 0, y = 0;
  float sc = 0;
  float al = 0;
  float alst = 0;
  int fr = 0;
  tlist<explode_tag>::link* lnk = nullptr;

  static int set(float x, float y, int fr, int spread, int count);  // count + 1 particles
  int update();
  int remove();
  static int update_all();
  static int destroy_all();
};

extern tlist<explode_tag> explode_list;
