// title: leaving a game for the title menu.
#include "game/title.h"
#include "game/globals.h"
#include "game/music.h"
#include "platform/input.h"

// Keys and buttons are the caller's: the pause menu throws its presses away, game over
// has read the one that brought it here.
int ReturnToTitle() {
  StopMusic();
  game_state = GS_TITLE;
  MoveMouse(POINTER_HOME_X, POINTER_HOME_Y);
  return 0;
}
