// version: the game's version, set once in the build.
#pragma once
#include <string>

std::string GameVersion();   // "1.0.0"
std::string ShortVersion();  // "1.0", as the credit line shows it
