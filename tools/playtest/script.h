// script: a playtest script, one command a line, run a frame at a time.
//   key down|up|press NAME    mouse move X Y | mouse down|up|click
//   joy axis N VALUE | joy button N 0|1 (virtual joystick)
//   wait N (frames)    screenshot NAME    seed N    # comment
//   repeat N ... end   the lines between, N times
//   repeat N while state|phase V ... end   the same, ending early once the game leaves V
//   until state|phase N MAX   waits until game_state or stage_phase is N, at most MAX frames
//   sigterm            raises SIGTERM in the game process (SDL makes it a quit request)
//   close              the window's close button
//   sound NAME         plays an effect (plasma, firewall, explode, powerup, stageclear,
//                      gamestart) or starts the music (music), as the game would
// Debug pokes, for reaching late screens without playing through:
//   state N            game_state = N, phase_timer = 0 (and no lives left for 5, game over)
//   phase N            stage_phase = N, phase_timer = 0 (2: the stage-clear report)
//   score N            player.score = N; the game's best-score check follows it
#pragma once
#include <sstream>
#include <string>
#include <vector>

struct script_tag {
  std::vector<std::string> lines;
  size_t pc = 0;
  int wait = 0;
  std::string until_what;  // "state" or "phase"
  int until_value = 0, until_left = 0;
  int frames = 0;
  std::string shot_dir;
  struct loop {
    size_t start;      // the line after the repeat
    int left;          // passes still to run
    std::string what;  // "state" or "phase" for a repeat ... while; empty otherwise
    int value;
  };
  std::vector<loop> loops;

  int load(const std::string& path);
  int step();  // runs commands until a wait; 0 when the script has ended
  int Waiting();  // 1 while a wait or an until holds the script
  void RunLoop(std::istringstream& in, const std::string& verb);
};
