// system: the program's own place on disk.
#pragma once
#include <string>

std::string ProgramFolder(const char* argv0);        // the folder that holds the running program
int ChangeToProgramFolder(const char* argv0);        // makes it the working directory; 1 on success
