// cmdline: --help, --version and --windowed. Nothing here opens a window, so a mistyped
// option costs the player no full-screen flash.
#include "app/cmdline.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include "app/datapaths.h"
#include "app/version.h"
#include "platform/system.h"

namespace {

const char* const kUsage =
    "Usage: kelvane [--windowed]\n"
    "       kelvane --help | --version\n";

const char* const kAbout =
    "Kelvane, an arcade shooter: clear each infected PC of its viruses.\n"
    "\n"
    "Options:\n"
    "  --windowed  play in a 640x480 window (the same as KELVANE_WINDOWED=1)\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Controls:\n"
    "  Left / Right arrow   move the ship up-left / down-right\n"
    "  Left Control         fire plasma; continue after a stage\n"
    "  Left Alt             launch a fire wall\n"
    "  Space or Escape      pause / resume (Escape on the title ends the game)\n"
    "  Enter or Left Alt    leave the statistics screen\n"
    "  Up / Down, Return    choose a menu row and act on it (also Tab, Shift+Tab, keypad Enter)\n"
    "  mouse                point and click in the menus\n"
    "  F11                  full screen / window\n"
    "  joystick             the stick or the D-pad moves; buttons 0 fire, 1 fire wall, 2 pause\n";

// A help nobody could read (stdout closed or full) is not a success.
int Printed() { return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1; }

int PrintHelp(const char* argv0) {
  std::fputs(kUsage, stdout);
  std::fputs(kAbout, stdout);
  EnterGameFolder(ProgramFolder(argv0));
  std::printf("\nFiles:\n  sounds                %s/\n", ShownPath("data").c_str());
  std::printf("  best score, 3D mode   %s/ (hiscore.dat, anaglyph3d.dat)\n", ShownPath(SaveFolder()).c_str());
  return Printed();
}

int Unknown(const std::string& arg) {
  std::fprintf(stderr, "kelvane: unknown option '%s'\n", arg.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  int windowed = 0;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--help") return PrintHelp(argv[0]);
    if (arg == "--version") {
      std::printf("Kelvane %s\n", GameVersion().c_str());
      return Printed();
    }
    if (arg != "--windowed") return Unknown(arg);
    windowed = 1;
  }
  // The display reads the same switch the environment gives.
  if (windowed) setenv("KELVANE_WINDOWED", "1", 1);
  return -1;
}
