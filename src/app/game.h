// game: the program's main body: start-up, one frame of the main loop, the exit sequence.
#pragma once

int RunGame(const char* argv0);  // the whole program; ends the process with exit code 0
void StartGame();                // every start-up step, up to the title screen
void RunFrame();                 // one iteration of the main loop
void SaveAndShutdown();          // the exit sequence short of ending the process
