// soak_bot: a seeded random player for long runs of the real game. It looks at the game's
// state the way a player looks at the screen, and answers only with real SDL events: keys,
// mouse moves and clicks on menu rows, and a virtual joystick. It never asks to quit.
#pragma once
#include <SDL.h>
#include <array>
#include <cmath>
#include <random>
#include "game/globals.h"
#include "game/player.h"
#include "game/virus.h"
#include "platform/display.h"
#include "platform/input.h"
#include "support/virtual_pad.h"
#include "synthetic_input.h"

enum soak_screen { SS_SPLASH, SS_TITLE, SS_PLAY, SS_PAUSE, SS_STAGE_CLEAR, SS_SHIP_LOST, SS_GAME_OVER, SS_COUNT };

inline const char* SoakScreenName(int s) {
  static const char* names[SS_COUNT] = {"splash", "title", "play", "pause", "stage clear", "ship lost", "game over"};
  return s >= 0 && s < SS_COUNT ? names[s] : "?";
}

inline int CurrentSoakScreen() {
  switch (game_state) {
    case GS_TITLE: return SS_TITLE;
    case GS_PAUSED: return SS_PAUSE;
    case GS_PLAYING: return stage_phase == 2 ? SS_STAGE_CLEAR : SS_PLAY;
    case GS_SHIP_LOST: return SS_SHIP_LOST;
    case GS_GAME_OVER: return SS_GAME_OVER;
    default: return SS_SPLASH;  // 0 until start-up has finished
  }
}

class soak_bot {
 public:
  std::array<int, SS_COUNT> frames{};   // presents seen on each screen
  std::array<int, SS_COUNT> entries{};  // times each screen was entered
  int games = 0, stages_cleared = 0, max_level = 0;

  explicit soak_bot(unsigned seed) : rng_(seed) {}
  soak_bot(const soak_bot&) = delete;
  soak_bot& operator=(const soak_bot&) = delete;

  // A pad on port 0, attached before the game counts its joysticks.
  void AttachJoystick() { pad_.Attach(2, 4, 0); }
  bool HasJoystick() const { return pad_.ok(); }

  // Called with every presented frame, splash included.
  void Step() {
    ReleaseJoyButtons();
    int screen = CurrentSoakScreen();
    frames[screen]++;
    if (screen != screen_) Enter(screen);
    switch (screen) {
      case SS_SPLASH: Splash(); break;
      case SS_TITLE: Title(); break;
      case SS_PLAY: Play(); break;
      case SS_PAUSE: Pause(); break;
      case SS_STAGE_CLEAR: StageClear(); break;
      case SS_GAME_OVER: GameOver(); break;
      default: StopMoving(); break;
    }
  }

 private:
  std::mt19937 rng_;
  int screen_ = -1;
  int wait_ = 0;           // frames before the screen's next action
  int pending_row_ = -1;   // a menu row pointed at, clicked next frame
  int options_left_ = 0;   // option rows to try on the title before starting
  int survive_to_ = 1;     // the bot plays well up to this stage, then carelessly
  int dir_ = 0, dir_frames_ = 0, dir_by_joy_ = 0;
  int fire_gap_ = 0;
  int joy_pressed_ = 0;    // buttons to let go at the next frame
  virtual_pad pad_;  // goes with the bot: tests after it in the process count none

  int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int one_in) { return Rand(1, one_in) == 1; }

  void Enter(int screen) {
    entries[screen]++;
    if (screen == SS_PLAY && (screen_ == SS_TITLE || screen_ == SS_STAGE_CLEAR)) StartStage();
    if (screen == SS_STAGE_CLEAR) stages_cleared++;
    if (screen == SS_TITLE) options_left_ = Rand(0, 2);
    screen_ = screen;
    pending_row_ = -1;
    wait_ = Rand(3, 60);
    StopMoving();
  }

  // A new game decides how long the bot means to last: 0 plays carelessly from the start.
  void StartStage() {
    if (player.level == 1) {
      games++;
      survive_to_ = games == 1 ? 1 : Rand(0, 2);
    }
    if (player.level > max_level) max_level = player.level;
  }

  // --- events ---

  // NOTE: a fire button held down makes the game wait inside the frame for its release,
  // so buttons 0 and 1 are pressed only where no flush can follow before the next frame.
  void JoyButton(int b) {
    if (!pad_.ok()) return;
    pad_.SetButton(b, 1);
    joy_pressed_ |= 1 << b;
  }
  void ReleaseJoyButtons() {
    for (int b = 0; b < 4; b++)
      if (joy_pressed_ & (1 << b)) pad_.SetButton(b, 0);
    joy_pressed_ = 0;
  }

  void Move(int dir, int by_joy) {
    if (dir == dir_ && by_joy == dir_by_joy_) return;
    StopMoving();
    dir_ = dir, dir_by_joy_ = by_joy;
    if (dir == 0) return;
    if (by_joy && pad_.ok()) pad_.SetAxis(0, dir < 0 ? -32768 : 32767);
    else synthetic::PushKey(dir < 0 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT, true);
  }
  void StopMoving() {
    if (dir_ != 0 && dir_by_joy_ && pad_.ok()) pad_.SetAxis(0, 0);
    if (dir_ != 0 && !dir_by_joy_) synthetic::PushKey(dir_ < 0 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT, false);
    dir_ = 0;
  }

  // Points at a row this frame and clicks it the next, as a hand on a mouse would.
  bool ClickRow(int row) {
    if (pending_row_ != row) {
      synthetic::PushMouseMoveInPicture(Rand(200, 440), 265 + 30 * row + Rand(-8, 8));
      pending_row_ = row;
      return false;
    }
    synthetic::ClickMouse();
    pending_row_ = -1;
    return true;
  }

  // --- screens ---

  void Splash() {
    if (--wait_ > 0 || frames[SS_SPLASH] < 40) return;
    int how = Rand(0, 5);  // sometimes it is left to fade out by itself
    if (how == 0) synthetic::TapKey(SDL_SCANCODE_ESCAPE);
    else if (how == 1) synthetic::TapKey(SDL_SCANCODE_SPACE);
    else if (how == 2) synthetic::ClickMouse();
    wait_ = 400;
  }

  // Never Escape nor "Exit Game" here: both end the program.
  void Title() {
    if (--wait_ > 0) return;
    if (options_left_ > 0) {
      if (ClickRow(pending_row_ >= 1 ? pending_row_ : Rand(1, 4))) {
        options_left_--;
        wait_ = Rand(2, 20);
      }
      return;
    }
    if (ClickRow(0)) wait_ = 30;
  }

  void Play() {
    bool careful = player.level <= survive_to_;
    Steer(careful);
    if (careful) Shoot();
    if (!joy_pressed_ && Chance(400)) PauseGame();
  }

  void PauseGame() {
    int how = Rand(0, 2);
    if (how == 0) synthetic::TapKey(SDL_SCANCODE_SPACE);
    else if (how == 1) synthetic::TapKey(SDL_SCANCODE_ESCAPE);
    else JoyButton(2);
  }

  // The nearest virus along the track decides: a careful ship stays in the lanes it
  // has cleared, a careless one drifts into the next virus's path.
  void Steer(bool careful) {
    if (--dir_frames_ > 0) return;
    dir_frames_ = Rand(4, 40);
    int by_joy = pad_.ok() && Chance(3);
    if (!careful) {
      Move(NearestLane(), by_joy);
      return;
    }
    int dir = Rand(-1, 1);
    if (player.y < 200) dir = 1;
    if (player.y > 440) dir = -1;
    Move(dir, by_joy);
  }

  // -1, 0 or +1: the way along the track to the lane of the closest live virus.
  int NearestLane() {
    float me = player.x + player.y, best = 1e9f, lane = me;
    virus_list.walk([&](virus_tag& v) {
      if (v.typ < 1 || v.typ > 4 || v.y < 0) return 0;
      float d = std::fabs(v.x - player.x) + std::fabs(v.y - player.y);
      if (d < best) best = d, lane = v.x + v.y;
      return 0;
    });
    if (std::fabs(lane - me) < 6) return 0;
    return lane < me ? -1 : 1;
  }

  void Shoot() {
    if (--fire_gap_ > 0) return;
    fire_gap_ = Rand(2, 4);
    bool joy_ok = pad_.ok() && stage_phase == 1;
    if (joy_ok && Chance(3)) JoyButton(0);
    else synthetic::TapKey(SDL_SCANCODE_LCTRL);
    if (player.fwall > 0 && !firewall_active && (virus_list.size() >= 10 || Chance(400))) {
      if (joy_ok && Chance(2)) JoyButton(1);
      else synthetic::TapKey(SDL_SCANCODE_LALT);
    }
  }

  // Mostly back to the game; now and then an option, or the game given up.
  void Pause() {
    if (--wait_ > 0) return;
    if (pending_row_ >= 0) {
      ClickRow(pending_row_);
      wait_ = Rand(3, 40);
      return;
    }
    int pick = Rand(0, 49);
    if (pick < 10) synthetic::TapKey(SDL_SCANCODE_SPACE);
    else if (pick < 18 && pad_.ok()) JoyButton(2);
    else if (pick < 19) synthetic::TapKey(SDL_SCANCODE_ESCAPE);  // to the title
    else if (pick < 20) ClickRow(5);                // "Quit This Game"
    else if (pick < 28) ClickRow(Rand(1, 4));       // an option
    else ClickRow(0);                               // "Resume Game"
    if (pending_row_ < 0) wait_ = Rand(3, 40);
  }

  void StageClear() {
    if (phase_timer <= 150 || --wait_ > 0) return;
    synthetic::TapKey(SDL_SCANCODE_LCTRL);
    wait_ = Rand(5, 30);
  }

  void GameOver() {
    if (phase_timer < 250 || --wait_ > 0) return;
    int how = Rand(0, 3);
    if (how == 0) synthetic::TapKey(SDL_SCANCODE_RETURN);
    else if (how == 1) synthetic::TapKey(SDL_SCANCODE_LALT);
    else if (how == 2) synthetic::ClickMouse();
    else if (pad_.ok()) JoyButton(0);
    else synthetic::TapKey(SDL_SCANCODE_RETURN);
    wait_ = Rand(5, 30);
  }
};
