// The sprite sheet: every in-game sprite at the rectangles the loader cuts them from, on black.
#include "art/art.h"

Image8 BuildSheet() {
  Image8 sheet(596, 403);
  for (int i = 0; i < 6; i++) Blit(sheet, DrawShip(i / 2 == 1 ? -1 : (i / 2 == 2 ? 1 : 0), i % 2, 1.2f, 70, 60), 1 + 71 * i, 1);
  for (int i = 0; i < 2; i++) Blit(sheet, DrawVirus(i), 429 + 55 * i, 1);
  Blit(sheet, DrawShip(0, 0, 0.58f, 54, 33), 539, 1);
  for (int i = 0; i < 5; i++) Blit(sheet, DrawBit(i), 429 + 31 * i, 37);
  Blit(sheet, DrawBoard(0x5eed01u, false), 0, 64);
  Blit(sheet, DrawHeatSink(), 324, 64);
  Blit(sheet, DrawTitleLogo(), 1, 280);
  return sheet;
}
