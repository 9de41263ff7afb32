// pshot: the player's plasma shots.
#pragma once
#include "game/tlist.h"

struct pshot_tag {
  float x = 0, y = 0;
  tlist<pshot_tag>::link* lnk = nullptr;

  static int fire(int x, int y);
  int update();
  int remove();  // leaves pshot_list; does nothing if already out
  static int update_all();
  static int destroy_all();
};

extern tlist<pshot_tag> pshot_list;
