// background: the scrolling circuit board, or the dimmed still behind the pause menu.
#pragma once

int BackgroundStep();  // first step of every frame
