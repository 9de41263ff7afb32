// globals: the program-wide state every screen of the game shares, made once at start-up.
#pragma once
#include <memory>
#include "platform/font.h"
#include "platform/image.h"
#include "platform/sound.h"

// Where the pointer goes whenever a menu comes up: over its first row
enum { POINTER_HOME_X = 320, POINTER_HOME_Y = 265 };

// Screens: 2 playing, 3 paused, 4 title menu, 5 game over, 6 ship lost.
enum { GS_PLAYING = 2, GS_PAUSED = 3, GS_TITLE = 4, GS_GAME_OVER = 5, GS_SHIP_LOST = 6 };

extern int game_state;
extern int quit_requested;
extern int retro_fx;
extern float sfx_volume, music_volume;
extern int sfx_volume_step, music_volume_step;
extern std::shared_ptr<TChannel> music_channel;

// Stage flow: 0 get ready, 1 running, 2 stage clear
extern int stage_phase, phase_timer;

// The fire wall in flight and the statistics counters that outlive a game
extern int firewall_active;
extern float firewall_x, firewall_y;
extern int shots_fired, firewalls_launched;

// Spawning and the stage's counts
extern int waves_per_stage, waves_spawned, spawn_timer, viruses_found, viruses_destroyed;

// Game totals of stage verdicts
extern int pcs_recovered, pc_recovery_errors, pcs_destroyed, total_viruses_found, total_viruses_destroyed;

// Assets
extern std::shared_ptr<TImageFont> game_font;
extern std::shared_ptr<TImage> pause_backdrop, board_img, cpu_img, logo_img, ship_img, bits_img, virus_img;
extern std::shared_ptr<TImage> firewall_img, pointer_img;
extern std::shared_ptr<TSound> snd_plasma, snd_firewall, snd_explode, snd_powerup, snd_stageclear, snd_gamestart;
