// frame_bench_scenes: the screens the frame benchmark measures, built and held steady
// through the game's own globals and spawning functions.
#pragma once
#include <random>
#include <vector>

struct scene_def {
  const char* name;
  int state, phase;                  // game_state, stage_phase
  int viruses, shots, particles;     // counts held before every frame
  int firewall, sidekicks;           // a fire wall always sweeping; player.skick
};

const std::vector<scene_def>& Scenes();          // title, typical, heavy, clear
void EnterScene(const scene_def& s, int stereo);  // from whatever screen ran before
void HoldScene(const scene_def& s, std::mt19937& rng);  // tops up and trims the counts; between frames only
int SceneBroken(const scene_def& s);             // 1 when the last frame left the scene (the ship was hit)
