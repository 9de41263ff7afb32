// What the playing screen draws: every sprite with the design's image, frame, place,
// colour, alpha, blend, turn and scale (and each eye's copy in stereo), and the order of
// the steps in each phase of a stage.
#include <functional>
#include "support/draw_calls.h"
#include "support/screens_fixture.h"

namespace screens_test {
namespace {

using drawcalls::recorder;
using gamefix::RefRandom;

class Frames : public ScreensTest {
 public:
  // The next case of a table starts as a test does.
  void Fresh() {
    TearDown();
    SetUp();
  }
  std::shared_ptr<explode_tag> AddParticle(float x, float y, float al, float sc, int fr) {
    explode_tag::set(x, y, fr, 0, 0);
    auto p = LastOf(explode_list);
    p->al = al, p->sc = sc, p->alst = -0.03f;
    return p;
  }
};

// A plain draw as its line (and as it reads in stereo, where what the stereo drawing before
// it left shows), or a stereo-capable draw (i3d) with the game's separation 6 and 2 passes.
struct drawn {
  std::string line, line_in_stereo;
  drawcalls::pair_draw pair;
};
drawn Plain(const std::string& line, const std::string& in_stereo = "") {
  return {line, in_stereo.empty() ? line : in_stereo, {}};
}
drawn Pair(const std::string& what, float x, float y, const std::string& rgb, const std::string& alpha, int blend,
           const std::string& turn_scale) {
  return {"", "", {what, x, y, rgb, alpha, blend, turn_scale, 6, 2}};
}

struct sprite_case {
  const char* what;
  std::function<void(Frames&)> draw;
  std::vector<drawn> want;
};

TEST_F(Frames, EachSpriteIsDrawnAsDesignedPlainAndInStereo) {
  const std::string glow = drawcalls::Num(static_cast<float>(RefRandom(kSeed).Real(0.4, 1.0)));
  const sprite_case cases[] = {
      {"ship, still", [](Frames&) { player.update(); },
       {Plain("ship#0 260,340 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("ship#0", 240, 320, "255,255,255", "1", 1, "r0 s1")}},
      {"ship with both side-kicks, moving down-right, second animation phase",
       [](Frames& t) {
         player.skick = 2, player.fctr = 1;
         t.PressRight();
         player.update();
       },
       {Plain("ship#4 218,302.5 rgb10,10,10 a0.8 b3 r0 s0.6"), Pair("ship#5", 198, 282.5, "255,255,255", "1", 1, "r0 s0.8"),
        Plain("ship#4 263,342.5 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("ship#5", 243, 322.5, "255,255,255", "1", 1, "r0 s1"),
        Plain("ship#4 308,382.5 rgb10,10,10 a0.8 b3 r0 s0.6"), Pair("ship#5", 288, 362.5, "255,255,255", "1", 1, "r0 s0.8")}},
      {"ship with one side-kick, moving up-left",
       [](Frames& t) {
         player.skick = 1;
         t.PressLeft();
         player.update();
       },
       {Plain("ship#2 212,297.5 rgb10,10,10 a0.8 b3 r0 s0.6"), Pair("ship#2", 192, 277.5, "255,255,255", "1", 1, "r0 s0.8"),
        Plain("ship#2 257,337.5 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("ship#2", 237, 317.5, "255,255,255", "1", 1, "r0 s1")}},
      {"fire wall in flight, after the ship, in the colour the ship left",
       [](Frames&) {
         firewall_active = 1, firewall_x = 100, firewall_y = 380;
         player.update();
       },
       {Plain("ship#0 260,340 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("ship#0", 240, 320, "255,255,255", "1", 1, "r0 s1"),
        Plain("firewall#0 110,370 rgb255,255,255 a1 b4 r0 s1", "firewall#0 110,370 rgb140,4,10 a1 b4 r0 s1")}},
      {"shot: a blue halo under a smaller white core", [](Frames& t) { t.AddShot(100, 200), pshot_tag::update_all(); },
       {Pair("bits#0", 108, 192.5, "10,150,200", "1", 4, "r0 s1"), Pair("bits#0", 108, 192.5, "255,255,255", "1", 4, "r0 s0.8")}},
      {"particle: its frame, alpha and scale, additive",
       [](Frames& t) { t.AddParticle(50, 60, 1.7f, 0.9f, 2), explode_tag::update_all(); },
       {Pair("bits#2", 50, 60, "255,255,255", "1.7", 4, "r0 s0.9")}},
      {"single virus in its second frame", [](Frames& t) { t.AddVirus(4, 300, 100, 1, 1.0f)->fctr = 1, virus_tag::update_all(); },
       {Plain("virus#1 318.5,121.5 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("virus#1", 298.5, 101.5, "255,255,255", "1", 1, "r0 s1")}},
      {"line virus", [](Frames& t) { t.AddVirus(1, 300, 100, 1, 1.0f), virus_tag::update_all(); },
       {Plain("virus#0 318.5,121.5 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("virus#0", 298.5, 101.5, "255,255,255", "1", 1, "r0 s1")}},
      {"large virus", [](Frames& t) { t.AddVirus(2, 300, 100, 6, 1.5f), virus_tag::update_all(); },
       {Plain("virus#0 318.5,121.5 rgb10,10,10 a0.8 b3 r0 s1.3"), Pair("virus#0", 298.5, 101.5, "255,255,255", "1", 1, "r0 s1.5")}},
      {"CPU marker: plain, turned 45 degrees", [](Frames& t) { t.AddVirus(5, 600, 100, 0, 0), virus_tag::update_all(); },
       {Plain("cpu#0 599,101 rgb255,255,255 a1 b1 r45 s1.5")}},
      {"capsule: a shadow, the small ship, a glow of random strength",
       [](Frames& t) { t.AddVirus(6, 300, 100, 0, 1.0f), virus_tag::update_all(); },
       {Plain("bits#4 318.5,121.5 rgb10,10,10 a0.8 b3 r0 s0.8"), Pair("virus#2", 298.5, 101.5, "255,255,255", "1", 1, "r0 s1"),
        Pair("bits#4", 302.5, 103.5, "255,255,255", glow, 4, "r0 s3")}},
  };
  for (int stereo : {0, 3}) {
    for (const sprite_case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << (stereo ? ", in stereo" : ""));
      Fresh();
      stereo_mode = stereo;
      twdraw.slc(4, 80, 60, 140, 4, 10);
      waves_spawned = waves_per_stage + 1;  // nothing spawns
      SetDrawColor(1, 2, 3), SetDrawAlpha(0.5f), SetDrawTransform(7, 2, 2), SetBlendMode(5);  // each sets what it needs
      std::vector<std::string> want;
      for (const drawn& d : c.want) {
        if (d.line.empty()) drawcalls::AddDrawn(d.pair, stereo, &want);
        else want.push_back(stereo ? d.line_in_stereo : d.line);
      }
      recorder rec;
      c.draw(*this);
      EXPECT_EQ(rec.Lines(), want);
    }
  }
  stereo_mode = 0;
}

// The glow's alpha is the frame's first random draw; the burst of a hit in the same frame comes after it.
TEST_F(Frames, CapsuleGlowFlickersWithTheFirstRandomDrawOfItsFrame) {
  waves_spawned = waves_per_stage + 1;
  AddVirus(6, 300, 100, 0, 1.0f);
  AddVirus(4, 500, 100, 1, 1.0f);
  AddShot(498.5f, 101.5f);
  RefRandom ref(kSeed);
  float glow = static_cast<float>(ref.Real(0.4, 1.0));
  int burst_frame = TruncToInt(ref.Real(0, 4));
  recorder rec;
  virus_tag::update_all();
  ASSERT_GE(rec.calls.size(), 3u);
  EXPECT_EQ(rec.Lines()[0], "bits#4 318.5,121.5 rgb10,10,10 a0.8 b3 r0 s0.8");
  EXPECT_EQ(rec.Lines()[1], "virus#2 298.5,101.5 rgb255,255,255 a1 b1 r0 s1");
  EXPECT_EQ(rec.Lines()[2], "bits#4 302.5,103.5 rgb255,255,255 a" + drawcalls::Num(glow) + " b4 r0 s3");
  ASSERT_EQ(explode_list.size(), 51);
  EXPECT_EQ(LastOf(explode_list)->fr, burst_frame);
}

struct order_case {
  int phase;
  std::vector<std::string> want;
  int virus_moves, particle_moves;
};

// Get ready: the text, the ship, then its shots; viruses and particles wait undrawn.
// Running: viruses, shots, the ship, particles.
TEST_F(Frames, PlayingScreenStepsComeInTheDesignedOrder) {
  const order_case cases[] = {
      {0, {"'Get Ready!!'", "ship#0", "ship#0", "bits#0", "bits#0"}, 0, 0},
      {1, {"virus#0", "virus#0", "bits#0", "bits#0", "ship#0", "ship#0", "bits#3"}, 1, 1},
  };
  for (const order_case& c : cases) {
    SCOPED_TRACE(c.phase);
    Fresh();
    waves_spawned = waves_per_stage + 1;
    stage_phase = c.phase;
    auto v = AddVirus(4, 600, 100, 1, 1.0f);
    auto p = AddParticle(100, 100, 2.0f, 1.0f, 3);
    AddShot(300, 300);
    recorder rec;
    Frame();
    EXPECT_EQ(rec.Whats(), c.want);
    EXPECT_EQ(v->x, 600 - 1.5f * c.virus_moves);
    EXPECT_EQ(p->x, 100 - 1.5f * c.particle_moves);
    EXPECT_EQ(LastOf(pshot_list)->x, 308);
  }
}

// A shot fired during get ready is moved and drawn in the frame it was fired; in a running
// stage it is first tested against the viruses where it was made.
TEST_F(Frames, AShotFiredInGetReadyFliesAtOnce) {
  stage_phase = 0;
  TapFire();
  recorder rec;
  Frame();
  ASSERT_EQ(pshot_list.size(), 1);
  EXPECT_EQ(LastOf(pshot_list)->x, 254);
  EXPECT_EQ(rec.Whats(), (std::vector<std::string>{"'Get Ready!!'", "ship#0", "ship#0", "bits#0", "bits#0"}));
  Fresh();
  stage_phase = 1;
  waves_spawned = waves_per_stage + 1;
  TapFire();
  Frame();
  ASSERT_EQ(pshot_list.size(), 1);
  EXPECT_EQ(LastOf(pshot_list)->x, 246);
}

// A virus a shot destroys is still below a sweeping wall: the wall destroys it again in
// the same frame, counting and scoring it twice (never above the count found).
TEST_F(Frames, AShotAndTheFireWallBothDestroyAVirusInOneFrame) {
  stage_phase = 1;
  waves_spawned = waves_per_stage + 1;
  viruses_found = 5;
  firewall_active = 1, firewall_y = 50;
  AddVirus(4, 301.5f, 98.5f, 1, 1.0f);
  AddShot(300, 100);
  Frame();
  EXPECT_EQ(player.score, 50);
  EXPECT_EQ(viruses_destroyed, 2);
  EXPECT_EQ(explode->cues, 1);  // the wall makes no sound
  EXPECT_EQ(explode_list.size(), 2 * 51 + 6);  // two bursts, and the wall's sparks
  EXPECT_TRUE(virus_list.empty());
}

struct text_case {
  const char* what;
  std::function<void()> set;
  std::vector<std::pair<std::string, std::pair<float, float>>> texts;  // each centred on its point
};

// Every text of the in-game screens stands centred on its point, lilac, alpha-blended, at scale 1.
TEST_F(Frames, ScreenTextsStandCentredInTheirStyle) {
  const text_case cases[] = {
      {"get ready", [] { stage_phase = 0; }, {{"Get Ready!!", {320, 220}}}},
      {"a stage fully cleared", [] { stage_phase = 2, phase_timer = 150, viruses_found = viruses_destroyed = 30; },
       {{"Stage Clear!!", {320, 80}},
        {"----------------------", {320, 100}},
        {"Kelvane Cleaned 30 of 30 Bugs", {320, 180}},
        {"PC 100% Disinfected! Bonus 5000 Pts", {320, 230}},
        {"Complete Recovery - Go Kelvane!!", {320, 280}},
        {"Press Fire To Continue", {320, 380}}}},
      {"a stage three quarters cleared",
       [] { stage_phase = 2, phase_timer = 10, viruses_found = 120, viruses_destroyed = 95; },
       {{"Stage Clear!!", {320, 80}},
        {"----------------------", {320, 100}},
        {"Kelvane Cleaned 95 of 120 Bugs", {320, 180}},
        {"PC 75% Disinfected Bonus 1875 Pts", {320, 230}},
        {"PC Is Destroyed - No Recovery", {320, 280}}}},
      {"the statistics",
       [] {
         game_state = GS_GAME_OVER, phase_timer = 0;
         pcs_recovered = 1, pc_recovery_errors = 2, pcs_destroyed = 3, shots_fired = 4, firewalls_launched = 5;
         total_viruses_found = 6, total_viruses_destroyed = 7;
       },
       {{"Kelvane Destroyed", {320, 80}},
        {"Total PC's Recovered: 1", {320, 150}},
        {"Total PC Recovery Errors: 2", {340, 170}},
        {"Total PC's Destroyed: 3", {320, 190}},
        {"Total Shots Fired: 4", {320, 250}},
        {"Total Fire Walls Launched: 5", {320, 270}},
        {"Total Viruses Found: 6", {320, 290}},
        {"Total Viruses Destroyed: 7", {320, 310}},
        {"Game Over", {320, 400}}}},
  };
  for (const text_case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    c.set();
    player.x = -500;  // the ship out of the way of the texts
    recorder rec;
    Frame();
    std::vector<std::string> want, got;
    for (const auto& t : c.texts)
      want.push_back("'" + t.first + "' " + drawcalls::CentredAt(t.first, t.second.first, t.second.second) +
                     " rgb200,200,250 a1 b3 r0 s1");
    for (const TDrawCall& d : rec.calls)
      if (d.kind == DC_TEXT) got.push_back(drawcalls::Line(d));
    EXPECT_EQ(got, want);
  }
}

// The ship's two pictures take turns every two frames, from the still one.
TEST_F(Frames, ShipAnimatesEveryTwoFrames) {
  std::vector<std::string> shown;
  for (int f = 0; f < 6; f++) {
    recorder rec;
    player.update();
    shown.push_back(rec.Whats().back());
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"ship#0", "ship#0", "ship#1", "ship#1", "ship#0", "ship#0"}));
}

}  // namespace
}  // namespace screens_test
