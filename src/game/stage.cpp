// stage: the playing screen's three phases and the close of a stage with its scoring.
#include "game/stage.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/panel.h"
#include "game/player.h"
#include "game/pshot.h"
#include "game/screentext.h"
#include "game/sfx.h"
#include "game/virus.h"
#include "platform/input.h"

int StagePercent(int found, int destroyed) {
  if (found == destroyed) return 100;
  int p = 100 - (found - destroyed);
  if (destroyed == 0 || p < 0) p = 0;
  return p;
}

static std::string StageVerdict(int p) {
  if (p >= 90) return "PC Will Recover With Out Errors";
  if (p >= 80) return "PC Recovery Error - Must Reboot";
  return "PC Is Destroyed - No Recovery";
}

static int GetReadyPhase() {
  ScreenTextStyle();
  ScreenText("Get Ready!!", 320, 220, 1);
  phase_timer += 1;
  player.update();
  pshot_tag::update_all();
  if (phase_timer >= 200) stage_phase = 1;
  return 0;
}

static int RunningPhase() {
  virus_tag::update_all();
  pshot_tag::update_all();
  player.update();
  explode_tag::update_all();
  return 0;
}

static int DrawStageReport() {
  ScreenTextStyle();
  ScreenText("Stage Clear!!", 320, 80, 1);
  ScreenText("----------------------", 320, 100, 1);
  ScreenText("Kelvane Cleaned " + std::to_string(viruses_destroyed) + " of " + std::to_string(viruses_found) +
                 " Bugs",
             320, 180, 1);
  if (viruses_found == viruses_destroyed) {
    ScreenText("PC 100% Disinfected! Bonus 5000 Pts", 320, 230, 1);
    ScreenText("Complete Recovery - Go Kelvane!!", 320, 280, 1);
    return 0;
  }
  int p = StagePercent(viruses_found, viruses_destroyed);
  ScreenText("PC " + std::to_string(p) + "% Disinfected Bonus " + std::to_string(p * 25) + " Pts", 320, 230, 1);
  ScreenText(StageVerdict(p), 320, 280, 1);
  return 0;
}

// The bonus, the game totals, and on to the next, longer stage.
static int CloseStage() {
  int p = StagePercent(viruses_found, viruses_destroyed);
  PlaySfx(snd_gamestart);
  if (p == 100) {
    pcs_recovered += 1;
    player.score += 5000;
  } else {
    player.score += 25 * p;
    if (player.fwall > 3) player.score += 50 * (player.fwall - 3);
    if (p >= 90) {
      pcs_recovered += 1;
    } else if (p >= 80) {
      pc_recovery_errors += 1;
    } else {
      pcs_destroyed += 1;
    }
  }
  total_viruses_found += viruses_found;
  waves_per_stage += 20;
  player.level += 1;
  total_viruses_destroyed += viruses_destroyed;
  player_tag::reset(0);
  player.flush_inputs();
  return 0;
}

static int StageClearPhase() {
  phase_timer += 1;
  DrawStageReport();
  if (phase_timer <= 150) {
    player.flush_inputs();  // presses made while the report comes up are thrown away
    return 0;
  }
  ScreenText("Press Fire To Continue", 320, 380, 1);
  int fire = ReadJoyButtonHit(0, 0);
  if (fire == 0) fire = ReadKeyHit(KEY_LCONTROL);
  if (fire != 0) CloseStage();
  return 0;
}

int PlayingScreen() {
  switch (stage_phase) {
    case 0:
      GetReadyPhase();
      break;
    case 1:
      RunningPhase();
      break;
    case 2:
      StageClearPhase();
      break;
  }
  BestScoreCheck();
  return 0;
}

int ClearEntities() {
  pshot_tag::destroy_all();
  virus_tag::destroy_all();
  explode_tag::destroy_all();
  return 0;
}
