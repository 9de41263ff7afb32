// frame_bench_replay: one frame's drawing, recorded from the GL back-end, and a plain
// OpenGL loop that draws it again with no game or engine code in between: the floor the
// game's frame time is compared against.
#pragma once
#include <vector>
#include "platform/gl_driver.h"

struct recorded_frame {
  std::vector<TGLDrawRecord> records;
  int quads = 0, textured = 0, clears = 0, lines = 0, points = 0;
  int texture_changes = 0, blend_changes = 0;  // as a minimal loop that sets them on change meets them
};

void StartRecording(recorded_frame* frame);  // every draw until StopRecording lands in frame
void StopRecording();                        // and counts what was recorded
int LoadReplayFunctions();                   // the framebuffer entry points; 0 when missing
enum { REPLAY_DRAW = 1, REPLAY_PRESENT = 2, REPLAY_ALL = 3 };
void ReplayFrame(const recorded_frame& frame, int parts);  // drawn into the game's picture; shown and swapped like a present
