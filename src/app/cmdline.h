// cmdline: the few options beside the menu. With none the game starts as it always has.
#pragma once

int RunCommandLine(int argc, char** argv);  // -1: start the game; else the exit code (--help, --version: 0; unknown: 2)
