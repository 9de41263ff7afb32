// system: the program's own place on disk, the user's data folder, and the heap's manners.
#pragma once
#include <string>

std::string ProgramFolder(const char* argv0);        // the real folder of the running program (/proc/self/exe)
std::string UserDataFolder();                        // $XDG_DATA_HOME, else ~/.local/share; "" when neither is known
int CanWriteFolder(const std::string& path);         // 0 when permission or a read-only file system forbids it
int MakeFolders(const std::string& path);            // like mkdir -p, new folders private (0700); 1 when it is there
void KeepHeapTrimmed();                              // freed megabytes go back to the system
