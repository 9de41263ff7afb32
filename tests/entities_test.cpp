// Shots and explosion particles: their flight, bursts, fading, and the list walks.
#include "support/game_fixture.h"

namespace {

using gamefix::Box;
using gamefix::RefRandom;

class ShotTest : public GameFixture {};
class ExplodeTest : public GameFixture {};

TEST_F(ShotTest, LeavesTheTopAfterFortyThreeMovesDrawnThereOnce) {
  pshot_tag::fire(246, 320);
  std::shared_ptr<pshot_tag> s = LastOf(pshot_list);
  for (int i = 0; i < 42; i++) pshot_tag::update_all();
  ASSERT_EQ(pshot_list.size(), 1);
  EXPECT_EQ(s->x, 582.0f);
  EXPECT_EQ(s->y, 5.0f);

  ClearScreen();
  pshot_tag::update_all();
  EXPECT_EQ(pshot_list.size(), 0);
  EXPECT_EQ(s->x, 590.0f);
  EXPECT_EQ(s->y, -2.5f);
  EXPECT_EQ(s->lnk, nullptr);
  // The last drawing is the shot's lower part at the top edge, around x 590.
  Box lit = gamefix::LitBox(*Screen(), 20);
  ASSERT_FALSE(lit.Empty());
  EXPECT_GE(lit.x0, 575);
  EXPECT_LE(lit.x1, 605);
  EXPECT_LE(lit.y1, 8);
}

TEST_F(ShotTest, EdgesAreInsideTheScreen) {
  auto top = AddShot(100, 7.5f);     // to y 0.0: stays
  auto above = AddShot(100, 7.0f);   // to y -0.5: leaves
  auto right = AddShot(632, 100);    // to x 640.0: stays
  auto beyond = AddShot(632.5f, 100);  // to x 640.5: leaves
  pshot_tag::update_all();
  EXPECT_NE(top->lnk, nullptr);
  EXPECT_EQ(above->lnk, nullptr);
  EXPECT_NE(right->lnk, nullptr);
  EXPECT_EQ(beyond->lnk, nullptr);
  EXPECT_EQ(pshot_list.size(), 2);
}

TEST_F(ShotTest, AShotLeavingMidWalkDoesNotDisturbTheOthers) {
  auto a = AddShot(100, 200);
  auto b = AddShot(100, 1);  // leaves in this walk
  auto c = AddShot(300, 200);
  pshot_tag::update_all();
  EXPECT_EQ(a->x, 108.0f);
  EXPECT_EQ(b->x, 108.0f);
  EXPECT_EQ(c->x, 308.0f);
  EXPECT_EQ(pshot_list.size(), 2);
  pshot_tag::destroy_all();
  EXPECT_EQ(pshot_list.size(), 0);
  EXPECT_EQ(a->lnk, nullptr);
  pshot_tag::destroy_all();  // on an empty list: nothing
  EXPECT_EQ(pshot_list.size(), 0);
}

TEST_F(ExplodeTest, ABurstIsCountPlusOneParticlesDrawnInOrder) {
  RefRandom ref(kSeed);
  explode_tag::set(100.0f, 200.0f, 3, 100, 100);
  ASSERT_EQ(explode_list.size(), 101);
  explode_list.walk([&](explode_tag& p) {
    EXPECT_EQ(p.fr, 3);
    EXPECT_EQ(p.al, static_cast<float>(ref.Real(1.5, 2.5)));
    EXPECT_EQ(p.x, static_cast<float>(0.0f + ref.Real(0, 200)));
    EXPECT_EQ(p.y, static_cast<float>(100.0f + ref.Real(0, 200)));
    EXPECT_EQ(p.sc, static_cast<float>(ref.Real(0.5, 1.5)));
    EXPECT_EQ(p.alst, static_cast<float>(ref.Real(-0.04, -0.02)));
    EXPECT_GE(p.x, 0.0f);
    EXPECT_LT(p.x, 200.0f);
    return 0;
  });
  EXPECT_EQ(random_state, ref.s);
}

TEST_F(ExplodeTest, ZeroSpreadPutsEveryParticleOnTheCentre) {
  explode_tag::set(50.5f, 60.25f, 1, 0, 4);
  EXPECT_EQ(explode_list.size(), 5);
  explode_list.walk([](explode_tag& p) {
    EXPECT_EQ(p.x, 50.5f);
    EXPECT_EQ(p.y, 60.25f);
    return 0;
  });
}

TEST_F(ExplodeTest, ShortestLifeIsThirtyEightFrames) {
  explode_tag::set(300, 200, 0, 0, 0);
  auto p = LastOf(explode_list);
  p->al = 1.5f;
  p->alst = -0.04f;
  for (int i = 0; i < 37; i++) explode_tag::update_all();
  EXPECT_EQ(explode_list.size(), 1);
  EXPECT_EQ(p->x, 300.0f - 37 * 1.5f);
  explode_tag::update_all();
  EXPECT_EQ(explode_list.size(), 0);
}

TEST_F(ExplodeTest, AlphaExactlyZeroIsRemovedAfterItsLastDrawing) {
  explode_tag::set(320, 240, 0, 0, 0);
  auto p = LastOf(explode_list);
  p->al = 1.0f;
  p->alst = -0.5f;
  p->sc = 1.0f;
  explode_tag::update_all();
  EXPECT_EQ(explode_list.size(), 1);
  ClearScreen();
  explode_tag::update_all();  // drawn at alpha 0.5, then al is 0.0
  EXPECT_EQ(p->al, 0.0f);
  EXPECT_EQ(explode_list.size(), 0);
  Box lit = gamefix::LitBox(*Screen(), 0);
  ASSERT_FALSE(lit.Empty());
  EXPECT_GE(lit.x0, 318 - 15);
  EXPECT_LE(lit.x1, 318 + 15);
}

TEST_F(ExplodeTest, ScaleGoesNegativeAndTheSpriteTurnsOver) {
  explode_tag::set(320, 240, 0, 0, 0);
  auto p = LastOf(explode_list);
  p->al = 2.5f;
  p->alst = -0.02f;
  p->sc = 0.5f;
  for (int i = 0; i < 50; i++) explode_tag::update_all();
  EXPECT_NEAR(p->sc, -0.5f, 1e-5f);
  ASSERT_EQ(explode_list.size(), 1);

  // Drawn at scale -1 it must cover the frame's box mirrored about the handle.
  p->x = 320, p->y = 240, p->sc = -1.0f, p->al = 1.0f;
  ClearScreen();
  explode_tag::update_all();
  Box upright = gamefix::SpriteBox(bits_img, 0, 320, 240, 0);
  ASSERT_FALSE(upright.Empty());
  Box lit = gamefix::LitBox(*Screen(), 0);
  EXPECT_EQ(lit.x0, 2 * 320 - 1 - upright.x1);
  EXPECT_EQ(lit.x1, 2 * 320 - 1 - upright.x0);
  EXPECT_EQ(lit.y0, 2 * 240 - 1 - upright.y1);
  EXPECT_EQ(lit.y1, 2 * 240 - 1 - upright.y0);
}

TEST_F(ExplodeTest, ParticlesDriftDownLeftAndTheWalkSurvivesRemovals) {
  explode_tag::set(100, 100, 0, 0, 2);
  int i = 0;
  explode_list.walk([&](explode_tag& p) {
    p.al = i == 1 ? 0.01f : 2.0f;  // the middle one fades out in this walk
    p.alst = -0.02f;
    i++;
    return 0;
  });
  explode_tag::update_all();
  EXPECT_EQ(explode_list.size(), 2);
  explode_list.walk([](explode_tag& p) {
    EXPECT_EQ(p.x, 98.5f);
    EXPECT_EQ(p.y, 101.5f);
    return 0;
  });
  explode_tag::destroy_all();
  EXPECT_EQ(explode_list.size(), 0);
}

}  // namespace
