// background: the scrolling circuit board, or the dimmed still behind the pause menu.
#pragma once

extern int board1_x, board1_y, board2_x, board2_y;

int BackgroundStep();  // first step of every frame
