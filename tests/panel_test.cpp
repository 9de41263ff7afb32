// Status panel: the bar, the numbers with their two-digit rule and their places, the lives
// and fire-wall corner, the drawing state left behind, and the best-score check.
#include <array>
#include "game/panel.h"
#include "platform/font.h"
#include "support/draw_calls.h"
#include "support/screens_fixture.h"

namespace screens_test {
namespace {

class PanelTest : public ScreensTest {
 protected:
  void Panel() {
    log.clear();
    ClearScreen();
    StatusPanel();
  }
  std::vector<const screen_item*> Icons(const TImage* image) const {
    std::vector<const screen_item*> found;
    for (const screen_item& i : log)
      if (i.image == image) found.push_back(&i);
    return found;
  }
  // One pixel of the back buffer as (r, g, b).
  std::array<int, 3> Pixel(int x, int y) {
    std::shared_ptr<TPixmap> p = GrabPixmap(x, y, 1, 1);
    const uint8_t* px = p->PixelPtr(0, 0);
    return {px[0], px[1], px[2]};
  }
};

TEST(PanelNumberTest, TwoDigitsBelowTenPlainFromTen) {
  EXPECT_EQ(PanelNumber(0), "00");
  EXPECT_EQ(PanelNumber(7), "07");
  EXPECT_EQ(PanelNumber(9), "09");
  EXPECT_EQ(PanelNumber(10), "10");
  EXPECT_EQ(PanelNumber(12345), "12345");
}

TEST_F(PanelTest, ScoreLeftBestCentredStageEndingFourFromTheRight) {
  player.score = 0;
  player.best_sc = 12345;
  player.level = 3;
  Panel();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0].text, "00");
  EXPECT_EQ(log[0].x, 4);
  EXPECT_EQ(log[0].y, 0);
  EXPECT_EQ(log[0].centre, 0);
  EXPECT_EQ(log[1].text, "12345");
  EXPECT_EQ(log[1].x, 320 - MeasureTextWidth("12345") / 2);
  EXPECT_EQ(log[2].text, "03");
  EXPECT_EQ(log[2].x + MeasureTextWidth("03"), 636);
  for (int i = 0; i < 3; i++) EXPECT_EQ(log[i].centre, 0);
}

TEST_F(PanelTest, LivesAndFireWallsDuringAGame) {
  player.lives = 2;
  player.fwall = 5;
  for (int state : {GS_PLAYING, GS_PAUSED, GS_GAME_OVER, GS_SHIP_LOST}) {
    SCOPED_TRACE(state);
    game_state = state;
    Panel();
    auto ships = Icons(virus_img.get());
    ASSERT_EQ(ships.size(), 1u);
    EXPECT_EQ(ships[0]->x, 30);
    EXPECT_EQ(ships[0]->y, 430);
    EXPECT_EQ(ships[0]->frame, 2);
    const screen_item* count = Text("x2");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->x, 45);
    EXPECT_EQ(count->y, 422);
    auto walls = Icons(bits_img.get());
    ASSERT_EQ(walls.size(), 5u);
    const float xs[] = {25, 43, 61, 79, 97};
    for (int i = 0; i < 5; i++) {
      EXPECT_EQ(walls[i]->x, xs[i]);
      EXPECT_EQ(walls[i]->y, 460);
      EXPECT_EQ(walls[i]->frame, 4);
    }
  }
}

TEST_F(PanelTest, NoFireWallIconWithNoneInHand) {
  player.fwall = 0;
  Panel();
  EXPECT_TRUE(Icons(bits_img.get()).empty());
  EXPECT_EQ(Icons(virus_img.get()).size(), 1u);
}

TEST_F(PanelTest, TitleShowsTheNumbersOnly) {
  game_state = GS_TITLE;
  player.lives = 3;
  player.fwall = 3;
  Panel();
  ASSERT_EQ(log.size(), 3u);
  for (const screen_item& i : log) EXPECT_EQ(i.image, nullptr);
  EXPECT_EQ(Text("x3"), nullptr);
}

TEST_F(PanelTest, LeavesTheTextStateForTheCaller) {
  stereo_mode = 0;
  SetDrawScale(2, 2);
  Panel();
  int r, g, b;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ(r, 200);
  EXPECT_EQ(g, 200);
  EXPECT_EQ(b, 250);
  EXPECT_EQ(GetBlendMode(), 3);
  EXPECT_FLOAT_EQ(GetDrawAlpha(), 1.0f);
  float sx, sy;
  GetDrawScale(&sx, &sy);
  EXPECT_FLOAT_EQ(sx, 1.0f);
  EXPECT_FLOAT_EQ(sy, 1.0f);

  stereo_mode = 3;
  twdraw.slc(4, 80, 60, 140, 4, 10);
  Panel();
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ(r, 140);
  EXPECT_EQ(g, 4);
  EXPECT_EQ(b, 10);
  EXPECT_EQ(GetBlendMode(), 4);
  stereo_mode = 0;
}

TEST_F(PanelTest, BarsAreLightBlendedAtFortyPercent) {
  game_state = GS_TITLE;
  player.score = 0;
  player.best_sc = 0;
  player.level = 1;
  Panel();
  // Away from the texts: the upper half has one bar, the lower half both.
  auto top = Pixel(200, 5);
  auto low = Pixel(200, 20);
  auto below = Pixel(200, 30);
  EXPECT_NEAR(top[0], 4, 2);
  EXPECT_NEAR(top[1], 4, 2);
  EXPECT_NEAR(top[2], 40, 2);
  EXPECT_NEAR(low[0], 8, 2);
  EXPECT_NEAR(low[1], 44, 2);
  EXPECT_NEAR(low[2], 80, 2);
  EXPECT_EQ(below[0] + below[1] + below[2], 0);
}

TEST_F(PanelTest, TextsReachTheScreenWhereTheLogSaysTheyStand) {
  game_state = GS_TITLE;
  player.level = 3;
  Panel();
  const screen_item* stage = Text("03");
  ASSERT_NE(stage, nullptr);
  int x0 = static_cast<int>(stage->x), w = MeasureTextWidth("03"), h = MeasureTextHeight();
  int lit = 0;
  for (int y = 0; y < h; y++)
    for (int x = x0; x < x0 + w; x++) {
      auto p = Pixel(x, y);
      if (p[0] > 120) lit++;  // text colour is far above the bars' red
    }
  EXPECT_GT(lit, 20);
  for (int y = 0; y < h; y++) EXPECT_LT(Pixel(637, y)[0], 120) << y;  // nothing past x = 636
}

TEST_F(PanelTest, BestScoreFollowsTheScoreOnceBeaten) {
  player.best_sc = 500;
  player.new_bs = 0;
  player.score = 500;
  BestScoreCheck();
  EXPECT_EQ(player.best_sc, 500);
  EXPECT_EQ(player.new_bs, 0);
  player.score = 525;
  BestScoreCheck();
  EXPECT_EQ(player.best_sc, 525);
  EXPECT_EQ(player.new_bs, 1);
  player.score = 300;  // a new game's score does not lower it
  BestScoreCheck();
  EXPECT_EQ(player.best_sc, 525);
}

TEST_F(PanelTest, EveryPlayingFrameEndsWithTheBestScoreCheck) {
  player.best_sc = 100;
  player.score = 150;
  for (int phase : {0, 1, 2}) {
    SCOPED_TRACE(phase);
    stage_phase = phase;
    phase_timer = 10;
    player.score += 10;
    PlayingScreen();
    EXPECT_EQ(player.best_sc, player.score);
  }
}

// The whole panel as drawn: the two bars, the numbers, then the lives and fire walls; in
// stereo each text and icon as two eye copies 4 pixels apart, twice.
TEST_F(PanelTest, DrawnAsDesignedPlainAndInStereo) {
  player.score = 1234, player.best_sc = 12345, player.level = 3, player.lives = 2, player.fwall = 2;
  const std::string style = " rgb200,200,250 a1 b3 r0 s1";
  struct item { std::string what; int x, y; };
  std::vector<item> items = {{"'1234'", 4, 0},
                             {"'12345'", 320 - MeasureTextWidth("12345") / 2, 0},
                             {"'03'", 636 - MeasureTextWidth("03"), 0},
                             {"virus#2", 30, 430},
                             {"'x2'", 45, 422},
                             {"bits#4", 25, 460},
                             {"bits#4", 43, 460}};
  std::vector<std::string> plain = {"rect640x26 0,0 rgb10,10,100 a0.4 b4 r0 s1",
                                    "rect640x13 0,13 rgb10,100,100 a0.4 b4 r0 s1"};
  std::vector<std::string> stereo = plain;
  for (const item& i : items) {
    plain.push_back(i.what + " " + std::to_string(i.x) + "," + std::to_string(i.y) + style);
    for (int pass = 0; pass < 2; pass++) {
      stereo.push_back(i.what + " " + std::to_string(i.x - 4) + "," + std::to_string(i.y) + " rgb4,80,60 a1 b4 r0 s1");
      stereo.push_back(i.what + " " + std::to_string(i.x + 4) + "," + std::to_string(i.y) + " rgb140,4,10 a1 b4 r0 s1");
    }
  }
  for (int mode : {0, 3}) {
    SCOPED_TRACE(mode);
    stereo_mode = mode;
    twdraw.slc(4, 80, 60, 140, 4, 10);
    drawcalls::recorder rec;
    StatusPanel();
    EXPECT_EQ(rec.Lines(), mode ? stereo : plain);
  }
  stereo_mode = 0;
}

}  // namespace
}  // namespace screens_test
