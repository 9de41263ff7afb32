// music: the one music channel. Opened at start-up, replaced at each stage's start,
// stopped on the way back to the title, paused while the window is away.
#pragma once

int OpenMusicChannel();     // start-up: an idle channel, so stopping or pausing never needs a stage first
int StartMusic(int which);  // the stage music from its beginning, at the music volume
int StopMusic();
int MusicPlaying();
int PauseMusic(int paused);
int ApplyMusicVolume();     // after the menu changed music_volume
