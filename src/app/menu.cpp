// menu: the title and pause menus (one routine, two forms), the options they set, the
// joystick-driven pointer and the Retro Line FX overlay.
#include "app/menu.h"
#include "app/datafiles.h"
#include "app/version.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/music.h"
#include "game/sfx.h"
#include "game/title.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "render/twdraw.h"

std::string credit_line;
std::string menu_items[6];
std::string stereo_names[5];
std::string onoff_names[2];
std::string volume_names[11];

namespace {

int pointer_x = 0, pointer_y = 0;  // the joystick's idea of the pointer, refreshed every frame

// The option's name, or "?" for a value no table entry stands for.
const std::string& NameAt(const std::string* names, int count, int index) {
  static const std::string unknown = "?";
  if (index < 0 || index >= count) return unknown;
  return names[index];
}

std::string RowText(int row) {
  int paused = game_state == GS_PAUSED;
  switch (row) {
    case 0: return paused ? "Resume Game" : menu_items[0];
    case 1: return menu_items[1] + NameAt(stereo_names, 5, stereo_mode);
    case 2: return menu_items[2] + NameAt(onoff_names, 2, retro_fx);
    case 3: return menu_items[3] + NameAt(volume_names, 11, sfx_volume_step);
    case 4: return menu_items[4] + NameAt(volume_names, 11, music_volume_step);
    default: return paused ? "Quit This Game" : menu_items[5];
  }
}

void DrawRows(int sel) {
  for (int i = 0; i < 6; i++) {
    int lit = i == sel;
    float scale = lit ? 1.2f : 1.0f;
    if (lit) {
      SetDrawColor(200, 200, 250);
    } else {
      SetDrawColor(80, 200, 250);
    }
    twdraw.sip(BLEND_ALPHA, 1.0f, 0, scale, scale);
    twdraw.t3d(RowText(i), 320, static_cast<float>(MenuRowCentreY(i)), lit ? 6.0f : 5.0f, 1, 2);
  }
}

// One volume click: up a tenth, wrapping from "Max" to "Off". The volume sums in single
// precision, so the tenth step reads 1.0000001, never exactly 1.
void StepVolume(int* step, float* volume) {
  *step += 1;
  *volume += 0.1f;
  if (*step > 10) {
    *step = 0;
    *volume = 0.0f;
  }
}

// "Start Game" on the title, "Resume Game" on the pause menu.
void StartOrResume(int paused) {
  game_state = GS_PLAYING;
  if (paused) return;
  PlaySfx(snd_gamestart);
  player_tag::reset(1);
}

// "Exit Game" on the title, "Quit This Game" on the pause menu.
void ExitOrQuit(int paused) {
  if (paused) {
    ReturnToTitle();
  } else {
    quit_requested = 1;
  }
}

void ActOnRow(int sel) {
  int paused = game_state == GS_PAUSED;
  switch (sel) {
    case 0:
      StartOrResume(paused);
      break;
    case 1:
      stereo_mode = stereo_mode >= 4 || stereo_mode < 0 ? 0 : stereo_mode + 1;
      StereoModeFile(0);
      break;
    case 2:
      retro_fx = retro_fx >= 1 ? 0 : retro_fx + 1;
      break;
    case 3:
      StepVolume(&sfx_volume_step, &sfx_volume);
      PlaySfx(snd_plasma);
      break;
    case 4:
      StepVolume(&music_volume_step, &music_volume);
      ApplyMusicVolume();
      break;
    case 5:
      ExitOrQuit(paused);
      break;
    default:
      break;
  }
}

// A click's aftermath: keys and buttons pressed with it are thrown away.
void ClearHits() {
  ClearKeyHits();
  ClearMouseHits();
}

// Up and Down move the pointer onto a row's centre, so the hover rule lights it and the
// mouse never disagrees; Return (or keypad Enter) is a click there. Tab steps down, and
// with Shift up. A click in the same frame came first and cleared these presses.
void RunMenuKeys(int sel) {
  int row = sel;
  int shifted = IsKeyHeld(KEY_LSHIFT) || IsKeyHeld(KEY_RSHIFT);
  int tabs = ReadKeyHit(KEY_TAB);
  int downs = ReadKeyHit(KEY_DOWN) + (shifted ? 0 : tabs);
  int ups = ReadKeyHit(KEY_UP) + (shifted ? tabs : 0);
  for (int i = 0; i < downs; i++) row = StepMenuRow(row, 1);
  for (int i = 0; i < ups; i++) row = StepMenuRow(row, -1);
  if (row != sel) MoveMouse(POINTER_HOME_X, MenuRowCentreY(row));
  if (ReadKeyHit(KEY_RETURN)) {
    ActOnRow(row);
    ClearHits();
  }
}

}  // namespace

void SetMenuVocabulary() {
  credit_line = "Kelvane v" + ShortVersion() + " - (c) 2026 Kelvane Team";
  const char* items[6] = {"Start Game", "3D Graphics: ", "Retro Line FX: ",
                          "Sound Volume: ", "Music Volume: ", "Exit Game"};
  for (int i = 0; i < 6; i++) menu_items[i] = items[i];
  const char* modes[5] = {"Off", "M\\G", "R\\G", "R\\C", "R\\B"};
  for (int i = 0; i < 5; i++) stereo_names[i] = modes[i];
  onoff_names[0] = "Off";
  onoff_names[1] = "On";
  volume_names[0] = "Off";
  for (int i = 1; i < 10; i++) volume_names[i] = std::to_string(i * 10) + "%";
  volume_names[10] = "Max";
}

int MenuRowAt(int pointer_y) {
  if (pointer_y <= 245) return -1;
  return (pointer_y - 245) / 30;
}

int MenuRowCentreY(int row) { return POINTER_HOME_Y + 30 * row; }

int StepMenuRow(int row, int step) {
  if (row < 0 || row > 5) return step > 0 ? 0 : 5;
  return ((row + step) % 6 + 6) % 6;
}

// The logo, and on the title menu the credit line under the rows.
static void DrawMenuTitle() {
  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 0, 1.2f, 1.5f);
  twdraw.i3d(logo_img, 320, 140, 0, 6.0f, 0, 4);
  if (game_state != GS_TITLE) return;
  SetDrawColor(200, 200, 250);
  twdraw.sip(BLEND_ALPHA, 1.0f, 0, 0.8f, 0.8f);
  twdraw.t3d(credit_line, 320, 464, 4.0f, 1, 2);
}

int RunMenu() {
  MovePointerByJoystick();
  int mx = PointerX(), my = PointerY();
  DrawMenuTitle();

  int sel = MenuRowAt(PointerY());
  DrawRows(sel);

  int click = ReadMouseHit(1);
  if (!click) click = ReadJoyButtonHit(0, 0);
  if (click) {
    // Asked again: a move and a click that came in while the rows were drawn act where
    // the click landed, not on the row the frame began with.
    ActOnRow(MenuRowAt(PointerY()));
    ClearHits();
  }
  RunMenuKeys(sel);

  SetDrawColor(255, 255, 255);
  twdraw.sip(BLEND_MASK, 1.0f, 0, 1.0f, 1.0f);
  twdraw.i3d(pointer_img, static_cast<float>(mx), static_cast<float>(my), 0, 6.0f, 0, 2);
  return 0;
}

static void NudgePointer(int deflected, int dx, int dy) {
  if (!deflected) return;
  pointer_x += dx;
  pointer_y += dy;
  MoveMouse(pointer_x, pointer_y);
}

// Only a fully deflected axis moves the pointer; each test reads the device again.
int MovePointerByJoystick() {
  pointer_x = PointerX();
  pointer_y = PointerY();
  NudgePointer(GetJoyAxisX(0) == -1.0f, -6, 0);
  NudgePointer(GetJoyAxisX(0) == 1.0f, 6, 0);
  NudgePointer(GetJoyAxisY(0) == -1.0f, 0, -6);
  NudgePointer(GetJoyAxisY(0) == 1.0f, 0, 6);
  return 0;
}

int DrawRetroLines(int shade) {
  if (retro_fx == 0) return 0;
  SetDrawColor(shade, shade, shade);
  SetDrawScale(1.0f, 1.0f);
  SetBlendMode(BLEND_SOLID);
  int h = ScreenHeight();
  float w = static_cast<float>(ScreenWidth());
  for (int y = 1; y <= h; y += 2) {
    DrawLineSegment(0, static_cast<float>(y), w, static_cast<float>(y), 1);
  }
  SetBlendMode(BLEND_MASK);
  SetDrawColor(255, 255, 255);
  return 0;
}
