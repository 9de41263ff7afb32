// Stage flow: the get-ready, running and stage-clear phases, the stage close and its
// scoring, and the ship-lost screen, driven by real key, mouse and joystick input.
#include <chrono>
#include <thread>
#include "support/draw_calls.h"
#include "support/screens_fixture.h"

namespace screens_test {
namespace {

class StageTest : public ScreensTest {
 protected:
  // The stage-clear screen one frame before its prompt, with the stage's counts.
  void ClearedStage(int found, int destroyed, int fwall) {
    stage_phase = 2;
    phase_timer = 150;
    viruses_found = found;
    viruses_destroyed = destroyed;
    player.fwall = fwall;
  }
  void FireAndClose() {
    TapFire();
    Frame();
  }
};

TEST(StagePercentTest, FollowsTheMissedCountAndNeverGoesBelowZero) {
  EXPECT_EQ(StagePercent(30, 30), 100);
  EXPECT_EQ(StagePercent(0, 0), 100);
  EXPECT_EQ(StagePercent(120, 95), 75);
  EXPECT_EQ(StagePercent(100, 90), 90);
  EXPECT_EQ(StagePercent(150, 10), 0);  // 100 - 140 would be negative
  EXPECT_EQ(StagePercent(40, 0), 0);    // nothing destroyed
  EXPECT_EQ(StagePercent(5, 0), 0);     // nothing destroyed, though 100 - 5 would be 95
}

TEST_F(StageTest, CompleteRecoveryGivesFiveThousandWhateverTheFireWalls) {
  player.score = 1000;
  ClearedStage(30, 30, 6);
  FireAndClose();
  EXPECT_EQ(TextAt(180), "Kelvane Cleaned 30 of 30 Bugs");
  EXPECT_EQ(TextAt(230), "PC 100% Disinfected! Bonus 5000 Pts");
  EXPECT_EQ(TextAt(280), "Complete Recovery - Go Kelvane!!");
  EXPECT_EQ(player.score, 6000);
  EXPECT_EQ(pcs_recovered, 1);
  EXPECT_EQ(pc_recovery_errors + pcs_destroyed, 0);
}

TEST_F(StageTest, SeventyFivePercentWithFiveFireWalls) {
  ClearedStage(120, 95, 5);
  FireAndClose();
  EXPECT_EQ(TextAt(180), "Kelvane Cleaned 95 of 120 Bugs");
  EXPECT_EQ(TextAt(230), "PC 75% Disinfected Bonus 1875 Pts");
  EXPECT_EQ(TextAt(280), "PC Is Destroyed - No Recovery");
  EXPECT_EQ(player.score, 1975);  // the fire-wall extra is added silently
  EXPECT_EQ(pcs_destroyed, 1);
  EXPECT_EQ(pcs_recovered + pc_recovery_errors, 0);
}

TEST_F(StageTest, ZeroPercentGivesOnlyTheFireWallExtra) {
  struct Case {
    int found, destroyed;
  };
  for (Case c : {Case{150, 10}, Case{40, 0}}) {
    SCOPED_TRACE(c.found);
    int before = player.score, destroyed_before = pcs_destroyed;
    ClearedStage(c.found, c.destroyed, 4);
    FireAndClose();
    EXPECT_EQ(TextAt(230), "PC 0% Disinfected Bonus 0 Pts");
    EXPECT_EQ(TextAt(280), "PC Is Destroyed - No Recovery");
    EXPECT_EQ(player.score - before, 50);
    EXPECT_EQ(pcs_destroyed - destroyed_before, 1);
  }
}

TEST_F(StageTest, VerdictsAtTheirBoundaries) {
  struct Case {
    int p;
    const char* verdict;
    int* counter;
  };
  const Case cases[] = {{90, "PC Will Recover With Out Errors", &pcs_recovered},
                        {89, "PC Recovery Error - Must Reboot", &pc_recovery_errors},
                        {80, "PC Recovery Error - Must Reboot", &pc_recovery_errors},
                        {79, "PC Is Destroyed - No Recovery", &pcs_destroyed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p);
    int before = *c.counter, score = player.score, sum = pcs_recovered + pc_recovery_errors + pcs_destroyed;
    ClearedStage(100, c.p, 3);
    FireAndClose();
    EXPECT_EQ(TextAt(230), "PC " + std::to_string(c.p) + "% Disinfected Bonus " + std::to_string(25 * c.p) + " Pts");
    EXPECT_EQ(TextAt(280), c.verdict);
    EXPECT_EQ(*c.counter - before, 1);
    EXPECT_EQ(pcs_recovered + pc_recovery_errors + pcs_destroyed - sum, 1);
    EXPECT_EQ(player.score - score, 25 * c.p);  // three fire walls: no extra
  }
}

TEST_F(StageTest, CloseMovesOnToALongerStageAndKeepsTheTotals) {
  ClearedStage(30, 28, 3);
  FireAndClose();
  ClearedStage(50, 50, 3);
  FireAndClose();
  EXPECT_EQ(player.level, 3);
  EXPECT_EQ(waves_per_stage, 70);
  EXPECT_EQ(total_viruses_found, 80);
  EXPECT_EQ(total_viruses_destroyed, 78);
  EXPECT_EQ(pcs_recovered, 2);
  // The next stage starts afresh at "Get Ready!!"
  EXPECT_EQ(stage_phase, 0);
  EXPECT_EQ(phase_timer, 0);
  EXPECT_EQ(viruses_found, 0);
  EXPECT_EQ(viruses_destroyed, 0);
  EXPECT_EQ(player.fwall, 3);
  Frame();
  EXPECT_NE(Text("Get Ready!!"), nullptr);
}

TEST_F(StageTest, BestScoreCatchesTheBonusInTheSameFrame) {
  player.best_sc = 3000;
  player.score = 0;
  player.new_bs = 0;
  ClearedStage(30, 30, 3);
  FireAndClose();
  EXPECT_EQ(player.score, 5000);
  EXPECT_EQ(player.best_sc, 5000);
  EXPECT_EQ(player.new_bs, 1);
}

TEST_F(StageTest, StageClearShowsTheReportAloneThenPromptsOnTheHundredAndFiftyFirstFrame) {
  stage_phase = 2;
  phase_timer = 0;
  viruses_found = 30;
  viruses_destroyed = 30;
  int score = player.score;
  for (int f = 1; f <= 150; f++) {
    TapFire();  // too early: thrown away
    Frame();
    ASSERT_EQ(phase_timer, f);
    ASSERT_EQ(Text("Press Fire To Continue"), nullptr) << "frame " << f;
    ASSERT_EQ(stage_phase, 2);
  }
  const screen_item* title = Text("Stage Clear!!");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x, 320);
  EXPECT_EQ(title->y, 80);
  EXPECT_EQ(title->centre, 1);
  EXPECT_EQ(TextAt(100), "----------------------");
  Frame();  // the 151st frame: the prompt, and no press pending from before
  const screen_item* prompt = Text("Press Fire To Continue");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(prompt->y, 380);
  EXPECT_EQ(stage_phase, 2);
  EXPECT_EQ(player.score, score);
  Frame();
  EXPECT_EQ(stage_phase, 2);
  FireAndClose();
  EXPECT_EQ(stage_phase, 0);
  EXPECT_EQ(player.score, score + 5000);
}

TEST_F(StageTest, StageClearIgnoresTheGameOverFireKeys) {
  ClearedStage(30, 30, 3);
  TapEnter();
  synthetic::ClickMouse();
  Frame();
  EXPECT_EQ(stage_phase, 2);
}

TEST_F(StageTest, JoystickButtonClosesTheStageOnceLetGo) {
  SDL_Joystick* pad = Joystick();
  ASSERT_NE(pad, nullptr);
  ClearedStage(30, 30, 3);
  SetButton(0, 1);
  // The new stage waits for the fire button to be let go.
  std::thread release([pad] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SDL_JoystickSetVirtualButton(pad, 0, 0);
  });
  Frame();
  release.join();
  EXPECT_EQ(stage_phase, 0);
  EXPECT_EQ(player.level, 2);
}

TEST_F(StageTest, GetReadyLastsTwoHundredFramesWithTheShipAlreadyFree) {
  auto waiting = AddVirus(4, 600, 100, 1, 1.0f);
  float x0 = player.x;
  PressRight();
  for (int f = 1; f <= 199; f++) {
    Frame();
    ASSERT_EQ(stage_phase, 0) << "frame " << f;
  }
  const screen_item* ready = Text("Get Ready!!");
  ASSERT_NE(ready, nullptr);
  EXPECT_EQ(ready->x, 320);
  EXPECT_EQ(ready->y, 220);
  EXPECT_EQ(ready->centre, 1);
  Frame();
  EXPECT_EQ(stage_phase, 1);
  KeyUp(SDL_SCANCODE_RIGHT);
  EXPECT_GT(player.x, x0);  // the ship moves during get ready
  EXPECT_EQ(waiting->x, 600);  // viruses wait
  EXPECT_EQ(waiting->y, 100);
  Frame();
  EXPECT_EQ(Text("Get Ready!!"), nullptr);
  EXPECT_LT(waiting->x, 600);  // and run with the stage
}

TEST_F(StageTest, LostShipComesBackAtGetReadyWithOneLifeFewer) {
  stage_phase = 1;
  player.lives = 2;
  player.skick = 2;
  player.fwall = 5;
  VirusOnShip();
  auto far = AddVirus(4, 600, 100, 1, 1.0f);
  pshot_tag::fire(100, 300);
  Frame();
  ASSERT_EQ(game_state, GS_SHIP_LOST);
  EXPECT_EQ(far->x, 600);  // the walk stopped at the lost ship
  for (int f = 1; f <= 149; f++) {
    Frame();
    ASSERT_EQ(game_state, GS_SHIP_LOST) << "frame " << f;
    ASSERT_EQ(player.lives, 2);
  }
  EXPECT_EQ(far->x, 600 - 5 * 149);
  Frame();
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(stage_phase, 0);
  EXPECT_EQ(phase_timer, 0);
  EXPECT_EQ(player.lives, 1);
  EXPECT_EQ(player.fwall, 3);
  EXPECT_EQ(player.skick, 0);
  EXPECT_EQ(player.x, 240);
  EXPECT_EQ(player.y, 320);
  EXPECT_EQ(firewall_active, 0);
  EXPECT_TRUE(pshot_list.empty());
  EXPECT_EQ(far->x, 600 - 750);
  EXPECT_EQ(far->y, 100 - 750);
  Frame();
  EXPECT_NE(Text("Get Ready!!"), nullptr);
  EXPECT_EQ(phase_timer, 1);
}

TEST_F(StageTest, ShipLostScreenDrawsNoText) {
  stage_phase = 1;
  player.lives = 3;
  VirusOnShip();
  Frame();
  ASSERT_EQ(game_state, GS_SHIP_LOST);
  Frame();
  EXPECT_TRUE(log.empty());
}

// A lost ship does not restart the stage: its spawn state and counts carry over, the
// explosions play on (the only thing drawn), every virus left is pushed off the board.
TEST_F(StageTest, AStageCarriesOverALostShip) {
  stage_phase = 1;
  player.score = 700, player.level = 2, player.lives = 3, player.fwall = 5, player.skick = 2;
  waves_per_stage = 50, waves_spawned = 7, spawn_timer = 40, viruses_found = 20, viruses_destroyed = 9;
  VirusOnShip();
  auto a = AddVirus(4, 600, 100, 1, 1.0f), b = AddVirus(1, 500, 50, 1, 1.0f);
  AddShot(100, 400);
  Frame();
  ASSERT_EQ(game_state, GS_SHIP_LOST);
  int particles = explode_list.size();
  drawcalls::recorder rec;
  for (int f = 0; f < 150; f++) Frame();
  for (const std::string& w : rec.Whats()) ASSERT_EQ(w, "bits#3") << "only the ship's explosion is drawn";
  EXPECT_GT(rec.calls.size(), static_cast<size_t>(particles));
  EXPECT_EQ((std::vector<int>{player.score, player.level, waves_per_stage, waves_spawned, spawn_timer, viruses_found,
                              viruses_destroyed, player.lives, player.fwall, player.skick}),
            (std::vector<int>{700, 2, 50, 7, 39, 20, 10, 2, 3, 0}));  // the clock ran once, in the frame of the loss
  EXPECT_EQ((std::vector<float>{a->x, a->y, b->x, b->y}), (std::vector<float>{-150, -650, -250, -700}));
  EXPECT_TRUE(pshot_list.empty());
  EXPECT_EQ(virus_list.size(), 2);
}

}  // namespace
}  // namespace screens_test
