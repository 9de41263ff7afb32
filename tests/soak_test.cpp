// Soak: the real start-up and main loop, run unpaced for thousands of frames while a seeded
// random player starts games, shoots, launches fire walls, pauses and resumes, clears
// stages and loses; then the real exit sequence. Nothing may crash, quit or hang, and the
// resident memory may not creep. The long run is asked for with KELVANE_SOAK_FRAMES=N
// (KELVANE_SOAK_SEED picks another game).
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include "app/mainloop.h"
#include "app/program.h"
#include "game/globals.h"
#include "game/player.h"
#include "platform/display.h"
#include "soak_bot.h"
#include "support/temp_folder.h"
#if defined(__SANITIZE_ADDRESS__)
extern "C" void __sanitizer_purge_allocator();  // in the runtime; GCC ships no header for it
#endif

namespace {

namespace fs = std::filesystem;

const long kAllowedGrowthKb = 10 * 1024;

int fake_now = 0;
soak_bot* the_bot = nullptr;

int FakeClock() { return fake_now++; }
void FakeSleep(int ms) { fake_now += ms > 0 ? ms : 0; }
void OnPresent() { the_bot->Step(); }

// Freed blocks the allocator still holds (the sanitizer's quarantine, heap pages not yet
// handed back) are not creep; let them go before each reading so only live memory counts.
void SettleAllocator() {
#if defined(__SANITIZE_ADDRESS__)
  __sanitizer_purge_allocator();
#endif
  malloc_trim(0);
}

long ResidentKb() {
  SettleAllocator();
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

// A folder of its own holding the sounds, so the saved files land nowhere shared.
class soak_folder {
 public:
  soak_folder() {
    dir_.Enter("soak");
    CopySounds(fs::path(KELVANE_BINARY_DIR) / "data", dir_ / "data");
  }

 private:
  temp_folder dir_;
};

struct soak_figures {
  int frames = 0;
  long rss_start_kb = 0, rss_at_1000_kb = 0, rss_end_kb = 0;
};

void Report(const soak_bot& bot, const soak_figures& f) {
  std::printf("soak: %d frames, %d games, %d stages cleared, level %d reached\n", f.frames, bot.games,
              bot.stages_cleared, bot.max_level);
  for (int s = 0; s < SS_COUNT; s++)
    std::printf("soak:   %-12s entered %4d times, %6d frames\n", SoakScreenName(s), bot.entries[s], bot.frames[s]);
  std::printf("soak: resident %ld kB after start-up, %ld kB after 1000 frames, %ld kB at the end (%+ld kB)\n",
              f.rss_start_kb, f.rss_at_1000_kb, f.rss_end_kb, f.rss_end_kb - f.rss_at_1000_kb);
}

// Start-up, `frames` main-loop frames, the exit sequence; the bot plays throughout.
soak_figures RunSoak(soak_bot* bot, int frames) {
  soak_figures f;
  the_bot = bot;
  bot->AttachJoystick();
  SetClockSeam(FakeClock, FakeSleep);
  SetPresentHook(OnPresent);
  // The program starts on no screen; a run before this one in the process left its last.
  game_state = 0;
  quit_requested = 0;
  EXPECT_EQ(StartProgram(), 1);
  f.rss_start_kb = ResidentKb();
  while (f.frames < frames && !quit_requested) {
    RunFrame();
    if (++f.frames == 1000) f.rss_at_1000_kb = ResidentKb();
  }
  f.rss_end_kb = ResidentKb();
  SetPresentHook(nullptr);
  SaveAndShutdown();
  SetClockSeam(nullptr, nullptr);
  return f;
}

void ExpectSavedAndSteady(const soak_figures& f, int frames) {
  EXPECT_EQ(quit_requested, 0) << "the bot never asks to quit";
  EXPECT_EQ(f.frames, frames);
  EXPECT_EQ(fs::file_size("data/hiscore.dat"), 4u);
  EXPECT_EQ(fs::file_size("data/anaglyph3d.dat"), 4u);
  ASSERT_GT(f.rss_at_1000_kb, 0);
  EXPECT_LE(f.rss_end_kb - f.rss_at_1000_kb, kAllowedGrowthKb);
}

TEST(Soak, ThreeThousandFramesOfPlayAndPause) {
  soak_folder folder;
  soak_bot bot(static_cast<unsigned>(EnvInt("KELVANE_SOAK_SEED", 1)));
  soak_figures f = RunSoak(&bot, 3000);
  Report(bot, f);
  ASSERT_TRUE(bot.HasJoystick());
  ExpectSavedAndSteady(f, 3000);
  EXPECT_GE(bot.entries[SS_PLAY], 1);
  EXPECT_GE(bot.entries[SS_PAUSE], 1);
  EXPECT_GT(bot.frames[SS_PLAY], 1000);
}

TEST(Soak, LongRunVisitsEveryScreen) {
  int frames = EnvInt("KELVANE_SOAK_FRAMES", 0);
  if (frames <= 0) GTEST_SKIP() << "set KELVANE_SOAK_FRAMES (e.g. 30000) for the long run";
  soak_folder folder;
  soak_bot bot(static_cast<unsigned>(EnvInt("KELVANE_SOAK_SEED", 1)));
  soak_figures f = RunSoak(&bot, frames);
  Report(bot, f);
  ExpectSavedAndSteady(f, frames);
  for (int s = 0; s < SS_COUNT; s++) EXPECT_GE(bot.entries[s], 1) << SoakScreenName(s) << " never visited";
  EXPECT_GE(bot.games, 2);
}

}  // namespace
