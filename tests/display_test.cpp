// Display: opening and closing, graphics_seq, and frame pacing under a fake clock.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "platform/gl_driver.h"
#include "support/gl_test_util.h"
#include "support/proc_status.h"

namespace {

int fake_now = 0;
std::vector<int> fake_sleeps;

int FakeNow() { return fake_now; }
void FakeSleep(int ms) {
  fake_sleeps.push_back(ms);
  fake_now += ms;
}

struct DisplayTest : ::testing::Test {
  void SetUp() override {
    fake_now = 5000;
    fake_sleeps.clear();
  }
  void TearDown() override {
    CloseGraphics();
    SetClockSeam(nullptr, nullptr);
  }
};

}  // namespace

TEST(FramePacer, SixtyFramesOnTimeLastExactlyOneSecond) {
  TFramePacer pacer;
  pacer.Start(60, 1000);
  EXPECT_EQ(pacer.frame_ms, 16);
  EXPECT_EQ(pacer.frame_rem, 40);
  int now = 1000, last = 1000;
  for (int i = 0; i < 60; i++) {
    now += 4;  // the frame's own work, well inside the budget
    now += pacer.Due(now);
    EXPECT_TRUE(now - last == 16 || now - last == 17) << "frame " << i << " took " << now - last;
    last = now;
  }
  EXPECT_EQ(now - 1000, 1000);
}

TEST(FramePacer, LateFrameMovesTheSchedule) {
  TFramePacer pacer;
  pacer.Start(60, 0);
  EXPECT_EQ(pacer.Due(100), 0);
  EXPECT_EQ(pacer.next_frame_time, 100);
  int wait = pacer.Due(100);
  EXPECT_TRUE(wait == 16 || wait == 17) << wait;
}

TEST(FramePacer, SurvivesTheClockWrap) {
  TFramePacer pacer;
  int start = 2147483647 - 5;  // the 32-bit clock about to wrap
  pacer.Start(60, start);
  int wait = pacer.Due(start);
  EXPECT_TRUE(wait == 16 || wait == 17) << wait;
}

TEST(FramePacer, HertzZeroHasNoFrameLength) {
  TFramePacer pacer;
  pacer.Start(0, 0);
  EXPECT_EQ(pacer.frame_ms, 0);
}

TEST(RateTest, ThreeInRangeTrustTheDisplay) {
  TRateTest t;
  EXPECT_EQ(t.Feed(16, 60), 0);
  EXPECT_EQ(t.Feed(17, 60), 0);
  EXPECT_EQ(t.Feed(15, 60), 1);
}

TEST(RateTest, AnOutlierRestartsTheStreak) {
  TRateTest t;
  EXPECT_EQ(t.Feed(16, 60), 0);
  EXPECT_EQ(t.Feed(20, 60), 0);
  EXPECT_EQ(t.Feed(16, 60), 0);
  EXPECT_EQ(t.Feed(16, 60), 0);
  EXPECT_EQ(t.Feed(16, 60), 1);
}

TEST(RateTest, SwapsThatNeverBlockAreNotTrusted) {
  TRateTest t;
  for (int i = 0; i < 100; i++) EXPECT_EQ(t.Feed(0, 60), 0);
  EXPECT_EQ(t.Feed(14, 60), 0);
  EXPECT_EQ(t.Feed(18, 60), 0);
}

TEST_F(DisplayTest, OpenSizesAndCloseDropsThem) {
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_EQ(ScreenWidth(), 640);
  EXPECT_EQ(ScreenHeight(), 480);
  EXPECT_NE(DisplayWindow(), nullptr);
  int w, h, d, hz, flags;
  TDraw2DGraphics::Current()->GetSettings(&w, &h, &d, &hz, &flags);
  EXPECT_EQ(flags & 2, 2);  // the default flags are OR-ed in
  CloseGraphics();
  EXPECT_EQ(ScreenWidth(), 0);
  EXPECT_EQ(ScreenHeight(), 0);
  EXPECT_EQ(DisplayWindow(), nullptr);
}

TEST_F(DisplayTest, GraphicsSeqCountsOpensAndClosesSkippingZero) {
  graphics_seq = -1;  // the next increment wraps to 0, which is skipped
  ASSERT_TRUE(OpenTestDisplay());
  EXPECT_EQ(graphics_seq, 1);
  CloseGraphics();
  EXPECT_EQ(graphics_seq, 2);
}

TEST_F(DisplayTest, SecondOpenClosesTheFirst) {
  auto first = OpenTestDisplay();
  ASSERT_TRUE(first);
  int seq = graphics_seq;
  auto* first_gl = dynamic_cast<TGLGraphics*>(static_cast<TDraw2DGraphics*>(first.get())->_graphics.get());
  ASSERT_NE(first_gl, nullptr);
  EXPECT_NE(first_gl->window, nullptr);
  auto second = OpenTestDisplay();
  ASSERT_TRUE(second);
  EXPECT_EQ(first_gl->window, nullptr);
  EXPECT_EQ(graphics_seq, seq + 2);
  EXPECT_EQ(TDraw2DGraphics::Current(), second.get());
}

TEST_F(DisplayTest, ClockPacedPresentsKeepSixtyPerSecond) {
  SetClockSeam(FakeNow, FakeSleep);
  ASSERT_TRUE(OpenTestDisplay(60));
  EXPECT_EQ(IsClockPaced(), 1);
  int start = fake_now, last = fake_now;
  for (int i = 0; i < 60; i++) {
    fake_now += 3;
    FlipFrame(-1);
    EXPECT_TRUE(fake_now - last == 16 || fake_now - last == 17) << "frame " << i;
    last = fake_now;
  }
  EXPECT_EQ(fake_now - start, 1000);
}

TEST_F(DisplayTest, LateFrameIsPresentedAtOnceAndTheNextIsAFrameLater) {
  SetClockSeam(FakeNow, FakeSleep);
  ASSERT_TRUE(OpenTestDisplay(60));
  FlipFrame(-1);
  fake_sleeps.clear();
  fake_now += 50;  // a slow frame
  FlipFrame(-1);
  EXPECT_TRUE(fake_sleeps.empty());
  int presented = fake_now;
  FlipFrame(-1);
  EXPECT_TRUE(fake_now - presented == 16 || fake_now - presented == 17) << fake_now - presented;
}

TEST_F(DisplayTest, ExplicitSyncAndHertzZeroNeverSleepByTheClock) {
  SetClockSeam(FakeNow, FakeSleep);
  ASSERT_TRUE(OpenTestDisplay(60));
  FlipFrame(0);
  FlipFrame(1);
  EXPECT_TRUE(fake_sleeps.empty());
  ASSERT_TRUE(OpenTestDisplay(0));
  EXPECT_EQ(IsClockPaced(), 0);
  FlipFrame(-1);
  EXPECT_TRUE(fake_sleeps.empty());
}

// Blocks freed in the middle of the heap stay resident until the heap is told to let
// them go; paced presents do that while they wait.
TEST_F(DisplayTest, PacedPresentsHandFreedHeapBack) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its pages its own way";
#endif
  SetClockSeam(FakeNow, FakeSleep);
  ASSERT_TRUE(OpenTestDisplay(60));
  const size_t kBlock = 64 << 10;
  std::vector<char*> blocks;
  for (int i = 0; i < 512; i++) {
    blocks.push_back(static_cast<char*>(std::malloc(kBlock)));
    std::memset(blocks.back(), 1, kBlock);
    asm volatile("" : : "r"(blocks.back()) : "memory");  // the pages must really be touched
  }
  char* pin = blocks.back();  // the last one made stays, so the heap cannot just shrink
  blocks.pop_back();
  for (char* b : blocks) std::free(b);
  long before = AnonymousKb();
  for (int i = 0; i < 60; i++) {
    fake_now += 3;
    FlipFrame(-1);
  }
  long after = AnonymousKb();
  std::free(pin);
  EXPECT_GT(before - after, 16 * 1024) << before << " kB before, " << after << " kB after";
}

TEST_F(DisplayTest, SleepMillisNegativeReturnsAtOnce) {
  SetClockSeam(FakeNow, FakeSleep);
  SleepMillis(-5);
  EXPECT_TRUE(fake_sleeps.empty());
  SleepMillis(7);
  ASSERT_EQ(fake_sleeps.size(), 1u);
  EXPECT_EQ(fake_sleeps[0], 7);
}

// Without a vertical blank (headless) the one-second rate test fails and the clock paces.
TEST_F(DisplayTest, FullScreenWithoutVerticalBlankFallsBackToTheClock) {
  int t0 = ClockMillis();
  ASSERT_TRUE(OpenGraphics(640, 480, 32, 60, 2));
  int spent = ClockMillis() - t0;
  EXPECT_EQ(IsClockPaced(), 1);
  EXPECT_GE(spent, 1000);
  EXPECT_EQ(ScreenWidth(), 640);
  EXPECT_EQ(ScreenHeight(), 480);
  // Whatever size the full-screen window got, the picture still reads back at 640x480.
  SetClearColor(0, 0, 255);
  ClearScreen();
  EXPECT_TRUE(SameRgb(ScreenPixel(639, 479), 0, 0, 255));
}

// A red square presented, then read back after the present.
static void PresentASquareAndReadItBack() {
  SetClearColor(0, 0, 0);
  ClearScreen();
  SetBlendMode(2);
  SetDrawColor(200, 40, 10);
  FillRect(100, 100, 20, 20);
  FlipFrame(0);
  EXPECT_TRUE(SameRgb(ScreenPixel(110, 110), 200, 40, 10));
  EXPECT_TRUE(SameRgb(ScreenPixel(90, 90), 0, 0, 0));
}

// A single buffer drawn straight would show frames half done, so it keeps a picture.
static std::shared_ptr<TGraphics> OpenSingleBufferedDisplay() {
  SetDefaultGraphicsFlags(0);
  auto opened = OpenTestDisplay();
  SetDefaultGraphicsFlags(2);
  return opened;
}

// Both ways of showing a frame: straight in the window where it can, else a picture.
TEST_F(DisplayTest, LastPresentedFrameStaysReadable) {
  ASSERT_TRUE(OpenTestDisplay());
  PresentASquareAndReadItBack();
  ASSERT_TRUE(OpenSingleBufferedDisplay());
  ASSERT_NE(GLCurrentGraphics()->fbo, 0u);
  PresentASquareAndReadItBack();
}

// A double-buffered window of the picture's own size is drawn into straight, and what it
// showed must still read back after the present (the pause backdrop is taken then).
// When the window is resized, the frame in progress moves into a scaled picture.
TEST_F(DisplayTest, StraightDrawnWindowKeepsItsFrameAndMovesIntoAPictureWhenResized) {
  ASSERT_TRUE(OpenTestDisplay());
  TGLGraphics* g = GLCurrentGraphics();
  if (!g->straight) GTEST_SKIP() << "this video driver's back buffer does not survive a present";
  EXPECT_EQ(g->fbo, 0u);
  PresentASquareAndReadItBack();

  SetDrawColor(10, 220, 30);
  FillRect(600, 0, 40, 10);  // the top right corner, far from the old bottom-left origin
  SDL_SetWindowSize(DisplayWindow(), 1280, 600);
  int dw, dh;
  SDL_GL_GetDrawableSize(DisplayWindow(), &dw, &dh);
  if (dw == 640 && dh == 480) GTEST_SKIP() << "the video driver kept the window's size";
  FlipFrame(0);
  EXPECT_EQ(g->straight, 0);
  EXPECT_NE(g->fbo, 0u);
  EXPECT_TRUE(SameRgb(ScreenPixel(110, 110), 200, 40, 10));
  EXPECT_TRUE(SameRgb(ScreenPixel(620, 5), 10, 220, 30));
  SetClearColor(0, 0, 255);
  ClearScreen();
  EXPECT_TRUE(SameRgb(ScreenPixel(639, 479), 0, 0, 255));
}

// An off-screen surface's swap shows nothing and submits nothing; the present must.
TEST_F(DisplayTest, StraightDrawnFramesDoNotPileUp) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer holds freed memory back, so resident memory grows anyway";
#endif
  ASSERT_TRUE(OpenTestDisplay());
  if (!GLCurrentGraphics()->straight) GTEST_SKIP() << "this video driver's back buffer does not survive a present";
  auto frames = [](int n) {
    for (int f = 0; f < n; f++) {
      ClearScreen();
      for (int i = 0; i < 200; i++) FillRect(i * 3 % 600, i * 7 % 440, 40, 40);
      FlipFrame(0);
    }
  };
  frames(300);  // the driver's pools reach their working size first
  long before = AnonymousKb();
  frames(600);
  long after = AnonymousKb();
  EXPECT_LT(after - before, 8 * 1024) << before << " kB before, " << after << " kB after";
}

TEST_F(DisplayTest, SingleBufferedWindowKeepsItsPicture) {
  ASSERT_TRUE(OpenSingleBufferedDisplay());
  EXPECT_EQ(GLCurrentGraphics()->straight, 0);
  EXPECT_NE(GLCurrentGraphics()->fbo, 0u);
}

TEST_F(DisplayTest, PointerMapsThroughTheLetterbox) {
  ASSERT_TRUE(OpenTestDisplay());
  SDL_SetWindowSize(DisplayWindow(), 1280, 600);  // wider than 4:3: bars left and right
  int ww, wh;
  SDL_GetWindowSize(DisplayWindow(), &ww, &wh);
  if (ww != 1280 || wh != 600) GTEST_SKIP() << "the video driver kept the window at " << ww << "x" << wh;
  int px, py, wx, wy;
  WindowToPicture(240, 0, &px, &py);  // picture is 800x600 at x 240
  EXPECT_EQ(px, 0);
  EXPECT_EQ(py, 0);
  WindowToPicture(1039, 599, &px, &py);
  EXPECT_EQ(px, 639);
  EXPECT_EQ(py, 479);
  WindowToPicture(10, 300, &px, &py);  // in the bar: held to the picture's edge
  EXPECT_EQ(px, 0);
  PictureToWindow(320, 240, &wx, &wy);
  EXPECT_EQ(wx, 640);
  EXPECT_EQ(wy, 300);
}

TEST_F(DisplayTest, NoVideoDeviceGivesNothingAndNoCrash) {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  const char* old = std::getenv("SDL_VIDEODRIVER");
  std::string saved = old ? old : "";
  setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
  int seq = graphics_seq;
  EXPECT_EQ(OpenGraphics(640, 480, 0, 60, 0), nullptr);
  EXPECT_EQ(graphics_seq, seq);
  EXPECT_EQ(ScreenWidth(), 0);
  if (old) setenv("SDL_VIDEODRIVER", saved.c_str(), 1); else unsetenv("SDL_VIDEODRIVER");
}
