// A whole game through the real main loop, driven only by key and mouse events: the title,
// a cleared first stage, every ship lost, the statistics, the title again and the exit,
// with the best score saved as reached. Also what pausing does to a stage in progress.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include "app/mainloop.h"
#include "app/program.h"
#include "game/globals.h"
#include "game/player.h"
#include "game/virus.h"
#include "platform/display.h"
#include "platform/draw.h"
#include "platform/input.h"
#include "platform/random.h"
#include "support/temp_folder.h"
#include "synthetic_input.h"

namespace {

namespace fs = std::filesystem;

int fake_now = 0;
int FakeClock() { return fake_now++; }  // every look at it takes a millisecond
void FakeSleep(int ms) { fake_now += ms > 0 ? ms : 0; }

using synthetic::PushKey;
using synthetic::TapKey;

// With KELVANE_SHOTS=DIR set, the play-through leaves pictures of its screens there (PPM).
void Snapshot(const char* name) {
  const char* dir = std::getenv("KELVANE_SHOTS");
  if (!dir) return;
  std::shared_ptr<TPixmap> pix = GrabPixmap(0, 0, 640, 480);
  std::ofstream out(std::string(dir) + "/" + name + ".ppm", std::ios::binary);
  out << "P6\n640 480\n255\n";
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) out.write(reinterpret_cast<const char*>(pix->PixelPtr(x, y)), 3);
}

void SnapshotScreens(bool busiest_yet) {
  if (game_state == GS_PLAYING && stage_phase == 0 && phase_timer == 100 && player.level == 1) Snapshot("get_ready");
  if (busiest_yet) Snapshot("running");
  if (game_state == GS_PLAYING && stage_phase == 2 && phase_timer == 160) Snapshot("stage_clear");
  if (game_state == GS_SHIP_LOST && phase_timer == 40) Snapshot("ship_lost");
  if (game_state == GS_GAME_OVER && phase_timer == 260) Snapshot("game_over");
}

// The game runs in a scratch folder of its own with the sounds beside it, so the files it
// saves are this test's, and the clock is a counter, so frames are not paced.
class WholeGameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    windowed_before = std::getenv("KELVANE_WINDOWED") != nullptr;
    setenv("KELVANE_WINDOWED", "1", 1);  // a plain 640x480 window: no scaling to a desktop
    ASSERT_TRUE(made.Enter("game"));
    folder = made.path();
    CopySounds(fs::path(KELVANE_SOURCE_DIR) / "data", folder / "data");
    SetClockSeam(FakeClock, FakeSleep);
    StartProgram();
    SeedRandom(20240611);
  }
  static void TearDownTestSuite() {
    SetClockSeam(nullptr, nullptr);
    made.Remove();
    if (!windowed_before) unsetenv("KELVANE_WINDOWED");
  }

  static int SavedBestScore() {
    std::ifstream in(folder / "data" / "hiscore.dat", std::ios::binary);
    unsigned char b[4] = {};
    in.read(reinterpret_cast<char*>(b), 4);
    if (in.gcount() != 4) return -1;
    return b[0] | b[1] << 8 | b[2] << 16 | b[3] << 24;
  }

  // Each case starts on the title screen, as the program does.
  void SetUp() override {
    if (game_state != GS_TITLE) {
      game_state = GS_TITLE;
      if (music_channel) music_channel->Stop();
    }
  }

  // Start Game from the title: the pointer rests on the first row.
  void StartFromTitle() {
    ASSERT_EQ(game_state, GS_TITLE);
    MoveMouse(320, 265);
    PollSystem();
    synthetic::ClickMouse();
    RunFrame();
    ASSERT_EQ(game_state, GS_PLAYING);
  }

  static inline temp_folder made;
  static inline fs::path folder;
  static inline bool windowed_before = false;
};

// Where the ship meets the track of the next virus coming down: its x + y is kept along
// a diagonal, and the ship's x + y moves by 5.5 a step.
int TrackOfNextVirus() {
  int track = -1;
  float lowest = -1e9f;
  virus_list.walk([&](virus_tag& v) {
    if (v.typ >= 1 && v.typ <= 4 && v.y > lowest && v.y < player.y) {
      lowest = v.y;
      track = static_cast<int>(v.x + v.y);
    }
    return 0;
  });
  return track;
}

// Per frame: shoot (and sweep with fire walls) through stage 1, then steer into the viruses.
void Play(int frame, bool hunting) {
  static bool left = false, right = false;
  bool want_left = false, want_right = false;
  if (!hunting) {
    if (frame % 2 == 0) TapKey(SDL_SCANCODE_LCTRL);
    bool close = false;
    virus_list.walk([&](virus_tag& v) {
      float dx = v.x - player.x, dy = v.y - player.y;
      if (v.typ >= 1 && v.typ <= 4 && dx * dx + dy * dy < 110 * 110) close = true;
      return 0;
    });
    if (close && !firewall_active) TapKey(SDL_SCANCODE_LALT);
  } else if (int track = TrackOfNextVirus(); track >= 0) {
    float ship = player.x + player.y;
    want_right = track > ship + 3;
    want_left = track < ship - 3;
  }
  if (want_left != left) PushKey(SDL_SCANCODE_LEFT, want_left);
  if (want_right != right) PushKey(SDL_SCANCODE_RIGHT, want_right);
  left = want_left;
  right = want_right;
}

TEST_F(WholeGameTest, PausingDuringGetReadyKeepsTheFramesThatWereLeft) {
  StartFromTitle();
  for (int f = 0; f < 60; f++) RunFrame();
  ASSERT_EQ(stage_phase, 0);
  TapKey(SDL_SCANCODE_SPACE);
  RunFrame();  // this frame still plays; the pause starts after it
  ASSERT_EQ(game_state, GS_PAUSED);
  const int left = 200 - phase_timer;
  for (int f = 0; f < 240; f++) RunFrame();  // four seconds
  EXPECT_EQ(200 - phase_timer, left);
  EXPECT_EQ(game_state, GS_PAUSED);
  TapKey(SDL_SCANCODE_SPACE);
  RunFrame();  // a paused frame; Space resumes after it
  ASSERT_EQ(game_state, GS_PLAYING);
  int frames = 0;
  while (stage_phase == 0 && frames < 1000) {
    RunFrame();
    frames++;
  }
  EXPECT_EQ(frames, left);
}

TEST_F(WholeGameTest, AVirusStandsStillThroughThePause) {
  StartFromTitle();
  while (virus_list.empty()) RunFrame();
  RunFrame();
  std::shared_ptr<virus_tag> v;
  virus_list.walk([&v](virus_tag& it) {
    v = it.lnk->value;
    return 1;
  });
  ASSERT_TRUE(v);
  TapKey(SDL_SCANCODE_ESCAPE);
  RunFrame();
  ASSERT_EQ(game_state, GS_PAUSED);
  const float x = v->x, y = v->y;
  for (int f = 0; f < 120; f++) RunFrame();
  EXPECT_EQ(v->x, x);
  EXPECT_EQ(v->y, y);
  TapKey(SDL_SCANCODE_SPACE);
  RunFrame();
  ASSERT_EQ(game_state, GS_PLAYING);
  EXPECT_EQ(v->x, x);
  RunFrame();  // the first frame after resuming moves it one step on
  EXPECT_EQ(v->x, x - 1.5f);
  EXPECT_EQ(v->y, y + 1.5f);
}

// Last: it ends the program's run.
TEST_F(WholeGameTest, TitleToStatisticsAndBackWithTheBestScoreSaved) {
  StartFromTitle();
  int best_seen = player.best_sc, ships_lost = 0, stats_frames = 0, frame = 0;
  bool cleared = false;
  int busiest = 12;
  while (game_state != GS_TITLE && frame < 40000) {
    if (game_state == GS_PLAYING && stage_phase == 2) {
      cleared = true;
      TapKey(SDL_SCANCODE_LCTRL);  // thrown away until the prompt shows
    } else if (game_state == GS_PLAYING) {
      Play(frame, player.level > 1);
    } else if (game_state == GS_GAME_OVER) {
      stats_frames++;
      TapKey(SDL_SCANCODE_RETURN);
    }
    int state = game_state;
    RunFrame();
    if (state == GS_PLAYING && (game_state == GS_SHIP_LOST || game_state == GS_GAME_OVER)) ships_lost++;
    if (player.score > best_seen) best_seen = player.score;
    bool busier = game_state == GS_PLAYING && stage_phase == 1 && virus_list.size() > busiest;
    if (busier) busiest = virus_list.size();
    SnapshotScreens(busier);
    frame++;
    ASSERT_EQ(quit_requested, 0);
  }
  ASSERT_EQ(game_state, GS_TITLE) << "the game did not end within " << frame << " frames";
  RecordProperty("frames", frame);
  EXPECT_TRUE(cleared);
  EXPECT_GE(player.level, 2);
  EXPECT_EQ(ships_lost, 3);
  EXPECT_EQ(stats_frames, 250);  // the statistics wait, then the first Enter
  EXPECT_GE(pcs_recovered + pc_recovery_errors + pcs_destroyed, 1);
  EXPECT_GT(best_seen, 0);
  EXPECT_EQ(player.best_sc, best_seen);

  TapKey(SDL_SCANCODE_ESCAPE);  // Escape on the title ends the program
  RunFrame();
  ASSERT_EQ(quit_requested, 1);
  SaveAndShutdown();
  EXPECT_EQ(SavedBestScore(), best_seen);
}

}  // namespace
