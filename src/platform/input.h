// input: keyboard, mouse and joystick tables, asked once per frame by the game.
// Keys use Windows virtual-key codes, the side of Shift, Control and Alt included.
// Every keyboard, mouse and flag question pumps the pending window events first.
#pragma once

// The key codes the game asks about
enum {
  KEY_TAB = 9, KEY_RETURN = 13, KEY_ESCAPE = 27, KEY_SPACE = 32,
  KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40,
  KEY_LSHIFT = 160, KEY_RSHIFT = 161, KEY_LCONTROL = 162, KEY_RCONTROL = 163, KEY_LALT = 164, KEY_RALT = 165
};

// input.cpp
// Keyboard
int IsKeyHeld(int key);         // 1 while held
int ReadKeyHit(int key);        // presses since the last read or flush; resets the count
void ClearKeyHits();            // forget held keys, hits and typed characters

// Mouse
int IsMouseButtonHeld(int button);  // 1 left, 2 right, 3 middle
int ReadMouseHit(int button);
void ClearMouseHits();          // forget held buttons, hits and the wheel
int PointerX();                 // in 640x480 picture pixels
int PointerY();
void MoveMouse(int x, int y);   // places the system pointer; the tables follow when its motion is pumped
void SetMouseVisible(int visible);

// Window flags
int IsAppSuspended();           // 1 while the window is inactive
int TakeCloseRequest();         // 1 once after a close request (the window's, SIGINT, SIGTERM or SIGHUP)
int CloseRequestPending();      // 1 while a close request waits to be taken
int TakeFullScreenRequests();   // F11 presses since the last call; like a close request, no key flush drops them

// Joystick: read straight from the device at every question
int CountJoysticks();           // rebuilds the port list
int IsJoyButtonHeld(int button, int port);
int ReadJoyButtonHit(int button, int port);
float GetJoyAxisX(int port);    // -1.0 .. +1.0, exactly at the extremes; the D-pad reads as an extreme while the stick is centred
float GetJoyAxisY(int port);
float JoyAxisValue(int raw, int min, int max);  // the raw-to-real mapping the axes use

// Event routing
void StartInputPolling();       // flushes and starts routing window events; a second call does nothing
void StopInputPolling();
void PollSystem();              // pumps pending window events into the tables

// keymap.cpp
int KeyCodeFromSdl(int sdl_keycode, int sdl_scancode);  // the virtual-key code for an SDL key, 0 if none
