// Lines of text: the game's font at 24 pixels keeps every glyph's ink within 20 pixels of its
// line's top, so the statistics screen's lines, 20 pixels apart, never touch.
#include <algorithm>
#include <string>

#include "game/explode.h"
#include "platform/font.h"
#include "support/screens_fixture.h"

namespace screens_test {
namespace {

// Rows [y0, y1) of columns [x0, x1) that hold any lit pixel, as a mask from y0.
std::vector<int> InkRows(const TPixmap& shot, int x0, int x1, int y0, int y1) {
  std::vector<int> ink(size_t(y1 - y0), 0);
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) {
      const uint8_t* p = shot.PixelPtr(x, y);
      if (p[0] || p[1] || p[2]) ink[size_t(y - y0)] = 1;
    }
  return ink;
}

using FontLines = ScreensTest;

TEST_F(FontLines, EveryGlyphsInkLiesWithin20PixelsOfTheLineTop) {
  ASSERT_TRUE(game_font);
  SelectFont(game_font);
  EXPECT_EQ(MeasureTextHeight(), 24) << "the line the game centres its texts on";
  SetBlendMode(3);
  int lowest = 0, highest = 99;
  for (int code = 33; code <= 126; code++) {
    ClearScreen();
    std::string glyph(1, char(code));
    DrawTextAt(glyph, 100, 100);
    std::vector<int> ink = InkRows(*Screen(), 90, 140, 80, 140);
    auto first = std::find(ink.begin(), ink.end(), 1);
    ASSERT_NE(first, ink.end()) << "'" << glyph << "' drew nothing";
    int top = 80 + int(first - ink.begin()), bottom = 80 + int(ink.rend() - std::find(ink.rbegin(), ink.rend(), 1)) - 1;
    EXPECT_GE(top, 100) << "'" << glyph << "' reaches above its line";
    EXPECT_LT(bottom, 120) << "'" << glyph << "' reaches " << bottom - 100 + 1 << " pixels below its line's top";
    lowest = std::max(lowest, bottom), highest = std::min(highest, top);
  }
  // The face uses its room: capitals from the top row of ink, descenders to the last.
  EXPECT_LE(highest, 102);
  EXPECT_GE(lowest, 117);
}

TEST_F(FontLines, GameOverLinesKeepABackgroundRowBetweenThem) {
  stage_phase = 1;
  player.lives = 1;
  VirusOnShip();
  Frame();
  ASSERT_EQ(game_state, GS_GAME_OVER);
  explode_tag::destroy_all();  // only the texts on the screen
  // Long numbers, so every line runs wide over its neighbours.
  pcs_recovered = 8888, pc_recovery_errors = 7777, pcs_destroyed = 9999;
  shots_fired = 123456, firewalls_launched = 4040;
  total_viruses_found = 99999, total_viruses_destroyed = 88888;
  Frame();
  std::shared_ptr<TPixmap> shot = Screen();
  const float stacked[][2] = {{150, 170}, {170, 190}, {250, 270}, {270, 290}, {290, 310}};
  for (const auto& pair : stacked) {
    // Between the two lines' centres, across the full width: some row is bare.
    std::vector<int> ink = InkRows(*shot, 0, 640, int(pair[0]), int(pair[1]));
    EXPECT_NE(std::find(ink.begin(), ink.end(), 0), ink.end())
        << "the lines at " << pair[0] << " and " << pair[1] << " touch";
    EXPECT_NE(std::find(ink.begin(), ink.end(), 1), ink.end()) << "no text at " << pair[0];
  }
}

}  // namespace
}  // namespace screens_test
