// datapaths: where the game's files are.
// Portable layout: a `data` folder beside the program holds the sounds and both saves.
// Installed layout: the program in <prefix>/games, the sounds in
// <prefix>/share/games/kelvane/data, the saves in $XDG_DATA_HOME/kelvane.
// Either way the folder holding `data` is the working directory, so the sounds' paths
// are the same; the saves move to the user's folder when `data` is shared or read-only.
#pragma once
#include <string>

enum { SAVE_BEST_SCORE = 0, SAVE_STEREO_MODE = 1 };

int EnterGameFolder(const std::string& program_folder);  // picks the layout, changes there; 1 on success
int IsInstalledLayout();                                 // 1 when the sounds came from <prefix>/share; a test seam
std::string SaveFolder();                                // where the saves go; "data" when portable
std::string SaveFilePath(int which);                     // the file written at exit
std::string LoadFilePath(int which);                     // read at start: the saved file, on a first run the shared one
int MakeSaveFolder(std::string* why = nullptr);          // made on the first save; 1 when it is a folder, else *why says why not
std::string ShownPath(const std::string& path);          // absolute, '/'-separated: how a message names it
