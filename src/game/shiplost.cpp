// shiplost: the pause after a lost ship, while its explosion plays out; then a new ship
// at the get-ready phase of the same stage.
#include "game/shiplost.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/virus.h"

// Every virus left goes 750 pixels up-left over the screen's time, off its top-left
// diagonal, so the new ship never meets it; it still counts as missed when it leaves.
static int PushVirusesAway() {
  virus_list.walk([](virus_tag& v) {
    v.x -= 5.0f;
    v.y -= 5.0f;
    return 0;
  });
  return 0;
}

static int NewShip() {
  player.place_new();
  player.lives -= 1;
  game_state = GS_PLAYING;
  stage_phase = 0;
  pshot_tag::destroy_all();
  player.flush_inputs();
  return 0;
}

int ShipLostScreen() {
  phase_timer += 1;
  explode_tag::update_all();
  PushVirusesAway();
  if (phase_timer >= 150) NewShip();
  return 0;
}
