// background: two dimmed, enlarged circuit-board tiles sliding down the screen's diagonal,
// or the frozen last frame behind the pause menu.
#include "render/background.h"
#include "render/background_seam.h"
#include "game/globals.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "render/twdraw.h"

// Both tiles ride the diagonal x + y = 560 and are moved only by their own wrap.
int board1_x = 320, board1_y = 240, board2_x = 960, board2_y = -400;

namespace {

const int kWrapY = 893;  // past the lower left of the screen, even turned and tripled
const int kStartX = 960, kStartY = -400;

void DrawPauseBackdrop() {
  SetDrawColor(75, 75, 75);
  SetBlendMode(BLEND_MASK);
  DrawImageFrame(pause_backdrop, 0, 0, 0);
}

void ScrollBoards() {
  board1_x -= 1;
  board1_y += 1;
  board2_x -= 1;
  board2_y += 1;
  if (board1_y > kWrapY) {
    board1_x = kStartX;
    board1_y = kStartY;
  }
  if (board2_y > kWrapY) {
    board2_x = kStartX;
    board2_y = kStartY;
  }
}

}  // namespace

int BackgroundStep() {
  ClearScreen();
  if (game_state == GS_PAUSED) {
    DrawPauseBackdrop();  // the board stands still while the game is paused
    return 0;
  }
  ReleaseImageFrame(pause_backdrop, 0);  // the still and its texture are 2.4 MB play has no use for
  SetDrawColor(150, 150, 150);
  twdraw.sip(BLEND_ALPHA, 1.0f, -45, 3.0f, 3.0f);
  DrawImageFrame(board_img, static_cast<float>(board1_x), static_cast<float>(board1_y), 0);
  DrawImageFrame(board_img, static_cast<float>(board2_x), static_cast<float>(board2_y), 1);
  ScrollBoards();
  return 0;
}
