// game: start-up order, the main loop's screen machine and the exit sequence.
#include "app/game.h"

int RunGame(const char* argv0) {
  (void)argv0;
  return 0;
}
