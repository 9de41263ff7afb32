// panel: the translucent bar with score, best score and stage, the lives and fire-wall
// corner, and the best-score check.
#include "game/panel.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/screentext.h"
#include "platform/draw.h"
#include "platform/font.h"
#include "platform/random.h"
#include "render/twdraw.h"

std::string PanelNumber(int value) {
  std::string text = std::to_string(value);
  if (value < 10) text.insert(0, 1, '0');
  return text;
}

static int DrawPanelBars() {
  twdraw.sip(BLEND_ADDITIVE, 0.4f, 0, 1.0f, 1.0f);
  SetDrawColor(10, 10, 100);
  FillRect(0, 0, 640, 26);
  SetDrawColor(10, 100, 100);
  FillRect(0, 13, 640, 13);
  return 0;
}

// Score at the left, best in the middle, stage ending 4 pixels from the right edge.
static int DrawPanelNumbers() {
  ScreenTextStyle();
  ScreenText(PanelNumber(player.score), 4, 0, 0);
  std::string best = PanelNumber(player.best_sc);
  ScreenText(best, static_cast<float>(320 - MeasureTextWidth(best) / 2), 0, 0);
  std::string stage = PanelNumber(player.level);
  ScreenText(stage, static_cast<float>(636 - MeasureTextWidth(stage)), 0, 0);
  return 0;
}

// NOTE: drawn with whatever state the numbers left; nothing is set again here.
static int DrawLivesAndWalls() {
  ScreenIcon(virus_img, 30, 430, 2);
  std::string lives = "x";
  lives += std::to_string(player.lives);
  ScreenText(lives, 45, 422, 0);
  for (int i = 1; i <= player.fwall; i++) ScreenIcon(bits_img, static_cast<float>(25 + 18 * (i - 1)), 460, 4);
  return 0;
}

int StatusPanel() {
  DrawPanelBars();
  DrawPanelNumbers();
  if (game_state != GS_TITLE) DrawLivesAndWalls();
  return 0;
}

int BestScoreCheck() {
  if (player.score > player.best_sc) {
    if (player.new_bs == 0) player.new_bs = 1;
    player.best_sc = player.score;
  }
  return 0;
}
