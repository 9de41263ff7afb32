// virus: the enemies of a stage, their spawning clock and their behaviour.
// Kinds (typ): 1 line, 2 large, 3 formation, 4 single, 5 CPU marker, 6 capsule.
#pragma once
#include "game/tlist.h"

struct virus_tag {
  float x = 0, y = 0;
  float xdir = 0;
  float scale = 0;
  int typ = 0;
  int ftmr = 0;
  int fctr = 0;
  int dctr = 0;
  int hpts = 0;
  int dir = 0;
  tlist<virus_tag>::link* lnk = nullptr;

  static int vspawn();
  static int setcpu();
  int update();
  int remove();
  static int update_all();
  static int destroy_all();
};

extern tlist<virus_tag> virus_list;
