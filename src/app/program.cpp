// program: start-up order and the exit sequence around the main loop.
#include "app/program.h"
#include <cstdlib>
#include "app/assets.h"
#include "app/datafiles.h"
#include "app/datapaths.h"
#include "app/embedded_files.h"
#include "app/mainloop.h"
#include "app/menu.h"
#include "app/splash.h"
#include "game/globals.h"
#include "game/music.h"
#include "game/player.h"
#include "platform/app_icon.h"
#include "platform/display.h"
#include "platform/display_guard.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/system.h"

// What a normal exit saves; also run when the display goes away under the game.
static void SaveDataFiles() {
  StereoModeFile(2);
  BestScoreFile(1);
}

int StartProgram() {
  KeepHeapTrimmed();
  RegisterGameFiles();
  SetAppTitle("Kelvane");
  SetAppIcon("incbin::kelvane_icon.png");
  if (!OpenGraphics(640, 480, 32, 60, 2)) return 0;
  CountJoysticks();
  SetMaskKey(0, 0, 0);
  SetDefaultImageFlags(IMG_MASKED | IMG_DYNAMIC);
  CreateBlankImages();
  SetMenuVocabulary();
  OpenMusicChannel();
  SetMouseVisible(0);
  SeedRandom(ClockMillis());
  LoadAssets();
  StereoModeFile(1);
  BestScoreFile(0);
  SetDisplayLostHook(SaveDataFiles);  // only now is there something of the player's to keep
  ShowSplash(-25);
  player_tag::reset(1);
  game_state = GS_TITLE;
  MoveMouse(POINTER_HOME_X, POINTER_HOME_Y);
  return 1;
}

void SaveAndShutdown() {
  if (MusicPlaying()) {
    StopMusic();
    SleepMillis(500);
  }
  SaveDataFiles();
}

int RunProgram(const char* argv0) {
  EnterGameFolder(ProgramFolder(argv0));
  if (!StartProgram()) return EXIT_FAILURE;  // the display layer has said why, in one line
  do {
    RunFrame();
  } while (!quit_requested);
  SaveAndShutdown();
  ExitProgram();
}
