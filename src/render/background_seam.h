// background_seam: the two boards' positions, for the tests that follow the scroll.
#pragma once

extern int board1_x, board1_y, board2_x, board2_y;
