// player: the ship on its diagonal track, its side-kicks, its shots and the fire wall.
#include "game/player.h"
#include "game/explode.h"
#include "game/globals.h"
#include "game/pshot.h"
#include "game/music.h"
#include "game/sfx.h"
#include "game/stage.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/random.h"
#include "render/twdraw.h"

player_tag player;

int player_tag::reset(int new_game) {
  if (new_game) {
    player.score = 0;
    player.level = 1;
    player.lives = 3;
    player.fwall = 3;
    player.new_bs = 0;
    waves_per_stage = 30;
    pcs_recovered = pc_recovery_errors = pcs_destroyed = 0;
    total_viruses_found = total_viruses_destroyed = 0;
  }
  player.place_new();
  viruses_found = viruses_destroyed = waves_spawned = 0;
  spawn_timer = 1;
  ClearEntities();
  if (game_state == GS_PLAYING) StartMusic(1);
  player.flush_inputs();
  stage_phase = 0;
  return 0;
}

// A ship at the start of its track: no side-kicks, three fire walls and none in flight,
// and the get-ready clock from zero.
int player_tag::place_new() {
  phase_timer = 0;
  firewall_active = 0;
  x = 240.0f;
  y = 320.0f;
  skick = 0;
  fwall = 3;
  return 0;
}

static void MoveFireWall();
static void FireVolley(const player_tag& p);
static void LaunchFireWall(player_tag& p);

// The plain shadow under a ship, offset down and to the right.
static void DrawShadow(float x, float y, int frame, float scale) {
  SetDrawColor(10, 10, 10);
  twdraw.sip(BLEND_ALPHA, 0.8f, 0, scale, scale);
  DrawImageFrame(ship_img, x, y, frame);
}

static void DrawShip(float x, float y, int frame, float scale) {
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 0, scale, scale);
  twdraw.i3d(ship_img, x, y, frame, 6.0f, 0, 2);
}

// The exhaust flickers between two frames, each held for two frames.
static void StepFlicker(player_tag& p) {
  p.ftmr += 1;
  if (p.ftmr < 2) return;
  p.ftmr = 0;
  p.fctr += 1;
  if (p.fctr > 1) p.fctr = 0;
}

// Each bound is tested right after the drawing it protects, so what was drawn before a
// test shows one step beyond the bound in the frame the ship is pushed against it.
int player_tag::update() {
  get_inputs();
  if (skick >= 1) {
    DrawShadow(x - 25.0f, y - 20.0f, frame, 0.6f);
    DrawShip(x - 45.0f, y - 40.0f, frame + fctr, 0.8f);
    if (!(y >= 170.0f)) y = 170.0f, x += 3.0f;
    if (!(y <= 490.0f)) y = 490.0f, x -= 3.0f;
  }
  DrawShadow(x + 20.0f, y + 20.0f, frame, 0.8f);
  DrawShip(x, y, frame + fctr, 1.0f);
  if (skick == 2) {
    DrawShadow(x + 65.0f, y + 60.0f, frame, 0.6f);
    DrawShip(x + 45.0f, y + 40.0f, frame + fctr, 0.8f);
    if (!(y <= 450.0f)) y = 450.0f, x -= 3.0f;
  }
  if (skick == 0) {
    if (!(y >= 142.0f)) y = 142.0f, x += 3.0f;
    if (!(y <= 490.0f)) y = 490.0f, x -= 3.0f;
  }
  StepFlicker(*this);
  if (firewall_active) MoveFireWall();
  return 0;
}

// One frame of the wall in flight: it sweeps 10 pixels per axis and throws sparks
// anywhere in the 640 x 640 square centred on it.
static void MoveFireWall() {
  firewall_x += 10.0f;
  firewall_y -= 10.0f;
  int a = TruncToInt((firewall_x - 320.0f) + RandomReal(0, 640));
  int b = TruncToInt((firewall_y - 320.0f) + RandomReal(0, 640));
  explode_tag::set(static_cast<float>(a), static_cast<float>(b), 2, 10, 5);
  // NOTE: no colour of its own: it takes what the ship drawing left (the right-eye colour in stereo).
  twdraw.sip(BLEND_ADDITIVE, 1.0f, 0, 1.0f, 1.0f);
  DrawImageFrame(firewall_img, firewall_x, firewall_y, 0);
  if (!(firewall_x <= 640.0f)) firewall_active = 0;
}

// Stick and keys compare for equality: only a fully deflected stick moves the ship.
int player_tag::get_inputs() {
  frame = 0;
  if (GetJoyAxisX(0) == -1.0f || GetJoyAxisY(0) == -1.0f || IsKeyHeld(KEY_LEFT)) {
    frame = 2;
    x -= 3.0f;
    y -= 2.5f;
  }
  if (GetJoyAxisX(0) == 1.0f || GetJoyAxisY(0) == 1.0f || IsKeyHeld(KEY_RIGHT)) {
    frame = 4;
    x += 3.0f;
    y += 2.5f;
  }
  int fire = ReadJoyButtonHit(0, 0);
  if (!fire) fire = ReadKeyHit(KEY_LCONTROL);
  if (fire) FireVolley(*this);
  int wall = ReadJoyButtonHit(1, 0);
  if (!wall) wall = ReadKeyHit(KEY_LALT);
  if (wall && firewall_active == 0 && fwall != 0) LaunchFireWall(*this);
  return 0;
}

// One sound for the whole volley; the shots leave from truncated positions.
static void FireVolley(const player_tag& p) {
  PlaySfx(snd_plasma);
  shots_fired += 1;
  pshot_tag::fire(TruncToInt(p.x + 6.0f), TruncToInt(p.y));
  if (p.skick >= 1) {
    shots_fired += 1;
    pshot_tag::fire(TruncToInt(p.x - 39.0f), TruncToInt(p.y - 40.0f));
  }
  if (p.skick == 2) {
    shots_fired += 1;
    pshot_tag::fire(TruncToInt(p.x + 51.0f), TruncToInt(p.y + 40.0f));
  }
}

static void LaunchFireWall(player_tag& p) {
  firewalls_launched += 1;
  PlaySfx(snd_firewall);
  firewall_x = 50.0f;
  firewall_y = 480.0f;
  firewall_active = 1;
  p.fwall -= 1;
  if (p.fwall < 0) p.fwall = 0;
}

// A held joystick fire button keeps this looping until it is let go; keys and mouse
// buttons read as not held afterwards until pressed anew.
int player_tag::flush_inputs() {
  int p = 0;
  do {
    if (p != 0) p -= 1;
    if (IsMouseButtonHeld(1) || ReadMouseHit(1)) p += 1;
    if (IsJoyButtonHeld(0, 0) || IsJoyButtonHeld(1, 0)) p += 1;
    if (ReadJoyButtonHit(0, 0) || ReadJoyButtonHit(1, 0)) p += 1;
    ClearKeyHits();
    ClearMouseHits();
  } while (p != 0);
  return 0;
}
