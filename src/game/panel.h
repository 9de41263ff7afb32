// panel: the status bar drawn on every screen, and the best-score check.
#pragma once
#include <string>

int StatusPanel();     // the bar at the top, and lives and fire walls during a game
int BestScoreCheck();  // end of every playing frame
std::string PanelNumber(int value);  // "07" below 10, plain decimal from 10
