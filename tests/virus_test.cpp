// Viruses: the spawn clock and its events, the CPU marker, and the tests against the
// ship, the shots and the fire wall with the points and counts they give.
#include "support/game_fixture.h"

namespace {

using gamefix::RefRandom;

class VirusTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    if (HasFatalFailure()) return;
    // Nothing spawns unless a test asks for it; the ship is out of everyone's way.
    waves_spawned = waves_per_stage + 1;
    spawn_timer = 0;
    player.x = -2000;
    player.y = -2000;
  }

  // A virus that will be at (x, y) once it has made its next move.
  std::shared_ptr<virus_tag> VirusAt(int typ, float x, float y) {
    int hpts = typ == 2 ? 6 : typ == 5 || typ == 6 ? 0 : 1;
    float scale = typ == 2 ? 1.5f : typ == 5 ? 0.0f : 1.0f;
    float step = typ == 5 ? 1.0f : 1.5f;
    return AddVirus(typ, x + step, y - step, hpts, scale);
  }

  void ExpectShapesMeet(const std::shared_ptr<TImage>& a, int fa, const std::shared_ptr<TImage>& b, int fb) {
    twdraw.sip(1, 1.0f, 0, 1.0f, 1.0f);
    ASSERT_EQ(ImagesOverlap(a, 400, 200, fa, b, 400, 200, fb), 1) << "sprites do not meet at one point";
  }

  int LastBurstFrame() { return LastOf(explode_list)->fr; }
};

struct Event {
  int pattern, found, delay, last_typ;
  float last_x, last_y;
};

// What the next spawn event must be, from the generator's own definition.
Event PredictEvent(RefRandom& ref) {
  int pattern = TruncToInt(ref.Real(0, 4) + 1);
  if (pattern == 4) return {4, 1, 60, 4, static_cast<float>(TruncToInt(200 + ref.Real(0, 740))), -18};
  if (pattern == 2) return {2, 1, 120, 2, static_cast<float>(TruncToInt(320 + ref.Real(0, 640))), -18};
  if (pattern == 1) {
    int x0 = TruncToInt(200 + ref.Real(0, 740));
    return {1, 7, 280, 1, static_cast<float>(x0 + 36 * 6), -18 - 33 * 6};
  }
  return {3, 7, 60, 3, 950, -102};
}

TEST_F(VirusTest, AStageOfThirtyIsTwentyNineEventsThenTheMarker) {
  waves_spawned = 0;
  spawn_timer = 1;
  RefRandom ref(kSeed);
  int frame = 0, due = 1, found = 0;
  for (int event = 1; event <= 29; event++) {
    Event e = PredictEvent(ref);
    while (frame < due - 1) {
      virus_tag::update_all();
      frame++;
      ASSERT_EQ(viruses_found, found) << "early event before frame " << due;
    }
    virus_tag::update_all();
    frame++;
    found += e.found;
    ASSERT_EQ(viruses_found, found) << "event " << event << " at frame " << frame;
    ASSERT_EQ(waves_spawned, event);
    auto last = LastOf(virus_list);
    ASSERT_EQ(last->typ, e.last_typ);
    EXPECT_EQ(last->x, e.last_x);
    EXPECT_EQ(last->y, e.last_y);
    EXPECT_EQ(last->hpts, e.pattern == 2 ? 6 : 1);
    EXPECT_EQ(last->scale, e.pattern == 2 ? 1.5f : 1.0f);
    EXPECT_EQ(spawn_timer, e.delay);
    due = frame + e.delay;
  }
  while (frame < due) {
    virus_tag::update_all();
    frame++;
  }
  auto marker = LastOf(virus_list);
  ASSERT_EQ(marker->typ, 5);
  EXPECT_EQ(marker->x, 971.0f);
  EXPECT_EQ(marker->y, -51.0f);
  EXPECT_EQ(viruses_found, found);
  EXPECT_EQ(waves_spawned, 31);

  for (int i = 0; i < 451; i++) virus_tag::update_all();
  EXPECT_EQ(marker->x, 520.0f);
  EXPECT_EQ(marker->y, 400.0f);
  for (int i = 451; i < 531; i++) virus_tag::update_all();
  EXPECT_EQ(stage_phase, 1);
  phase_timer = 99;
  virus_tag::update_all();  // the 532nd frame
  EXPECT_EQ(marker->y, 481.0f);
  EXPECT_EQ(marker->x, 439.0f);
  EXPECT_EQ(marker->lnk, nullptr);
  EXPECT_EQ(stage_phase, 2);
  EXPECT_EQ(phase_timer, 0);
  EXPECT_EQ(stageclear->cues, 1);

  for (int i = 0; i < 300; i++) virus_tag::update_all();
  EXPECT_EQ(viruses_found, found);
  EXPECT_EQ(spawn_timer, 0);
  EXPECT_EQ(waves_spawned, 31);
}

TEST_F(VirusTest, LargeVirusTakesSixHitsAndBecomesACapsule) {
  ExpectShapesMeet(bits_img, 0, virus_img, 0);
  viruses_found = 1;
  auto v = VirusAt(2, 400, 200);
  RefRandom ref(kSeed);
  size_t particles = 0;
  for (int hit = 1; hit <= 6; hit++) {
    auto s = AddShot(v->x - 1.5f, v->y + 1.5f);
    virus_tag::update_all();
    EXPECT_EQ(s->lnk, nullptr) << hit;
    EXPECT_EQ(explode->cues, hit);
    int f = TruncToInt(ref.Real(0, 4));
    int count = hit < 6 ? 10 : 50;
    ref.SkipBurst(count);
    particles += count + 1;
    ASSERT_EQ(static_cast<size_t>(explode_list.size()), particles) << hit;
    EXPECT_EQ(LastBurstFrame(), f);
    EXPECT_EQ(player.score, hit < 6 ? 0 : 100);
    EXPECT_EQ(viruses_destroyed, hit < 6 ? 0 : 1);
  }
  EXPECT_EQ(v->typ, 6);
  EXPECT_EQ(v->scale, 1.0f);
  EXPECT_NE(v->lnk, nullptr);
  EXPECT_EQ(random_state, ref.s);

  // Shots fly on through a capsule.
  auto s = AddShot(v->x - 1.5f, v->y + 1.5f);
  virus_tag::update_all();
  EXPECT_NE(s->lnk, nullptr);
  EXPECT_EQ(explode->cues, 6);
}

TEST_F(VirusTest, FireWallDestroysWhatIsBelowItButCapsulesAndTheMarker) {
  firewall_active = 1;
  firewall_y = 300;
  viruses_found = 10;
  auto line = VirusAt(1, 100, 310);
  auto large = VirusAt(2, 200, 320);
  auto formation = VirusAt(3, 300, 400);
  auto single = VirusAt(4, 400, 470);
  auto marker = VirusAt(5, 500, 350);
  auto capsule = VirusAt(6, 600, 350);
  auto level = VirusAt(1, 100, 300);  // exactly at the wall's y: spared
  auto above = VirusAt(4, 200, 100);
  virus_tag::update_all();
  EXPECT_EQ(line->lnk, nullptr);
  EXPECT_EQ(formation->lnk, nullptr);
  EXPECT_EQ(single->lnk, nullptr);
  EXPECT_NE(large->lnk, nullptr);
  EXPECT_EQ(large->typ, 6);
  EXPECT_EQ(large->scale, 1.0f);
  EXPECT_NE(marker->lnk, nullptr);
  EXPECT_NE(capsule->lnk, nullptr);
  EXPECT_NE(level->lnk, nullptr);
  EXPECT_NE(above->lnk, nullptr);
  EXPECT_EQ(player.score, 3 * 25 + 100);
  EXPECT_EQ(viruses_destroyed, 4);
  EXPECT_EQ(explode_list.size(), 4 * 51);
  EXPECT_EQ(explode->cues, 0);
}

TEST_F(VirusTest, TwoShotsOnAOneHitVirusScoreTwiceButCountNoMoreThanFound) {
  ExpectShapesMeet(bits_img, 0, virus_img, 0);
  viruses_found = 1;
  auto v = VirusAt(1, 400, 200);
  auto s1 = AddShot(400, 200);
  auto s2 = AddShot(400, 200);
  virus_tag::update_all();
  EXPECT_EQ(player.score, 50);
  EXPECT_EQ(explode_list.size(), 2 * 51);
  EXPECT_EQ(explode->cues, 2);
  EXPECT_EQ(s1->lnk, nullptr);
  EXPECT_EQ(s2->lnk, nullptr);
  EXPECT_EQ(v->lnk, nullptr);
  EXPECT_EQ(viruses_destroyed, 1);

  viruses_found = 5;
  viruses_destroyed = 0;
  VirusAt(4, 300, 150);
  AddShot(300, 150);
  AddShot(300, 150);
  virus_tag::update_all();
  EXPECT_EQ(viruses_destroyed, 2);
  EXPECT_EQ(player.score, 100);
}

TEST_F(VirusTest, CapsulesGiveSideKicksThenFireWallsAndPoints) {
  ExpectShapesMeet(ship_img, 0, virus_img, 2);
  player.x = 240, player.y = 320;
  for (int round = 0; round < 3; round++) {
    auto c = VirusAt(6, 240, 320);
    virus_tag::update_all();
    EXPECT_EQ(c->lnk, nullptr) << round;
    EXPECT_EQ(powerup->cues, round + 1);
  }
  EXPECT_EQ(player.skick, 2);
  EXPECT_EQ(player.fwall, 4);
  EXPECT_EQ(player.score, 1000);
  EXPECT_EQ(viruses_destroyed, 0);
}

TEST_F(VirusTest, ContactWithLivesLeftLosesTheShip) {
  ExpectShapesMeet(ship_img, 0, virus_img, 2);
  player.x = 240, player.y = 320;
  viruses_found = 3;
  phase_timer = 40;
  auto v = VirusAt(3, 240, 320);
  RefRandom ref(kSeed);
  virus_tag::update_all();
  EXPECT_EQ(game_state, GS_SHIP_LOST);
  EXPECT_EQ(player.lives, 3);
  EXPECT_EQ(player.score, 0);
  EXPECT_EQ(viruses_destroyed, 1);
  EXPECT_EQ(phase_timer, 0);
  EXPECT_EQ(explode->cues, 1);
  EXPECT_EQ(v->lnk, nullptr);
  ASSERT_EQ(explode_list.size(), 101);
  std::shared_ptr<explode_tag> first;
  explode_list.walk([&first](explode_tag& p) {
    if (!first) first = p.lnk->value;
    return 0;
  });
  EXPECT_EQ(first->fr, 3);
  EXPECT_EQ(first->al, static_cast<float>(ref.Real(1.5, 2.5)));
  EXPECT_EQ(first->x, static_cast<float>(140.0f + ref.Real(0, 200)));
  EXPECT_EQ(first->y, static_cast<float>(220.0f + ref.Real(0, 200)));
}

TEST_F(VirusTest, ContactOnTheLastLifeEndsTheGame) {
  player.x = 240, player.y = 320;
  player.lives = 1;
  viruses_found = 1;
  VirusAt(1, 240, 320);
  virus_tag::update_all();
  EXPECT_EQ(game_state, GS_GAME_OVER);
  EXPECT_EQ(player.lives, 0);
}

TEST_F(VirusTest, ALostShipStopsTheWalkButGameOverDoesNot) {
  player.x = 240, player.y = 320;
  viruses_found = 3;
  waves_spawned = 0;
  spawn_timer = 10;
  VirusAt(4, 240, 320);
  auto later = VirusAt(4, 500, 100);
  virus_tag::update_all();
  EXPECT_EQ(game_state, GS_SHIP_LOST);
  EXPECT_EQ(later->x, 501.5f);  // neither moved nor drawn
  EXPECT_EQ(spawn_timer, 9);    // the clock still ran

  game_state = GS_PLAYING;
  player.lives = 1;
  VirusAt(4, 240, 320);  // appended after `later`, which now runs first
  auto last = VirusAt(4, 600, 100);
  virus_tag::update_all();
  EXPECT_EQ(game_state, GS_GAME_OVER);
  EXPECT_EQ(later->x, 500.0f);
  EXPECT_EQ(last->x, 600.0f);
}

TEST_F(VirusTest, AVirusTakenOffByContactIsStillHitInTheSameFrame) {
  ExpectShapesMeet(bits_img, 0, virus_img, 0);
  player.x = 240, player.y = 320;
  player.lives = 1;
  viruses_found = 4;
  auto v = VirusAt(1, 240, 320);
  auto s = AddShot(240, 320);
  virus_tag::update_all();
  EXPECT_EQ(v->lnk, nullptr);
  EXPECT_EQ(s->lnk, nullptr);
  EXPECT_EQ(viruses_destroyed, 2);  // one for the contact, one for the shot
  EXPECT_EQ(player.score, 25);
  EXPECT_EQ(v->fctr + v->ftmr, 1);  // the animation step ran too
}

TEST_F(VirusTest, TheMarkerIgnoresShipAndShotsAndLeavesItsRotation) {
  player.x = 240, player.y = 320;
  auto marker = VirusAt(5, 240, 320);
  auto s = AddShot(240, 320);
  virus_tag::update_all();
  EXPECT_EQ(game_state, GS_PLAYING);
  EXPECT_NE(marker->lnk, nullptr);
  EXPECT_NE(s->lnk, nullptr);
  EXPECT_EQ(player.lives, 3);
  EXPECT_EQ(explode->cues, 0);
  EXPECT_FLOAT_EQ(GetDrawRotation(), 45.0f);
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
}

TEST_F(VirusTest, ScreenEdgesAreInside) {
  auto at_left = VirusAt(4, 0.0f, 100);
  auto past_left = VirusAt(4, -0.5f, 100);
  auto at_bottom = VirusAt(1, 300, 480.0f);
  auto past_bottom = VirusAt(3, 400, 480.5f);
  virus_tag::update_all();
  EXPECT_NE(at_left->lnk, nullptr);
  EXPECT_EQ(past_left->lnk, nullptr);
  EXPECT_NE(at_bottom->lnk, nullptr);
  EXPECT_EQ(past_bottom->lnk, nullptr);
  EXPECT_EQ(stage_phase, 1);
  EXPECT_EQ(viruses_destroyed, 0);
}

TEST_F(VirusTest, VirusFramesAlternateEverySixFrames) {
  auto v = VirusAt(4, 600, 0);
  for (int i = 1; i <= 13; i++) {
    virus_tag::update_all();
    EXPECT_EQ(v->fctr, (i / 6) % 2) << i;
  }
  virus_tag::destroy_all();
  EXPECT_EQ(virus_list.size(), 0);
  EXPECT_EQ(v->lnk, nullptr);
}

// The shapes that meet are the design's: the ship's frame 0 against a virus's frame 2 for
// contact, a shot's frame 0 against a virus's frame 0 for hits. Where another frame of
// either would decide otherwise, the designed pair decides.
TEST_F(VirusTest, ContactAndHitsUseTheDesignedFrames) {
  struct shape_case {
    const char* what;
    const std::shared_ptr<TImage>*a, *b;
    int fa, fb, alt_fa, alt_fb;
    int contact;  // 1: the ship meets the virus; 0: a shot hits it
  };
  const shape_case cases[] = {{"ship 0 on virus 2, not ship 1", &ship_img, &virus_img, 0, 2, 1, 2, 1},
                              {"shot 0 on virus 0, not shot 1", &bits_img, &virus_img, 0, 0, 1, 0, 0},
                              {"shot 0 on virus 0, not virus 1", &bits_img, &virus_img, 0, 0, 0, 1, 0}};
  for (const shape_case& c : cases) {
    SCOPED_TRACE(c.what);
    twdraw.sip(1, 1.0f, 0, 1.0f, 1.0f);
    int found = 0, dx = 0, dy = 0, meets = 0;
    for (dy = -40; dy <= 40 && !found; dy++)
      for (dx = -60; dx <= 60 && !found; dx++) {
        meets = ImagesOverlap(*c.a, 300 + dx, 300 + dy, c.fa, *c.b, 300, 300, c.fb);
        found = meets != ImagesOverlap(*c.a, 300 + dx, 300 + dy, c.alt_fa, *c.b, 300, 300, c.alt_fb);
      }
    ASSERT_TRUE(found) << "the two frames have the same outline";
    dx--, dy--;  // the loops stepped past the spot
    TearDown();
    SetUp();
    player.lives = 3;
    auto v = AddVirus(4, 301.5f, 298.5f, 1, 1.0f);
    std::shared_ptr<pshot_tag> shot;
    if (c.contact) player.x = 300.0f + dx, player.y = 300.0f + dy;
    else shot = AddShot(300.0f + dx, 300.0f + dy);
    virus_tag::update_all();
    if (c.contact) {
      EXPECT_EQ(game_state == GS_SHIP_LOST, meets == 1);
    } else {
      EXPECT_EQ(shot->lnk == nullptr, meets == 1);
    }
  }
}

// The bursts of a hit and of a kill: count + 1 particles of a random frame, each placed at
// random within the spread of the virus.
TEST_F(VirusTest, BurstsScatterOverTheirSpread) {
  struct burst_case {
    int typ, hpts, spread, count;
  };
  for (const burst_case& c : {burst_case{2, 6, 4, 10}, burst_case{4, 1, 25, 50}}) {
    SCOPED_TRACE(c.spread);
    TearDown();
    SetUp();
    auto v = VirusAt(c.typ, 400, 200);
    AddShot(400, 200);
    RefRandom ref(kSeed);
    virus_tag::update_all();
    int fr = TruncToInt(ref.Real(0, 4));
    ASSERT_EQ(explode_list.size(), c.count + 1);
    explode_list.walk([&](explode_tag& p) {
      float al = static_cast<float>(ref.Real(1.5, 2.5));
      float x = static_cast<float>((400.0f - c.spread) + ref.Real(0, 2 * c.spread));
      float y = static_cast<float>((200.0f - c.spread) + ref.Real(0, 2 * c.spread));
      ref.Skip(2);
      EXPECT_EQ((std::vector<float>{static_cast<float>(p.fr), p.al, p.x, p.y}),
                (std::vector<float>{static_cast<float>(fr), al, x, y}));
      return 0;
    });
  }
}

}  // namespace
