// player: the ship on its diagonal track, its side-kicks, the fire wall, and the game's running numbers.
#pragma once

struct player_tag {
  int score = 0;
  int best_sc = 0;
  int new_bs = 0;
  int lives = 0;
  int level = 0;
  float x = 0, y = 0;
  int frame = 0;
  int ftmr = 0;
  int fctr = 0;
  int skick = 0;
  int fwall = 0;

  static int reset(int new_game);  // acts on `player`
  int place_new();
  int update();
  int get_inputs();
  int flush_inputs();
};

extern player_tag player;
