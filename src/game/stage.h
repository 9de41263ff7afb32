// stage: the playing screen's phases, the close of a stage with its scoring, and the
// emptying of the entity lists a new stage starts with.
#pragma once

int PlayingScreen();  // one frame of game_state 2
int StagePercent(int found, int destroyed);  // the disinfection percentage, 0..100
int ClearEntities();
