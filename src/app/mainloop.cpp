// mainloop: one frame of the screen machine, the keys every screen shares, and suspension.
#include "app/mainloop.h"
#include "app/menu.h"
#include "game/gameover.h"
#include "game/globals.h"
#include "game/music.h"
#include "game/panel.h"
#include "game/shiplost.h"
#include "game/stage.h"
#include "game/title.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "render/background.h"

static void RunScreenStep() {
  switch (game_state) {
    case GS_PLAYING: PlayingScreen(); break;
    case GS_PAUSED:
    case GS_TITLE: RunMenu(); break;
    case GS_GAME_OVER: GameOverScreen(); break;
    case GS_SHIP_LOST: ShipLostScreen(); break;
    default: break;
  }
}

void RunFrame() {
  BackgroundStep();
  RunScreenStep();
  StatusPanel();
  DrawRetroLines(2);
  FlipFrame(-1);
  HandleGlobalKeys();
  WaitWhileSuspended();
}

// The still behind the pause menu is the frame just presented.
static void EnterPause() {
  game_state = GS_PAUSED;
  GrabScreenToImage(pause_backdrop, 0, 0, 0);
  MoveMouse(POINTER_HOME_X, POINTER_HOME_Y);
}

static void HandleEscape() {
  if (game_state == GS_TITLE) {
    quit_requested = 1;
  } else if (game_state == GS_PAUSED) {
    ReturnToTitle();
    ClearKeyHits();
    ClearMouseHits();
  } else if (game_state == GS_PLAYING) {
    EnterPause();
    ClearKeyHits();
    ClearMouseHits();
  }
}

static void TogglePause() {
  if (game_state == GS_PLAYING) {
    EnterPause();
    ClearMouseHits();
    ClearKeyHits();
  } else if (game_state == GS_PAUSED) {
    game_state = GS_PLAYING;
    ClearMouseHits();
    ClearKeyHits();
  }
}

void HandleGlobalKeys() {
  if (ReadKeyHit(KEY_ESCAPE)) HandleEscape();
  if (ReadKeyHit(KEY_SPACE) || ReadJoyButtonHit(2, 0)) TogglePause();
  if (TakeCloseRequest()) quit_requested = 1;
  TakeWindowKey();
}

// F11 (an extra) switches between full screen and a window on every screen, the splash's too.
void TakeWindowKey() {
  if (TakeFullScreenRequests() % 2) ToggleFullScreen();
}

void WaitWhileSuspended() {
  if (quit_requested || !IsAppSuspended()) return;  // a request taken during the splash counts too
  int paused_music = 0;
  if (MusicPlaying()) {
    PauseMusic(1);
    paused_music = 1;
  }
  HoldWhileInactive();
  if (TakeCloseRequest()) quit_requested = 1;
  if (paused_music) PauseMusic(0);
}

// A close request (a signal, the window's close button, a logout) ends the wait at once:
// at logout SIGKILL soon follows, and the run's best score would be lost.
void HoldWhileInactive() {
  while (IsAppSuspended() && !CloseRequestPending()) SleepMillis(10);
}
