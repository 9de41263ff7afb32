// The game's sound effects and its stage music, as raw sample buffers.
#pragma once
#include "sound/ogg_out.h"

Pcm MakePlasma();      // ~0.2 s zap
Pcm MakeFireWall();    // ~1 s rising roar
Pcm MakeExplode();     // ~0.5 s soft blast
Pcm MakePowerUp();     // bell arpeggio
Pcm MakeStageClear();  // jingle
Pcm MakeGameStart();   // fanfare
Pcm MakeMusic();       // the stage loop, stereo, a whole number of bars

// Shared with the jingles and the music: one note of a voice, added into a mono buffer.
void AddBrass(std::vector<float>& out, size_t at, float seconds, float note, float vel);
void AddBell(std::vector<float>& out, size_t at, float note, float vel);
