// globals: storage and initial values.
#include "game/globals.h"

int game_state = 0;
int quit_requested = 0;
int retro_fx = 0;
float sfx_volume = 1.0f, music_volume = 1.0f;
int sfx_volume_step = 10, music_volume_step = 10;
std::shared_ptr<TChannel> music_channel;

int stage_phase = 0, phase_timer = 0;

int firewall_active = 0;
float firewall_x = 0, firewall_y = 0;
int shots_fired = 0, firewalls_launched = 0;

int waves_per_stage = 0, waves_spawned = 0, spawn_timer = 0, viruses_found = 0, viruses_destroyed = 0;

int pcs_recovered = 0, pc_recovery_errors = 0, pcs_destroyed = 0, total_viruses_found = 0,
    total_viruses_destroyed = 0;

std::shared_ptr<TImageFont> game_font;
std::shared_ptr<TImage> pause_backdrop, board_img, cpu_img, logo_img, ship_img, bits_img, virus_img;
std::shared_ptr<TImage> firewall_img, pointer_img;
std::shared_ptr<TSound> snd_plasma, snd_firewall, snd_explode, snd_powerup, snd_stageclear, snd_gamestart;
