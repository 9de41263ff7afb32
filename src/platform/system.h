// system: the program's own place on disk, and its heap's manners.
#pragma once
#include <string>

std::string ProgramFolder(const char* argv0);        // the folder that holds the running program
int ChangeToProgramFolder(const char* argv0);        // makes it the working directory; 1 on success
void KeepHeapTrimmed();                              // freed megabytes go back to the system
