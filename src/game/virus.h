// virus: the enemies of a stage, their spawning clock and their behaviour.
#pragma once
#include "game/tlist.h"

// Kinds (typ)
enum { V_LINE = 1, V_LARGE = 2, V_FORMATION = 3, V_SINGLE = 4, V_CPU = 5, V_CAPSULE = 6 };

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

  // virus.cpp
  int update();

  // virus_list.cpp
  static int vspawn();
  static int setcpu();
  int remove();
  static int update_all();
  static int destroy_all();
};

extern tlist<virus_tag> virus_list;  // virus_list.cpp
