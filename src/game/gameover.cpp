// gameover: the statistics of the game just lost, then back to the title on fire.
#include "game/gameover.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/screentext.h"
#include "game/title.h"
#include "platform/input.h"

static int DrawStatistics() {
  ScreenText("Kelvane Destroyed", 320, 80, 1);
  ScreenText("Total PC's Recovered: " + std::to_string(pcs_recovered), 320, 150, 1);
  ScreenText("Total PC Recovery Errors: " + std::to_string(pc_recovery_errors), 340, 170, 1);
  ScreenText("Total PC's Destroyed: " + std::to_string(pcs_destroyed), 320, 190, 1);
  ScreenText("Total Shots Fired: " + std::to_string(shots_fired), 320, 250, 1);
  ScreenText("Total Fire Walls Launched: " + std::to_string(firewalls_launched), 320, 270, 1);
  ScreenText("Total Viruses Found: " + std::to_string(total_viruses_found), 320, 290, 1);
  ScreenText("Total Viruses Destroyed: " + std::to_string(total_viruses_destroyed), 320, 310, 1);
  return 0;
}

// Fire here is joystick button 0, Enter, left Alt or the left mouse button; not left Control.
static int GameOverFire() {
  if (ReadJoyButtonHit(0, 0)) return 1;
  if (ReadKeyHit(KEY_RETURN)) return 1;
  if (ReadKeyHit(KEY_LALT)) return 1;
  return ReadMouseHit(1) != 0;
}

int GameOverScreen() {
  phase_timer += 1;
  explode_tag::update_all();
  ScreenTextStyle();
  DrawStatistics();
  std::string footer = "Game Over";
  if (phase_timer < 250) {
    player.flush_inputs();
  } else {
    footer = "Game Over -- Press Fire";
    if (GameOverFire()) ReturnToTitle();
  }
  ScreenText(footer, 320, 400, 1);
  return 0;
}
