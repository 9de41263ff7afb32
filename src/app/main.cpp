// Kelvane: the thin entry; the game itself is the library.
#include "app/game.h"

int main(int argc, char** argv) {
  (void)argc;
  return RunGame(argv[0]);
}
