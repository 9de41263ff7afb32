// mainloop: one frame of the screen machine, the keys every screen shares, and suspension.
#pragma once

void RunFrame();            // one iteration of the main loop
void HandleGlobalKeys();    // Escape, Space, joystick button 2, the close request and F11
void TakeWindowKey();       // F11: full screen <-> window
void WaitWhileSuspended();  // holds the game while its window is inactive
void HoldWhileInactive();   // the bare wait, for the splash, which has no music to pause
