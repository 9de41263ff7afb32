// stage: the playing screen's phases, the stage close and its scoring, the ship-lost
// screen, and the helpers every screen uses to make sound.
#pragma once
#include <memory>
#include <string>
#include "platform/sound.h"

int PlayingScreen();   // one frame of game_state 2
int ShipLostScreen();  // one frame of game_state 6
int StagePercent(int found, int destroyed);  // the disinfection percentage, 0..100
int PlaySfx(const std::shared_ptr<TSound>& sound);  // a sound that failed to load plays as silence
int StartMusic(int which);
int ClearEntities();
