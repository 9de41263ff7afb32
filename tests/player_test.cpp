// The ship: its track and bounds, the controls it reads, its volleys and the fire wall.
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include "support/game_fixture.h"

namespace {

using gamefix::Box;
using gamefix::RefRandom;

// The drawn ship frame alternates every 2 frames, starting on the still image.
int AnimationPhase(int frame_number) { return ((frame_number - 1) / 2) % 2; }

void ExpectBox(const Box& got, const Box& want) {
  EXPECT_EQ(got.x0, want.x0);
  EXPECT_EQ(got.y0, want.y0);
  EXPECT_EQ(got.x1, want.x1);
  EXPECT_EQ(got.y1, want.y1);
}

class PlayerTest : public GameFixture {};

TEST_F(PlayerTest, LeftArrowRunsToTheUpperBoundAndIsDrawnOneStepBeyond) {
  PressLeft();
  for (int i = 1; i <= 71; i++) ReadyFrame();
  EXPECT_FLOAT_EQ(player.x, 27.0f);
  EXPECT_FLOAT_EQ(player.y, 142.5f);
  EXPECT_EQ(player.frame, 2);

  ReadyFrame();  // the 72nd step goes to (24, 140), is drawn there and put back
  EXPECT_EQ(player.x, 27.0f);
  EXPECT_EQ(player.y, 142.0f);
  Box want = gamefix::SpriteBox(ship_img, 2 + AnimationPhase(72), 24, 140, 20);
  ASSERT_FALSE(want.Empty()) << "ship frame has no bright pixels";
  want.x0 = std::max(want.x0, 0);  // its left end is off the screen
  want.y0 = std::max(want.y0, 0);
  ExpectBox(gamefix::LitBox(*Screen(), 20), want);

  ReadyFrame();
  EXPECT_EQ(player.x, 27.0f);
  EXPECT_EQ(player.y, 142.0f);
}

TEST_F(PlayerTest, RightArrowStopsExactlyAtTheLowerEnd) {
  PressRight();
  for (int i = 0; i < 68; i++) ReadyFrame();
  EXPECT_EQ(player.x, 444.0f);
  EXPECT_EQ(player.y, 490.0f);
  for (int i = 0; i < 3; i++) {
    ReadyFrame();
    EXPECT_EQ(player.x, 444.0f);
    EXPECT_EQ(player.y, 490.0f);
    EXPECT_EQ(player.frame, 4);
  }
}

TEST_F(PlayerTest, SideKicksNarrowTheTrack) {
  player.skick = 1;
  PressLeft();
  for (int i = 0; i < 100; i++) ReadyFrame();
  EXPECT_EQ(player.y, 170.0f);

  player.skick = 2;
  KeyUp(SDL_SCANCODE_LEFT);
  PressRight();
  for (int i = 0; i < 150; i++) ReadyFrame();
  EXPECT_EQ(player.y, 450.0f);
  float x = player.x;
  ReadyFrame();
  EXPECT_EQ(player.x, x);

  player.skick = 1;  // one side-kick lets the ship down to 490 again
  for (int i = 0; i < 40; i++) ReadyFrame();
  EXPECT_EQ(player.y, 490.0f);
  EXPECT_EQ(player.x, x + 16 * 3.0f);  // 16 steps from 450 to exactly 490; no push back there
}

TEST_F(PlayerTest, BothArrowsCancelWithTheDownRightFrame) {
  PressLeft();
  PressRight();
  for (int i = 0; i < 4; i++) {
    ReadyFrame();
    EXPECT_EQ(player.x, 240.0f);
    EXPECT_EQ(player.y, 320.0f);
    EXPECT_EQ(player.frame, 4);
  }
}

TEST_F(PlayerTest, OnlyAFullyDeflectedStickMoves) {
  SetAxis(0, -32440);  // about -0.99
  float near = GetJoyAxisX(0);
  ASSERT_LT(near, -0.98f);
  ASSERT_NE(near, -1.0f);
  ReadyFrame();
  EXPECT_EQ(player.x, 240.0f);
  EXPECT_EQ(player.frame, 0);

  SetAxis(0, -32768);
  ASSERT_EQ(GetJoyAxisX(0), -1.0f);
  ReadyFrame();
  EXPECT_EQ(player.x, 237.0f);
  EXPECT_EQ(player.y, 317.5f);
  EXPECT_EQ(player.frame, 2);

  SetAxis(0, 0);
  SetAxis(1, 32767);  // stick down also means down-right
  ReadyFrame();
  EXPECT_EQ(player.x, 240.0f);
  EXPECT_EQ(player.y, 320.0f);
  EXPECT_EQ(player.frame, 4);
}

// The D-pad is the stick at full deflection, but only while the stick rests in its dead
// zone; a stick in use keeps its own reading.
TEST_F(PlayerTest, DPadMovesTheShipAsTheStickFullyDeflectedDoes) {
  struct pad_case {
    const char* what;
    Sint16 x, y;
    Uint8 hat;
    float dx, dy;
    int frame;
  };
  const pad_case cases[] = {
      {"hat left", 0, 0, SDL_HAT_LEFT, -3.0f, -2.5f, 2},
      {"hat up", 0, 0, SDL_HAT_UP, -3.0f, -2.5f, 2},
      {"hat up-left", 0, 0, SDL_HAT_LEFTUP, -3.0f, -2.5f, 2},
      {"hat right", 0, 0, SDL_HAT_RIGHT, 3.0f, 2.5f, 4},
      {"hat down", 0, 0, SDL_HAT_DOWN, 3.0f, 2.5f, 4},
      {"hat up-right: both ways, as both arrows", 0, 0, SDL_HAT_RIGHTUP, 0.0f, 0.0f, 4},
      {"hat left, stick resting off centre inside its dead zone", 7000, -7000, SDL_HAT_LEFT, -3.0f, -2.5f, 2},
      {"hat centred, stick fully left", -32768, 0, SDL_HAT_CENTERED, -3.0f, -2.5f, 2},
      {"hat centred, stick fully down", 0, 32767, SDL_HAT_CENTERED, 3.0f, 2.5f, 4},
      {"hat centred, stick half right", 16384, 0, SDL_HAT_CENTERED, 0.0f, 0.0f, 0},
      {"hat left, stick half right: the stick is in use", 16384, 0, SDL_HAT_LEFT, 0.0f, 0.0f, 0},
      {"hat left, stick just past its dead zone", 0, 9000, SDL_HAT_LEFT, 0.0f, 0.0f, 0},
      {"hat left, stick fully right", 32767, 0, SDL_HAT_LEFT, 3.0f, 2.5f, 4},
      {"nothing", 0, 0, SDL_HAT_CENTERED, 0.0f, 0.0f, 0},
  };
  for (const pad_case& c : cases) {
    SCOPED_TRACE(c.what);
    player.x = 240.0f, player.y = 320.0f;
    SetAxis(0, c.x);
    SetAxis(1, c.y);
    SetHat(c.hat);
    ReadyFrame();
    EXPECT_EQ(player.x, 240.0f + c.dx);
    EXPECT_EQ(player.y, 320.0f + c.dy);
    EXPECT_EQ(player.frame, c.frame);
  }
}

TEST_F(PlayerTest, DPadHeldMovesTheShipEveryFrameUntilLetGo) {
  SetHat(SDL_HAT_LEFT);
  for (int f = 1; f <= 4; f++) {
    ReadyFrame();
    EXPECT_EQ(player.x, 240.0f - 3.0f * f) << f;
    EXPECT_EQ(player.y, 320.0f - 2.5f * f) << f;
  }
  SetHat(SDL_HAT_CENTERED);
  ReadyFrame();
  EXPECT_EQ(player.x, 228.0f);
  EXPECT_EQ(player.y, 310.0f);
}

TEST_F(PlayerTest, OnePressFiresAShotPerShipFromTruncatedPositions) {
  const float want[3][2] = {{206, 300}, {161, 260}, {251, 340}};
  for (int kicks : {0, 1, 2}) {
    SCOPED_TRACE(kicks);
    pshot_tag::destroy_all();
    shots_fired = plasma->cues = 0;
    player.skick = kicks;
    player.x = 200.75f;
    player.y = 300.5f;
    TapFire();
    player.update();
    ASSERT_EQ(pshot_list.size(), static_cast<size_t>(kicks + 1));
    EXPECT_EQ(shots_fired, kicks + 1);
    EXPECT_EQ(plasma->cues, 1);
    int i = 0;
    pshot_list.walk([&](pshot_tag& s) {
      EXPECT_EQ(s.x, want[i][0]) << i;
      EXPECT_EQ(s.y, want[i][1]) << i;
      i++;
      return 0;
    });
  }
}

TEST_F(PlayerTest, HoldingFireGivesOneVolley) {
  KeyDown(SDL_SCANCODE_LCTRL);
  for (int i = 0; i < 5; i++) player.update();
  EXPECT_EQ(shots_fired, 1);
  KeyUp(SDL_SCANCODE_LCTRL);
  TapFire();
  TapFire();  // two presses between frames still make one volley
  player.update();
  player.update();
  EXPECT_EQ(shots_fired, 2);
  EXPECT_EQ(plasma->cues, 2);
}

TEST_F(PlayerTest, StickButtonAndControlInOneFrameGiveVolleysInConsecutiveFrames) {
  SetButton(0, 0);
  ReadJoyButtonHit(0, 0);  // the pad has been seen with the button up
  SetButton(0, 1);
  TapFire();
  player.update();
  EXPECT_EQ(shots_fired, 1);
  player.update();
  EXPECT_EQ(shots_fired, 2);
  player.update();
  EXPECT_EQ(shots_fired, 2);
  EXPECT_EQ(plasma->cues, 2);
}

TEST_F(PlayerTest, FireWallSweepsSixtyFramesThrowingSparks) {
  TapFireWall();
  RefRandom ref(kSeed);
  player.update();
  EXPECT_EQ(firewall_active, 1);
  EXPECT_EQ(player.fwall, 2);
  EXPECT_EQ(firewalls_launched, 1);
  EXPECT_EQ(firewall->cues, 1);
  EXPECT_EQ(firewall_x, 60.0f);
  EXPECT_EQ(firewall_y, 470.0f);

  // The first frame's sparks: a point in the square around (60, 470), six particles of frame 2.
  int a = TruncToInt(60.0f - 320.0f + ref.Real(0, 640));
  int b = TruncToInt(470.0f - 320.0f + ref.Real(0, 640));
  ASSERT_EQ(explode_list.size(), 6);
  explode_list.walk([&](explode_tag& p) {
    EXPECT_EQ(p.fr, 2);
    EXPECT_EQ(p.al, static_cast<float>(ref.Real(1.5, 2.5)));
    EXPECT_EQ(p.x, static_cast<float>((a - 10.0f) + ref.Real(0, 20)));
    EXPECT_EQ(p.y, static_cast<float>((b - 10.0f) + ref.Real(0, 20)));
    EXPECT_EQ(p.sc, static_cast<float>(ref.Real(0.5, 1.5)));
    EXPECT_EQ(p.alst, static_cast<float>(ref.Real(-0.04, -0.02)));
    return 0;
  });

  for (int i = 2; i <= 59; i++) player.update();
  EXPECT_EQ(firewall_active, 1);
  EXPECT_EQ(firewall_x, 640.0f);
  player.update();  // drawn at x 650, then switched off
  EXPECT_EQ(firewall_active, 0);
  EXPECT_EQ(firewall_x, 650.0f);
  EXPECT_EQ(explode_list.size(), 60 * 6);
  player.update();
  EXPECT_EQ(explode_list.size(), 60 * 6);
}

TEST_F(PlayerTest, FireWallPressIsLostWhileOneFliesOrNoneIsInHand) {
  TapFireWall();
  player.update();
  TapFireWall();  // consumed while the first is in flight
  for (int i = 0; i < 60; i++) player.update();
  EXPECT_EQ(firewall_active, 0);
  EXPECT_EQ(player.fwall, 2);
  EXPECT_EQ(firewalls_launched, 1);

  player.fwall = 0;
  TapFireWall();
  player.update();
  player.fwall = 1;
  player.update();  // the press made with none in hand does not come back
  EXPECT_EQ(firewall_active, 0);
  EXPECT_EQ(firewalls_launched, 1);
  EXPECT_EQ(firewall->cues, 1);
}

TEST_F(PlayerTest, AnArrowHeldThroughAFlushMovesNothingUntilPressedAgain) {
  PressLeft();
  player.update();
  EXPECT_EQ(player.x, 237.0f);
  player.flush_inputs();
  player.update();
  EXPECT_EQ(player.x, 237.0f);
  KeyUp(SDL_SCANCODE_LEFT);
  PressLeft();
  player.update();
  EXPECT_EQ(player.x, 234.0f);
}

TEST_F(PlayerTest, ResetKeepsTheLifetimeNumbersAndStartsAStage) {
  game_state = GS_TITLE;
  player.best_sc = 777;
  player.score = 500;
  player.skick = 2;
  player.fwall = 5;
  shots_fired = 9;
  firewalls_launched = 4;
  total_viruses_found = 12;
  waves_per_stage = 70;
  pshot_tag::fire(1, 2);
  explode_tag::set(10, 10, 0, 1, 3);
  virus_tag::setcpu();

  player_tag::reset(0);
  EXPECT_EQ(player.score, 500);
  EXPECT_EQ(waves_per_stage, 70);
  EXPECT_EQ(player.skick, 0);
  EXPECT_EQ(player.fwall, 3);
  EXPECT_EQ(spawn_timer, 1);
  EXPECT_EQ(stage_phase, 0);
  EXPECT_EQ(pshot_list.size() + explode_list.size() + virus_list.size(), 0);

  player_tag::reset(1);
  EXPECT_EQ(player.score, 0);
  EXPECT_EQ(player.lives, 3);
  EXPECT_EQ(player.level, 1);
  EXPECT_EQ(waves_per_stage, 30);
  EXPECT_EQ(total_viruses_found, 0);
  EXPECT_EQ(player.best_sc, 777);
  EXPECT_EQ(shots_fired, 9);
  EXPECT_EQ(firewalls_launched, 4);
}

// One frame's answer to each control: the step, the drawn frame, a volley, a fire wall.
TEST_F(PlayerTest, EachControlDoesWhatTheDesignSays) {
  struct control_case {
    const char* what;
    std::function<void(PlayerTest&)> press;
    float dx, dy;
    int frame, shots, walls, fwall_after;
  };
  const control_case cases[] = {
      {"stick fully left", [](PlayerTest& t) { t.SetAxis(0, -32768); }, -3, -2.5f, 2, 0, 0, 3},
      {"stick fully up", [](PlayerTest& t) { t.SetAxis(1, -32768); }, -3, -2.5f, 2, 0, 0, 3},
      {"stick fully right", [](PlayerTest& t) { t.SetAxis(0, 32767); }, 3, 2.5f, 4, 0, 0, 3},
      {"stick fully down", [](PlayerTest& t) { t.SetAxis(1, 32767); }, 3, 2.5f, 4, 0, 0, 3},
      {"stick almost fully up", [](PlayerTest& t) { t.SetAxis(1, -32440); }, 0, 0, 0, 0, 0, 3},
      {"Left arrow", [](PlayerTest& t) { t.PressLeft(); }, -3, -2.5f, 2, 0, 0, 3},
      {"Right arrow", [](PlayerTest& t) { t.PressRight(); }, 3, 2.5f, 4, 0, 0, 3},
      {"pad button 0", [](PlayerTest& t) { t.SetButton(0, 1); }, 0, 0, 0, 1, 0, 3},
      {"Left Control", [](PlayerTest& t) { t.TapFire(); }, 0, 0, 0, 1, 0, 3},
      {"Right Control", [](PlayerTest&) { synthetic::TapKey(SDL_SCANCODE_RCTRL); }, 0, 0, 0, 0, 0, 3},
      {"pad button 1", [](PlayerTest& t) { t.SetButton(1, 1); }, 0, 0, 0, 0, 1, 2},
      {"Left Alt", [](PlayerTest& t) { t.TapFireWall(); }, 0, 0, 0, 0, 1, 2},
      {"Right Alt", [](PlayerTest&) { synthetic::TapKey(SDL_SCANCODE_RALT); }, 0, 0, 0, 0, 0, 3},
      {"pad button 2", [](PlayerTest& t) { t.SetButton(2, 1); }, 0, 0, 0, 0, 0, 3},
      {"Left Alt with one wall in hand", [](PlayerTest& t) { player.fwall = 1, t.TapFireWall(); }, 0, 0, 0, 0, 1, 0},
      {"Left Alt below none in hand", [](PlayerTest& t) { player.fwall = -2, t.TapFireWall(); }, 0, 0, 0, 0, 1, 0},
  };
  for (const control_case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    plasma->cues = firewall->cues = 0;
    Joystick();
    c.press(*this);
    player.update();
    EXPECT_EQ(player.x, 240 + c.dx);
    EXPECT_EQ(player.y, 320 + c.dy);
    EXPECT_EQ(player.frame, c.frame);
    EXPECT_EQ(pshot_list.size(), c.shots);
    EXPECT_EQ(shots_fired, c.shots);
    EXPECT_EQ(plasma->cues, c.shots);
    EXPECT_EQ(firewall_active, c.walls);
    EXPECT_EQ(firewalls_launched, c.walls);
    EXPECT_EQ(firewall->cues, c.walls);
    EXPECT_EQ(player.fwall, c.fwall_after);
  }
}

// Whatever was pressed before a flush is gone after it; a held pad fire button holds it.
TEST_F(PlayerTest, FlushThrowsAwayEveryPressAndWaitsForThePadsFireButtons) {
  for (int button : {0, 1}) {
    SCOPED_TRACE(button);
    synthetic::ClickMouse();
    TapFire();
    SetButton(button, 1);
    ReadJoyButtonHit(1 - button, 0);
    std::thread let_go([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      SDL_JoystickSetVirtualButton(Joystick(), button, 0);
    });
    auto start = std::chrono::steady_clock::now();
    player.flush_inputs();
    auto waited = std::chrono::steady_clock::now() - start;
    let_go.join();
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_EQ(ReadMouseHit(1), 0);
    EXPECT_EQ(ReadKeyHit(162), 0);
    EXPECT_EQ(ReadJoyButtonHit(button, 0), 0);
  }
  SetButton(1, 1);
  ASSERT_EQ(IsJoyButtonHeld(1, 0), 1);  // the press seen and its hit not yet taken
  SetButton(1, 0);
  player.flush_inputs();  // a miscounted hit would never let it end
  EXPECT_EQ(ReadJoyButtonHit(1, 0), 0);
  synthetic::PushMouseButton(true);
  player.flush_inputs();
  EXPECT_EQ(IsMouseButtonHeld(1), 0);
  EXPECT_EQ(ReadMouseHit(1), 0);
}

// A stage starts with these, whatever came before; a new game also resets the game's numbers.
TEST_F(PlayerTest, ResetPutsEveryNumberBackAndOnlyAGameInPlayHearsTheMusic) {
  for (int new_game : {0, 1}) {
    for (int state : {GS_PLAYING, GS_TITLE}) {
      SCOPED_TRACE(testing::Message() << "new game " << new_game << ", state " << state);
      player = player_tag{9, 8, 7, 6, 5, 4.0f, 3.0f, 2, 1, 1, 2, 6};
      phase_timer = firewall_active = viruses_found = viruses_destroyed = waves_spawned = spawn_timer = 9;
      stage_phase = 1, waves_per_stage = 70;
      pcs_recovered = pc_recovery_errors = pcs_destroyed = total_viruses_found = total_viruses_destroyed = 9;
      game_state = state;
      music_channel.reset();
      for (int i = 0; i < 2; i++) pshot_tag::fire(i, i), explode_tag::set(i, i, 0, 1, 0), AddVirus(4, i, i, 1, 1.0f);
      TapFire();
      player_tag::reset(new_game);
      EXPECT_EQ(ReadKeyHit(162), 0);
      EXPECT_EQ(pshot_list.size() + explode_list.size() + virus_list.size(), 0);
      EXPECT_EQ(music_channel != nullptr, state == GS_PLAYING);
      EXPECT_EQ((std::vector<float>{player.x, player.y}), (std::vector<float>{240, 320}));
      int kept = new_game ? 0 : 9;
      EXPECT_EQ((std::vector<int>{player.score, player.best_sc, player.new_bs, player.lives, player.level, player.skick,
                                  player.fwall}),
                (std::vector<int>{kept, 8, new_game ? 0 : 7, new_game ? 3 : 6, new_game ? 1 : 5, 0, 3}));
      EXPECT_EQ((std::vector<int>{phase_timer, firewall_active, viruses_found, viruses_destroyed, waves_spawned,
                                  spawn_timer, stage_phase, waves_per_stage}),
                (std::vector<int>{0, 0, 0, 0, 0, 1, 0, new_game ? 30 : 70}));
      EXPECT_EQ((std::vector<int>{pcs_recovered, pc_recovery_errors, pcs_destroyed, total_viruses_found,
                                  total_viruses_destroyed}),
                (std::vector<int>(5, kept)));
    }
  }
  game_state = GS_PLAYING;
}

// Each bound is met as the design says: y put on the bound, x moved back one step.
TEST_F(PlayerTest, EachSideKickCountHasItsBounds) {
  struct bound_case {
    int skick;
    float y0;
    int right;
    float x_after, y_after;
  };
  const bound_case cases[] = {{0, 143.0f, 0, 200, 142},   {0, 488.0f, 1, 200, 490},  {1, 171.0f, 0, 200, 170},
                              {1, 489.0f, 1, 200, 490},   {2, 171.0f, 0, 200, 170},  {2, 449.0f, 1, 200, 450},
                              {2, 447.5f, 1, 203, 450},   {1, 172.5f, 0, 197, 170},  {0, 144.5f, 0, 197, 142}};
  for (const bound_case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.skick << " side-kicks from y " << c.y0);
    TearDown();
    SetUp();
    player.skick = c.skick, player.x = 200, player.y = c.y0;
    if (c.right) PressRight();
    else PressLeft();
    player.update();
    EXPECT_EQ(player.x, c.x_after);
    EXPECT_EQ(player.y, c.y_after);
  }
}

// A volley's shots leave from the ship and its side-kicks, each position truncated.
TEST_F(PlayerTest, VolleysLeaveFromTruncatedPositions) {
  for (float f : {0.05f, 0.95f}) {
    SCOPED_TRACE(f);
    TearDown();
    SetUp();
    player.skick = 2, player.x = 240 + f, player.y = 320 + f;
    TapFire();
    player.update();
    std::vector<float> got;
    pshot_list.walk([&got](pshot_tag& s) {
      got.push_back(s.x), got.push_back(s.y);
      return 0;
    });
    float x = 240 + f, y = 320 + f;
    EXPECT_EQ(got, (std::vector<float>{std::trunc(x + 6), std::trunc(y), std::trunc(x - 39), std::trunc(y - 40),
                                       std::trunc(x + 51), std::trunc(y + 40)}));
  }
}

}  // namespace
