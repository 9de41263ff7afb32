// gameover: the statistics of the game just lost.
#pragma once

int GameOverScreen();  // one frame of game_state 5
