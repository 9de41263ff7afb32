// Game over: the statistics screen, its wait, its own fire keys and the way back to the title.
#include "support/screens_fixture.h"

namespace screens_test {
namespace {

class GameOverTest : public ScreensTest {
 protected:
  // Loses the last ship in a running stage.
  void LoseLastShip() {
    stage_phase = 1;
    player.lives = 1;
    VirusOnShip();
    Frame();
    ASSERT_EQ(game_state, GS_GAME_OVER);
  }
  // Runs the game-over screen up to the frame before fire is listened for.
  void WaitOutGameOver() {
    for (int f = 1; f <= 249; f++) {
      Frame();
      ASSERT_EQ(TextAt(400), "Game Over") << "frame " << f;
    }
  }
  std::string Footer() const { return TextAt(400); }
};

TEST_F(GameOverTest, NothingLeavesDuringTheWaitThenAnyFireKeyDoes) {
  LoseLastShip();
  EXPECT_EQ(player.lives, 0);
  for (int f = 1; f <= 249; f++) {
    TapEnter();
    TapFireWall();
    synthetic::ClickMouse();
    Frame();
    ASSERT_EQ(game_state, GS_GAME_OVER) << "frame " << f;
    ASSERT_EQ(Footer(), "Game Over") << "frame " << f;
  }
  Frame();  // frame 250: the presses made during the wait were thrown away
  EXPECT_EQ(Footer(), "Game Over -- Press Fire");
  EXPECT_EQ(game_state, GS_GAME_OVER);
}

TEST_F(GameOverTest, LeftControlDoesNothingHere) {
  LoseLastShip();
  WaitOutGameOver();
  for (int f = 0; f < 10; f++) {
    TapFire();
    synthetic::TapKey(SDL_SCANCODE_SPACE);
    Frame();
    ASSERT_EQ(game_state, GS_GAME_OVER);
  }
  EXPECT_EQ(Footer(), "Game Over -- Press Fire");
}

TEST_F(GameOverTest, EachFireKeyReturnsToTheTitle) {
  ASSERT_NE(Joystick(), nullptr);
  for (int which = 0; which < 4; which++) {
    SCOPED_TRACE(which);
    game_state = GS_PLAYING;
    player_tag::reset(1);
    LoseLastShip();
    WaitOutGameOver();
    if (which == 0) TapEnter();
    if (which == 1) TapFireWall();  // left Alt
    if (which == 2) synthetic::ClickMouse();
    if (which == 3) SetButton(0, 1);
    Frame();
    if (which == 3) SetButton(0, 0);
    EXPECT_EQ(game_state, GS_TITLE);
    EXPECT_EQ(Footer(), "Game Over -- Press Fire");  // still drawn in the frame of the press
    PollSystem();
    EXPECT_EQ(PointerX(), 320);
    EXPECT_EQ(PointerY(), 265);
  }
}

TEST_F(GameOverTest, FireStopsTheMusicAndCopesWithNone) {
  LoseLastShip();
  WaitOutGameOver();
  TapEnter();
  Frame();
  ASSERT_EQ(game_state, GS_TITLE);
  if (music_channel) {
    EXPECT_EQ(music_channel->Playing(), 0);
  }

  game_state = GS_PLAYING;
  player_tag::reset(1);
  LoseLastShip();
  WaitOutGameOver();
  music_channel = nullptr;  // the music never loaded
  TapEnter();
  Frame();
  EXPECT_EQ(game_state, GS_TITLE);
}

TEST_F(GameOverTest, StatisticsLinesAndWhereTheyStand) {
  LoseLastShip();
  pcs_recovered = 4;
  pc_recovery_errors = 2;
  pcs_destroyed = 1;
  total_viruses_found = 230;
  total_viruses_destroyed = 199;
  Frame();
  struct Line {
    float x, y;
    std::string text;
  };
  const Line lines[] = {
      {320, 80, "Kelvane Destroyed"},
      {320, 150, "Total PC's Recovered: 4"},
      {340, 170, "Total PC Recovery Errors: 2"},
      {320, 190, "Total PC's Destroyed: 1"},
      {320, 250, "Total Shots Fired: " + std::to_string(shots_fired)},
      {320, 270, "Total Fire Walls Launched: " + std::to_string(firewalls_launched)},
      {320, 290, "Total Viruses Found: 230"},
      {320, 310, "Total Viruses Destroyed: 199"},
      {320, 400, "Game Over"},
  };
  ASSERT_EQ(log.size(), std::size(lines));
  for (const Line& l : lines) {
    const screen_item* i = Text(l.text);
    ASSERT_NE(i, nullptr) << l.text;
    EXPECT_EQ(i->x, l.x) << l.text;
    EXPECT_EQ(i->y, l.y) << l.text;
    EXPECT_EQ(i->centre, 1) << l.text;
  }
}

TEST_F(GameOverTest, GameLostInItsFirstStageShowsNoTotals) {
  // A stage with counts of its own, never cleared
  viruses_found = 40;
  viruses_destroyed = 12;
  LoseLastShip();
  Frame();
  EXPECT_NE(Text("Total PC's Recovered: 0"), nullptr);
  EXPECT_NE(Text("Total PC Recovery Errors: 0"), nullptr);
  EXPECT_NE(Text("Total PC's Destroyed: 0"), nullptr);
  EXPECT_NE(Text("Total Viruses Found: 0"), nullptr);
  EXPECT_NE(Text("Total Viruses Destroyed: 0"), nullptr);
}

TEST_F(GameOverTest, SecondGameKeepsShotsAndFireWallsButStartsTheTotalsAgain) {
  const int shots0 = shots_fired, walls0 = firewalls_launched;
  // First game: three volleys and a fire wall during get ready, one stage cleared.
  for (int f = 0; f < 3; f++) {
    TapFire();
    Frame();
  }
  TapFireWall();
  Frame();
  stage_phase = 2;
  phase_timer = 150;
  viruses_found = 30;
  viruses_destroyed = 30;
  TapFire();
  Frame();
  ASSERT_EQ(pcs_recovered, 1);
  LoseLastShip();
  Frame();
  EXPECT_NE(Text("Total Shots Fired: " + std::to_string(shots0 + 3)), nullptr);
  EXPECT_NE(Text("Total Fire Walls Launched: " + std::to_string(walls0 + 1)), nullptr);
  EXPECT_NE(Text("Total PC's Recovered: 1"), nullptr);
  EXPECT_NE(Text("Total Viruses Found: 30"), nullptr);

  // Second game, as the title menu starts it
  game_state = GS_PLAYING;
  player_tag::reset(1);
  for (int f = 0; f < 2; f++) {
    TapFire();
    Frame();
  }
  LoseLastShip();
  Frame();
  EXPECT_NE(Text("Total Shots Fired: " + std::to_string(shots0 + 5)), nullptr);
  EXPECT_NE(Text("Total Fire Walls Launched: " + std::to_string(walls0 + 1)), nullptr);
  EXPECT_NE(Text("Total PC's Recovered: 0"), nullptr);
  EXPECT_NE(Text("Total Viruses Found: 0"), nullptr);
  EXPECT_NE(Text("Total Viruses Destroyed: 0"), nullptr);
}

}  // namespace
}  // namespace screens_test
