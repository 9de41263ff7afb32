// assets: the font, the pointer and fire wall pictures, every sprite cut out of the sheet
// through the back buffer, a warm-up of the GL driver, and the six sound effects.
#include "app/assets.h"
#include <string>
#include "game/globals.h"
#include "platform/draw.h"
#include "platform/font.h"
#include "platform/image.h"
#include "platform/sound.h"

namespace {

// Copies a screen rectangle of the image's size; an image that was never made is skipped.
void Grab(const std::shared_ptr<TImage>& image, int x, int y, int frame) {
  if (image) GrabScreenToImage(image, x, y, frame);
}

void Centre(const std::shared_ptr<TImage>& image) {
  if (image) CentreImageHandle(image);
}

// The picture's pixels, unchanged, over a black back buffer.
void ShowOnBackBuffer(const std::shared_ptr<TImage>& picture) {
  SetDrawColor(255, 255, 255);
  SetDrawAlpha(1.0f);
  SetDrawTransform(0, 1.0f, 1.0f);
  SetBlendMode(BLEND_MASK);
  ClearScreen();
  DrawImageFrame(picture, 0, 0, 0);
}

// The sheet's layout: these rectangles are the whole contract a replacement sheet keeps.
void CutSheet() {
  std::shared_ptr<TImage> sheet = LoadImageFile("incbin::kelvane_sf01.png", -1);
  ShowOnBackBuffer(sheet);
  // NOTE: the heat sink's rectangle runs past the sheet and past the screen; both parts
  // must come out black, hence transparent.
  Grab(cpu_img, 324, 64, 0);
  Grab(logo_img, 1, 280, 0);
  Grab(board_img, 0, 64, 0);
  for (int i = 0; i < 6; i++) Grab(ship_img, 1 + 71 * i, 1, i);
  for (int i = 0; i < 3; i++) Grab(virus_img, 429 + 55 * i, 1, i);
  for (int i = 0; i < 5; i++) Grab(bits_img, 429 + 31 * i, 37, i);
}

void CutSecondBoard() {
  std::shared_ptr<TImage> board = LoadImageFile("incbin::kelvane_sf02.png", -1);
  ShowOnBackBuffer(board);
  Grab(board_img, 0, 0, 1);
}

// A sound file that is missing or broken stays empty and plays as silence.
void LoadSounds() {
  snd_plasma = TSound::Load("data\\plasma.ogg", 0);
  snd_firewall = TSound::Load("data\\firewall.ogg", 0);
  snd_explode = TSound::Load("data\\explode.ogg", 0);
  snd_powerup = TSound::Load("data\\powerup.ogg", 0);
  snd_stageclear = TSound::Load("data\\stageclear.ogg", 0);
  snd_gamestart = TSound::Load("data\\gamestart.ogg", 0);
}

// Every sprite frame and every printable glyph drawn once under each blend mode, tiny and
// then cleared away: the GL driver makes each texture and compiles each shader it needs
// now, instead of stalling a frame of play the first time something new is drawn.
void WarmUpDrawing() {
  const std::shared_ptr<TImage>* sprites[] = {&pointer_img, &firewall_img, &board_img, &cpu_img,
                                              &logo_img,    &ship_img,     &bits_img,  &virus_img};
  std::string glyphs;
  for (char c = ' '; c <= '~'; c++) glyphs += c;
  SetDrawColor(255, 255, 255);
  SetDrawAlpha(1.0f);
  SetDrawTransform(0, 0.01f, 0.01f);
  for (int mode = 1; mode <= 5; mode++) {
    SetBlendMode(mode);
    for (const std::shared_ptr<TImage>* sprite : sprites)
      for (int f = 0; *sprite && f < (*sprite)->CountFrames(); f++) DrawImageFrame(*sprite, 1, 1, f);
    DrawTextAt(glyphs, 1, 1);
    FillRect(1, 1, 1, 1);
    DrawLineSegment(1, 1, 2, 1, 1);
  }
  SetDrawTransform(0, 1.0f, 1.0f);
  SetBlendMode(BLEND_MASK);
  ClearScreen();
}

}  // namespace

void CreateBlankImages() {
  pause_backdrop = CreateBlankImage(640, 480, 1, -1);
  board_img = CreateBlankImage(320, 213, 2, -1);
  SetAutoCentreHandle(1);
  cpu_img = CreateBlankImage(454, 126, 1, -1);
  logo_img = CreateBlankImage(458, 122, 1, -1);
  ship_img = CreateBlankImage(70, 60, 6, -1);
  bits_img = CreateBlankImage(30, 20, 5, -1);
  virus_img = CreateBlankImage(54, 33, 3, -1);
  SetAutoCentreHandle(0);
}

int LoadAssets() {
  game_font = LoadFontFile("incbin::joystix.ttf", 24, 4);
  SelectFont(game_font);
  pointer_img = LoadImageFile("incbin::dmpointer.png", -1);
  firewall_img = LoadImageFile("incbin::kelvane_sf03.png", -1);
  CutSheet();
  CutSecondBoard();
  Centre(cpu_img);
  Centre(firewall_img);
  Centre(board_img);
  WarmUpDrawing();
  LoadSounds();
  return 0;
}
