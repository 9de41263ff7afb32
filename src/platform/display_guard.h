// display_guard: what the display layer does when there is no real display, or when the
// one it had goes away under the running game (the X server ends: a logout, a crash).
#pragma once

// Called once SDL's video has started: 0 (with the one line on stderr) when SDL fell back
// to a display nobody sees ("offscreen", "dummy") that SDL_VIDEODRIVER did not ask for.
int VideoDriverIsUsable();

// Watches the X connection, if that is what SDL opened. Should it break, the hook is run
// (to save what must not be lost), one line goes to stderr, and the process ends with
// exit code 1 at once: nothing at exit may wait on a connection that is gone.
void WatchDisplayConnection();
void SetDisplayLostHook(void (*hook)());  // nullptr: nothing to save yet
