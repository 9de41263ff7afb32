// game: the program's main body: start-up, the main loop's frames, the exit sequence.
#pragma once

int RunGame(const char* argv0);  // the whole program; ends the process
int StartGame();                 // every start-up step up to the title screen; 0 when no display opened
void RunFrame();                 // one iteration of the main loop
void HandleGlobalKeys();         // Escape, Space, joystick button 2, the close request and F11
void TakeWindowKey();            // F11: full screen <-> window
void WaitWhileSuspended();       // holds the game while its window is inactive
void SaveAndShutdown();          // the exit sequence short of ending the process
