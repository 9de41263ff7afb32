// menu: the title and pause menus, the options they set, and the Retro Line FX overlay.
#pragma once
#include <string>

extern std::string credit_line;
extern std::string menu_items[6];
extern std::string stereo_names[5];
extern std::string onoff_names[2];
extern std::string volume_names[11];

void SetMenuVocabulary();
int RunMenu();
int MovePointerByJoystick();
int DrawRetroLines(int shade);
int MenuRowAt(int pointer_y);  // the row under a pointer at this y, -1 or 6+ for none
int MenuRowCentreY(int row);   // where row 0..5 is drawn, and where Up and Down put the pointer
int StepMenuRow(int row, int step);  // the next (+1) or previous (-1) row, wrapping; from none, the first or last
