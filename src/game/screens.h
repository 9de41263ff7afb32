// screens: the game-over statistics screen and the status panel drawn on every screen,
// and the text and icon helpers the in-game screens draw with.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include "platform/image.h"

int GameOverScreen();  // one frame of game_state 5
int StatusPanel();     // the bar at the top, and lives and fire walls during a game
int BestScoreCheck();  // end of every playing frame
std::string PanelNumber(int value);  // "07" below 10, plain decimal from 10

int ScreenTextStyle();  // colour (200, 200, 250), alpha blend, full alpha, scale 1
int ScreenText(const std::string& text, float x, float y, int centre);  // twdraw.t3d, separation 4.0, 2 passes
int ScreenIcon(const std::shared_ptr<TImage>& image, float x, float y, int frame);  // twdraw.i3d, separation 4.0, 2 passes

// Test seam: while set, every ScreenText and ScreenIcon call is noted here as given.
struct screen_item {
  std::string text;               // empty for an icon
  const TImage* image = nullptr;  // null for a text
  int frame = 0;
  float x = 0, y = 0;
  int centre = 0;
};
extern std::vector<screen_item>* screen_log;
