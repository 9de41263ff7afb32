// program: the whole program from start-up to exit, around the main loop.
#pragma once

int RunProgram(const char* argv0);  // the whole program; ends the process
int StartProgram();                 // every start-up step up to the title screen; 0 when no display opened
void SaveAndShutdown();             // the exit sequence short of ending the process
