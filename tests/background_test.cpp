// Background: the two board tiles' positions, their wrap, their drawing, and the dimmed
// still behind the pause menu.
#include <gtest/gtest.h>

#include "render/background.h"
#include "render/background_seam.h"
#include "support/app_fixture.h"
#include "support/draw_calls.h"

using appfix::PixelAt;
using appfix::Rgb;

namespace {

class Background : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    // Two frames in two plain colours, centred as the game's board is.
    board_img = appfix::SolidImage(320, 213, 200, 100, 50, 2);
    board_img->SetPixmap(1, appfix::SolidImage(320, 213, 40, 80, 160)->Lock(0, 1, 0));
    CentreImageHandle(board_img);
    pause_backdrop = appfix::SolidImage(640, 480, 200, 200, 200);
    game_state = GS_TITLE;
    board1_x = 320, board1_y = 240, board2_x = 960, board2_y = -400;
  }
  static Rgb Dimmed(Rgb c, int by) { return Rgb{c.r * by / 255, c.g * by / 255, c.b * by / 255}; }
  static bool Near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 1 && std::abs(a.g - b.g) <= 1 && std::abs(a.b - b.b) <= 1;
  }
};

TEST_F(Background, StartsOnTheDiagonalAndMovesOnePixelPerFrame) {
  BackgroundStep();
  EXPECT_EQ(board1_x, 319);
  EXPECT_EQ(board1_y, 241);
  EXPECT_EQ(board2_x, 959);
  EXPECT_EQ(board2_y, -399);
}

TEST_F(Background, FirstFrameDrawsTileOneAtTheCentreDimmed) {
  BackgroundStep();
  auto shot = appfix::Screen();
  EXPECT_TRUE(Near(PixelAt(*shot, 320, 240), Dimmed({200, 100, 50}, 150)));
  // Turned 45 degrees and tripled: the centre's corners along the diagonal are board too,
  // while the far upper left lies beyond the tile's tip.
  EXPECT_TRUE(Near(PixelAt(*shot, 420, 140), Dimmed({200, 100, 50}, 150)));
  EXPECT_EQ(PixelAt(*shot, 2, 2), (Rgb{0, 0, 0}));
}

TEST_F(Background, TileOneIsDrawnAt893ThenWraps) {
  board1_x = 560 - 892, board1_y = 892;
  BackgroundStep();
  EXPECT_EQ(board1_y, 893);  // not past yet
  BackgroundStep();          // drawn at 893
  EXPECT_EQ(board1_x, 960);
  EXPECT_EQ(board1_y, -400);
  BackgroundStep();          // drawn at (960, -400)
  EXPECT_EQ(board1_x, 959);
  EXPECT_EQ(board1_y, -399);
}

TEST_F(Background, TilesFollowEachOtherAlongTheDiagonal) {
  int first_wrap = 0, second_wrap = 0;
  for (int frame = 1; frame <= 1300; frame++) {
    BackgroundStep();
    ASSERT_EQ(board1_x + board1_y, 560) << frame;
    ASSERT_EQ(board2_x + board2_y, 560) << frame;
    if (!first_wrap && board1_y == -400) first_wrap = frame;
    if (!second_wrap && board2_y == -400) second_wrap = frame;
  }
  EXPECT_EQ(first_wrap, 654);
  EXPECT_EQ(second_wrap, 1294);
}

TEST_F(Background, PausedBoardStandsStillBehindTheDimmedStill) {
  BackgroundStep();
  pause_backdrop = appfix::SolidImage(640, 480, 200, 200, 200);  // as pausing grabs it
  game_state = GS_PAUSED;
  for (int i = 0; i < 5; i++) BackgroundStep();
  EXPECT_EQ(board1_x, 319);
  EXPECT_EQ(board1_y, 241);
  EXPECT_EQ(board2_x, 959);
  EXPECT_EQ(board2_y, -399);
  auto shot = appfix::Screen();
  EXPECT_TRUE(Near(PixelAt(*shot, 0, 0), Dimmed({200, 200, 200}, 75)));
  EXPECT_TRUE(Near(PixelAt(*shot, 639, 479), Dimmed({200, 200, 200}, 75)));
  EXPECT_EQ(GetBlendMode(), 1);
  game_state = GS_PLAYING;
  BackgroundStep();
  EXPECT_EQ(board1_y, 242);  // the scroll picks up where it stopped
  EXPECT_FALSE(pause_backdrop->pixmaps[0]) << "the still is let go once play resumes";
  EXPECT_FALSE(pause_backdrop->frames[0]);
}

TEST_F(Background, LeavesTheBoardsDrawingState) {
  game_state = GS_GAME_OVER;
  BackgroundStep();
  EXPECT_EQ(GetBlendMode(), 3);
  EXPECT_FLOAT_EQ(GetDrawRotation(), -45.0f);
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_FLOAT_EQ(sx, 3.0f);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{150, 150, 150}));
}

// Drawn as designed: the two tiles turned, tripled and dimmed, or the still at the top left.
TEST_F(Background, DrawnAsDesignedOnEveryScreen) {
  struct screen_case {
    int state;
    std::vector<std::string> want;
  };
  const screen_case cases[] = {
      {GS_TITLE, {"board#0 320,240 rgb150,150,150 a1 b3 r-45 s3", "board#1 960,-400 rgb150,150,150 a1 b3 r-45 s3"}},
      {GS_PAUSED, {"backdrop#0 0,0 rgb75,75,75 a1 b1 r0 s1"}},
  };
  for (const screen_case& c : cases) {
    SCOPED_TRACE(c.state);
    board1_x = 320, board1_y = 240, board2_x = 960, board2_y = -400;
    game_state = c.state;
    SetDrawTransform(0, 1.0f, 1.0f);
    SetBlendMode(3);
    drawcalls::recorder rec;
    BackgroundStep();
    EXPECT_EQ(rec.Lines(), c.want);
  }
}

}  // namespace
