// shiplost: the pause after a lost ship, then a new ship at the same stage.
#pragma once

int ShipLostScreen();  // one frame of game_state 6
