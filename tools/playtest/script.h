// script: a playtest script, one command a line, run a frame at a time.
//   key down|up|press NAME    mouse move X Y | mouse down|up|click
//   joy axis N VALUE | joy button N 0|1 (virtual joystick)
//   wait N (frames)    screenshot NAME    seed N    # comment
#pragma once
#include <string>
#include <vector>

struct script_tag {
  std::vector<std::string> lines;
  size_t pc = 0;
  int wait = 0;
  int frames = 0;
  std::string shot_dir;

  int load(const std::string& path);
  int step();  // runs commands until a wait; 0 when the script has ended
};
