// playtest: runs the real game from a script of input events, headless and unpaced,
// taking screenshots on the way. Usage: playtest [--paced] [--from-own-folder] SCRIPT [SHOT_DIR]
// --paced keeps the game's own clock, so the frames run at 60 a second and the sound
// reaches the audio output in step with them, as a player hears it.
// --from-own-folder: finds the game's files from where this program lies, as the game
// does (copied beside an installed game, it plays as that game would).
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "app/datapaths.h"
#include "app/mainloop.h"
#include "app/program.h"
#include "game/globals.h"
#include "platform/display.h"
#include "platform/system.h"
#include "script.h"
#include "synthetic_input.h"

namespace {

script_tag script;
int fake_now = 0;

// The script runs at every present, so it sees the splash as well as the main loop.
void OnPresent() {
  if (script.step()) return;
  synthetic::PushQuit();  // ends the splash as well as the main loop
}

int FakeClock() { return fake_now++; }
void FakeSleep(int ms) { fake_now += ms > 0 ? ms : 0; }

}  // namespace

int main(int argc, char** argv) {
  const char* argv0 = argv[0];
  int paced = 0, from_own_folder = 0;
  for (; argc > 1 && argv[1][0] == '-' && argv[1][1] == '-'; argc--, argv++) {
    std::string option = argv[1];
    if (option == "--paced") paced = 1;
    else if (option == "--from-own-folder") from_own_folder = 1;
    else break;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: playtest [--paced] [--from-own-folder] SCRIPT [SHOT_DIR]\n");
    return 2;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (!script.load(argv[1])) {
    std::fprintf(stderr, "playtest: cannot read %s\n", argv[1]);
    return 2;
  }
  script.shot_dir = argc > 2 ? argv[2] : ".";
  if (from_own_folder && !EnterGameFolder(ProgramFolder(argv0))) return 1;
  if (!paced) SetClockSeam(FakeClock, FakeSleep);
  SetPresentHook(OnPresent);
  if (!StartProgram()) return 1;
  while (!quit_requested) RunFrame();
  SaveAndShutdown();
  std::printf("playtest: %d frames\n", script.frames);
  return 0;
}
