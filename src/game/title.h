// title: the way back to the title menu, from the pause menu and from game over.
#pragma once

int ReturnToTitle();  // the music stops and the pointer waits over the first row
