// Board seam: where the two backdrop tiles overlap on the diagonal, the board drawn by the
// game's own background step has no see-through pixel, in both orders of the two pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/assets.h"
#include "render/background.h"
#include "render/background_seam.h"
#include "support/app_fixture.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A tile drawn at (cx, cy), turned 45 degrees and tripled, covers |u| <= 480 along the
// diagonal and |v| <= 319.5 across it; `margin` keeps off its rasterised edges.
bool InTile(float x, float y, int cx, int cy, float margin) {
  float dx = x - float(cx), dy = y - float(cy);
  float u = (dx - dy) / std::sqrt(2.0f), v = (dx + dy) / std::sqrt(2.0f);
  return std::fabs(u) <= 480.0f - margin && std::fabs(v) <= 319.5f - margin;
}

struct Seam {
  int frame;  // frames since start-up, each tile scrolled as the game scrolls it
  int x1, y1, x2, y2;
};

// The tiles' places after `frame` frames: tile 1 wraps after 654 frames.
Seam At(int frame) {
  Seam s{frame, 320 - frame, 240 + frame, 960 - frame, -400 + frame};
  if (frame >= 654) s.x1 = 960 - (frame - 654), s.y1 = -400 + (frame - 654);
  return s;
}

class BoardSeam : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(folder_.Enter("seam"));  // no sound files: the pictures are all this needs
    CreateBlankImages();
    LoadAssets();
    ASSERT_TRUE(board_img);
    game_state = GS_TITLE;
  }
  void TearDown() override {
    folder_.Remove();
    AppFixture::TearDown();
  }
  temp_folder folder_;
};

}  // namespace

TEST_F(BoardSeam, OverlapHasNoSeeThroughPixel) {
  // Frame 0's far end under frame 1's near end for the first 654 frames, then the other
  // way round; three places on the screen in each order.
  for (int frame : {150, 300, 500, 800, 950, 1150}) {
    Seam s = At(frame);
    board1_x = s.x1, board1_y = s.y1, board2_x = s.x2, board2_y = s.y2;
    BackgroundStep();
    std::shared_ptr<TPixmap> shot = appfix::Screen();
    int overlap = 0, holes = 0, first_x = -1, first_y = -1;
    for (int y = 0; y < 480; y++)
      for (int x = 0; x < 640; x++) {
        float px = float(x) + 0.5f, py = float(y) + 0.5f;
        if (!InTile(px, py, s.x1, s.y1, 2.0f) || !InTile(px, py, s.x2, s.y2, 2.0f)) continue;
        overlap++;
        if (appfix::PixelAt(*shot, x, y) == appfix::Rgb{0, 0, 0}) {
          if (!holes++) first_x = x, first_y = y;
        }
      }
    EXPECT_GT(overlap, 5000) << "frame " << frame << ": the overlap is not on the screen";
    EXPECT_EQ(holes, 0) << "frame " << frame << ": see-through pixels in the overlap, the first at (" << first_x << ", "
                        << first_y << ")";
  }
}
