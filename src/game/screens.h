// screens: the game-over statistics screen and the status panel drawn on every screen.
#pragma once
#include <string>

int GameOverScreen();  // one frame of game_state 5
int StatusPanel();     // the bar at the top, and lives and fire walls during a game
int BestScoreCheck();  // end of every playing frame
std::string PanelNumber(int value);  // "07" below 10, plain decimal from 10
