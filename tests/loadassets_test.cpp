// Asset loading and the splash: sprites cut from the sheet through the back buffer,
// handles, fonts and sounds; the splash's length in frames and its skip inputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/assets.h"
#include "app/menu.h"
#include "app/splash.h"
#include "platform/font.h"
#include "platform/sound.h"
#include "support/app_fixture.h"
#include "support/draw_calls.h"
#include "support/gl_test_util.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using appfix::PixelAt;
using appfix::Rgb;

namespace {

// Runs each test in an empty folder, so no sound file is found unless a test puts one there.
class LoadAssetsTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(folder_.Enter("assets"));
    SetMenuVocabulary();
  }
  void TearDown() override {
    folder_.Remove();
    AppFixture::TearDown();
  }
  void LoadAll() {
    CreateBlankImages();
    LoadAssets();
  }

  // Every pixel of the cut frame against the picture decoded straight from its PNG: black
  // (and anything beyond the picture or the screen) transparent, the rest unchanged.
  static void ExpectCut(const std::shared_ptr<TImage>& img, int frame, const TPixmap& sheet, int sx, int sy) {
    ASSERT_TRUE(img);
    std::shared_ptr<TPixmap> cut = img->Lock(frame, 1, 0)->Convert(PF_RGBA8888);
    ASSERT_EQ(cut->width, img->width);
    ASSERT_EQ(cut->height, img->height);
    int wrong = 0;
    for (int y = 0; y < cut->height; y++) {
      for (int x = 0; x < cut->width; x++) {
        int px = sx + x, py = sy + y;
        Rgb want{0, 0, 0};
        if (px < sheet.width && py < sheet.height && px < 640 && py < 480) want = PixelAt(sheet, px, py);
        const uint8_t* got = cut->PixelPtr(x, y);
        int transparent = want == Rgb{0, 0, 0};
        if (transparent ? got[3] != 0 : (got[3] != 255 || !(PixelAt(*cut, x, y) == want))) {
          if (wrong++ < 5) ADD_FAILURE() << "frame " << frame << " pixel " << x << "," << y;
        }
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  static std::shared_ptr<TPixmap> Decoded(const char* name) {
    std::shared_ptr<TPixmap> pm = LoadPixmapPng(std::string("incbin::") + name);
    EXPECT_TRUE(pm) << name;
    return pm ? pm->Convert(PF_RGB888) : nullptr;
  }

  static void ExpectShape(const std::shared_ptr<TImage>& img, int w, int h, int frames, float hx, float hy) {
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, w);
    EXPECT_EQ(img->height, h);
    EXPECT_EQ(img->CountFrames(), frames);
    EXPECT_FLOAT_EQ(img->handle_x, hx);
    EXPECT_FLOAT_EQ(img->handle_y, hy);
    EXPECT_TRUE(img->flags & IMG_MASKED);
  }

  temp_folder folder_;
};

TEST_F(LoadAssetsTest, BlankImagesHaveTheirSizesAndHandles) {
  CreateBlankImages();
  ExpectShape(pause_backdrop, 640, 480, 1, 0, 0);
  ExpectShape(board_img, 320, 213, 2, 0, 0);  // centred only after the cut
  ExpectShape(cpu_img, 454, 126, 1, 227, 63);
  ExpectShape(logo_img, 458, 122, 1, 229, 61);
  ExpectShape(ship_img, 70, 60, 6, 35, 30);
  ExpectShape(bits_img, 30, 20, 5, 15, 10);
  ExpectShape(virus_img, 54, 33, 3, 27, 16.5f);
  // The automatic centre handle is off again afterwards.
  EXPECT_FLOAT_EQ(CreateBlankImage(10, 10, 1, -1)->handle_x, 0);
}

TEST_F(LoadAssetsTest, SpritesMatchTheSheet) {
  LoadAll();
  std::shared_ptr<TPixmap> sheet = Decoded("kelvane_sf01.png");
  ASSERT_TRUE(sheet);
  for (int i = 0; i < 6; i++) ExpectCut(ship_img, i, *sheet, 1 + 71 * i, 1);
  for (int i = 0; i < 3; i++) ExpectCut(virus_img, i, *sheet, 429 + 55 * i, 1);
  for (int i = 0; i < 5; i++) ExpectCut(bits_img, i, *sheet, 429 + 31 * i, 37);
  ExpectCut(logo_img, 0, *sheet, 1, 280);
  ExpectCut(board_img, 0, *sheet, 0, 64);
  ExpectCut(cpu_img, 0, *sheet, 324, 64);
}

TEST_F(LoadAssetsTest, SecondBoardFrameIsTheDarkerPicture) {
  LoadAll();
  std::shared_ptr<TPixmap> board = Decoded("kelvane_sf02.png");
  ASSERT_TRUE(board);
  ExpectCut(board_img, 1, *board, 0, 0);
}

// The rectangle runs past the sheet and past the screen: only the heat sink is solid.
TEST_F(LoadAssetsTest, HeatSinkIsTransparentOutsideItsCorner) {
  LoadAll();
  std::shared_ptr<TPixmap> cut = cpu_img->Lock(0, 1, 0)->Convert(PF_RGBA8888);
  int solid_outside = 0, solid_inside = 0;
  for (int y = 0; y < cut->height; y++)
    for (int x = 0; x < cut->width; x++) {
      int solid = cut->PixelPtr(x, y)[3] != 0;
      if (x < 130 && y < 62) solid_inside += solid;
      else solid_outside += solid;
    }
  EXPECT_EQ(solid_outside, 0);
  EXPECT_GT(solid_inside, 0);
}

TEST_F(LoadAssetsTest, HandlesAreCentredWhereTheGameDrawsByCentre) {
  LoadAll();
  ExpectShape(cpu_img, 454, 126, 1, 227, 63);
  ExpectShape(board_img, 320, 213, 2, 160, 106.5f);
  ExpectShape(firewall_img, 525, 461, 1, 262.5f, 230.5f);
  ExpectShape(pointer_img, 18, 18, 1, 0, 0);
}

TEST_F(LoadAssetsTest, FireWallIsThePictureWithBlackTransparent) {
  LoadAll();
  std::shared_ptr<TPixmap> flames = Decoded("kelvane_sf03.png");
  ASSERT_TRUE(flames);
  ExpectCut(firewall_img, 0, *flames, 0, 0);
}

TEST_F(LoadAssetsTest, GameFontIsLoadedAndSelected) {
  LoadAll();
  ASSERT_TRUE(game_font);
  EXPECT_EQ(MeasureTextHeight(), game_font->Height());
  EXPECT_NE(MeasureTextHeight(), 16);  // not the built-in font
}

// Nothing is left for the GL driver to build the first time it is drawn in play.
TEST_F(LoadAssetsTest, EverySpriteAndGlyphHasItsTextureBeforePlay) {
  LoadAll();
  for (const auto& sprite : {pointer_img, firewall_img, board_img, cpu_img, logo_img, ship_img, bits_img, virus_img})
    for (int f = 0; f < sprite->CountFrames(); f++)
      EXPECT_TRUE(sprite->frames[f]) << sprite->width << "x" << sprite->height << " frame " << f;
  for (char c = ' '; c <= '~'; c++) {
    int index = game_font->CharToGlyph(c);
    ASSERT_GE(index, 0) << c;
    const TImageGlyph& g = game_font->_glyphs[static_cast<size_t>(index)];
    EXPECT_TRUE(g._loaded) << c;
    if (g._image) {
      EXPECT_TRUE(g._image->frames[0]) << c;
    }
  }
  EXPECT_TRUE(SameRgb(ScreenPixel(1, 1), 0, 0, 0)) << "the warm-up leaves nothing on screen";
}

TEST_F(LoadAssetsTest, MissingOrBrokenSoundsStayEmpty) {
  fs::create_directory("data");
  std::ofstream("data/plasma.ogg") << "not an ogg stream";
  LoadAll();
  EXPECT_FALSE(snd_plasma);
  EXPECT_FALSE(snd_firewall);
  EXPECT_FALSE(snd_explode);
  EXPECT_FALSE(snd_powerup);
  EXPECT_FALSE(snd_stageclear);
  EXPECT_FALSE(snd_gamestart);
}

TEST_F(LoadAssetsTest, SoundsLoadFromTheDataFolder) {
  fs::path source = fs::path(KELVANE_SOURCE_DIR) / "data";
  if (!fs::exists(source / "plasma.ogg")) GTEST_SKIP() << "no sound files in " << source;
  fs::copy(source, "data");
  LoadAll();
  EXPECT_TRUE(snd_plasma);
  EXPECT_TRUE(snd_firewall);
  EXPECT_TRUE(snd_explode);
  EXPECT_TRUE(snd_powerup);
  EXPECT_TRUE(snd_stageclear);
  EXPECT_TRUE(snd_gamestart);
  // Effects play once: each ends on its own (the longest lasts under four seconds).
  std::vector<std::shared_ptr<TChannel>> playing;
  for (const auto& sound : {snd_plasma, snd_firewall, snd_explode, snd_powerup, snd_stageclear, snd_gamestart}) {
    if (!sound) continue;
    playing.push_back(sound->Cue(nullptr));
    ASSERT_TRUE(playing.back());
    playing.back()->SetPaused(0);
  }
  auto start = std::chrono::steady_clock::now();
  auto sounding = [&playing] {
    int n = 0;
    for (const auto& c : playing) n += c->Playing();
    return n;
  };
  while (sounding() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(sounding(), 0) << "an effect loops";
}

// Whatever state the drawing was left in, the sprites are cut unchanged, and the drawing
// is handed on plain: white, full alpha, mask blend, unturned, unscaled, the screen clear.
TEST_F(LoadAssetsTest, CutsWhateverTheStateBeforeAndHandsOnAPlainState) {
  SetDrawColor(10, 20, 30);
  SetDrawAlpha(0.3f);
  SetDrawTransform(30, 2.0f, 0.5f);
  SetBlendMode(4);
  LoadAll();
  std::shared_ptr<TPixmap> sheet = Decoded("kelvane_sf01.png");
  ASSERT_TRUE(sheet);
  ExpectCut(ship_img, 0, *sheet, 1, 1);
  ExpectCut(board_img, 0, *sheet, 0, 64);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_EQ((std::vector<float>{float(r), float(g), float(b), GetDrawAlpha(), float(GetBlendMode()), GetDrawRotation(), sx, sy}),
            (std::vector<float>{255, 255, 255, 1, 1, 0, 1, 1}));
  EXPECT_TRUE(SameRgb(ScreenPixel(1, 1), 0, 0, 0));
}

// --- The splash, paced by a fake clock: every frame sleeps once, so sleeps count frames.

int fake_now = 0;
int splash_frames = 0;
std::function<void(int)> on_frame;

int FakeNow() { return fake_now; }
void FakeSleep(int ms) {
  fake_now += ms > 0 ? ms : 0;
  splash_frames++;
  if (on_frame) on_frame(splash_frames);
}

class Splash : public LoadAssetsTest {
 protected:
  void SetUp() override {
    LoadAssetsTest::SetUp();
    LoadAll();
    quit_requested = 0;
    retro_fx = 0;
    // Far behind the schedule's start, so the first frame sleeps too.
    fake_now = ClockMillis() - 100000;
    splash_frames = 0;
    on_frame = nullptr;
    SetClockSeam(FakeNow, FakeSleep);
  }
  void TearDown() override {
    SetClockSeam(nullptr, nullptr);
    on_frame = nullptr;
    LoadAssetsTest::TearDown();
  }
  // The splash ended by an input arriving during frame 10.
  void ExpectSkippedAtFrame10() {
    EXPECT_EQ(splash_frames, 10);
    EXPECT_EQ(quit_requested, 0);
    EXPECT_EQ(ReadKeyHit(27), 0);
    EXPECT_EQ(ReadKeyHit(32), 0);
    EXPECT_EQ(ReadMouseHit(1), 0);
  }
};

// The logo as drawn, frame by frame: plain and still in mono, fading after its wait; in
// stereo growing from a tenth while its eye copies drift apart from 4 pixels crossed.
TEST_F(Splash, DrawnAsDesignedPlainAndInStereo) {
  for (int stereo : {0, 3}) {
    SCOPED_TRACE(stereo);
    stereo_mode = stereo;
    twdraw.slc(4, 80, 60, 140, 4, 10);
    SetDrawColor(90, 90, 90);  // left by whatever drew before: the splash sets its own
    splash_frames = 0;
    drawcalls::recorder rec;
    std::vector<size_t> frame_start = {0};
    on_frame = [&](int) { frame_start.push_back(rec.calls.size()); };
    ShowSplash(-25);
    on_frame = nullptr;
    auto first_of = [&](int frame) { return drawcalls::Line(rec.calls[frame_start[frame - 1]]); };
    // The design's arithmetic, in single precision.
    float a = 1.0f, sc = 0.1f, d = -4.0f;
    for (int frame = 1; frame <= splash_frames; frame++) {
      std::string want = stereo ? "image#0 " + drawcalls::Num(320 - d) + ",215 rgb4,80,60 a" + drawcalls::Num(a) +
                                      " b4 r0 s" + drawcalls::Num(sc)
                                : "image#0 320,215 rgb255,255,255 a" + drawcalls::Num(a) + " b3 r0 s1";
      ASSERT_EQ(first_of(frame), want) << "frame " << frame;
      ASSERT_EQ(frame_start[frame] - frame_start[frame - 1], stereo ? 4u : 1u);
      if (stereo) {
        sc += 0.004f, d += 0.05f;
        if (sc > 1.1f) a -= 0.01f;
      } else if (sc <= 1.0f) {
        sc += 0.004f;
      } else {
        a -= 0.01f;
      }
    }
    EXPECT_EQ(splash_frames, stereo ? 351 : 326);
  }
  stereo_mode = 0;
}

TEST_F(Splash, MonoLasts326Frames) {
  ASSERT_EQ(IsClockPaced(), 1);
  ShowSplash(-25);
  EXPECT_EQ(splash_frames, 326);
  EXPECT_EQ(quit_requested, 0);
}

TEST_F(Splash, StereoLasts351Frames) {
  stereo_mode = 3;
  twdraw.slc(4, 80, 60, 140, 4, 10);
  ShowSplash(-25);
  EXPECT_EQ(splash_frames, 351);
}

TEST_F(Splash, MonoShowsTheLogoUnchangedUntilTheFade) {
  std::shared_ptr<TPixmap> first, last_full, first_fade;
  on_frame = [&](int frame) {
    if (frame == 1) first = appfix::Screen();
    // The fade is decided after frame 226 is drawn; 227 is the first one dimmed.
    if (frame == 226) last_full = appfix::Screen();
    if (frame == 227) first_fade = appfix::Screen();
  };
  ShowSplash(-25);
  ASSERT_TRUE(first && last_full && first_fade);
  EXPECT_EQ(first->pixels, last_full->pixels);
  EXPECT_NE(last_full->pixels, first_fade->pixels);
  // Centred 25 pixels above the screen's centre: nothing drawn beyond the logo's box.
  int lit_outside = 0, lit_inside = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      int lit = !(PixelAt(*first, x, y) == Rgb{0, 0, 0});
      if (x >= 110 && x < 530 && y >= 97 && y < 333) lit_inside += lit;
      else lit_outside += lit;
    }
  EXPECT_EQ(lit_outside, 0);
  EXPECT_GT(lit_inside, 0);
}

TEST_F(Splash, RetroLinesCrossTheSplash) {
  retro_fx = 1;
  std::shared_ptr<TPixmap> first;
  on_frame = [&](int frame) {
    if (frame == 1) first = appfix::Screen();
  };
  ShowSplash(-25);
  ASSERT_TRUE(first);
  for (int x = 0; x < 640; x += 7) {
    ASSERT_EQ(PixelAt(*first, x, 215), (Rgb{2, 2, 2})) << x;
    ASSERT_EQ(PixelAt(*first, x, 1), (Rgb{2, 2, 2})) << x;
  }
}

TEST_F(Splash, EscapeEndsItWithoutReachingTheMenu) {
  on_frame = [](int frame) {
    if (frame == 10) synthetic::PushKey(SDL_SCANCODE_ESCAPE, true);
  };
  ShowSplash(-25);
  ExpectSkippedAtFrame10();
}

TEST_F(Splash, SpaceEndsIt) {
  on_frame = [](int frame) {
    if (frame == 10) synthetic::PushKey(SDL_SCANCODE_SPACE, true);
  };
  ShowSplash(-25);
  ExpectSkippedAtFrame10();
}

TEST_F(Splash, LeftMouseButtonEndsIt) {
  on_frame = [](int frame) {
    if (frame == 10) synthetic::PushMouseButton(true, SDL_BUTTON_LEFT, 100, 100);
  };
  ShowSplash(-25);
  ExpectSkippedAtFrame10();
  EXPECT_EQ(IsMouseButtonHeld(1), 0);
}

TEST_F(Splash, JoystickButtonZeroEndsIt) {
  Joystick();
  on_frame = [this](int frame) {
    if (frame == 10) SetButton(0, 1);
  };
  ShowSplash(-25);
  ExpectSkippedAtFrame10();
  EXPECT_EQ(ReadJoyButtonHit(0, 0), 0);  // the press was taken by the splash
}

TEST_F(Splash, OtherKeysDoNotEndIt) {
  on_frame = [](int frame) {
    if (frame == 10) synthetic::PushKey(SDL_SCANCODE_RETURN, true);
  };
  ShowSplash(-25);
  EXPECT_EQ(splash_frames, 326);
}

TEST_F(Splash, CloseRequestEndsItAndAsksToQuit) {
  on_frame = [](int frame) {
    if (frame == 5) synthetic::PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  };
  ShowSplash(-25);
  EXPECT_EQ(splash_frames, 5);
  EXPECT_EQ(quit_requested, 1);
}

// While its window is inactive the splash holds, napping 10 ms at a time and drawing
// nothing; then it carries on where it stood, every frame of the logo still shown.
TEST_F(Splash, HoldsWhileTheWindowIsInactive) {
  drawcalls::recorder rec;
  size_t drawn_at_loss = 0, drawn_at_return = 0;
  int ms_at_loss = 0, ms_at_return = 0;
  on_frame = [&](int sleep) {
    if (sleep == 5) {
      synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
      drawn_at_loss = rec.calls.size(), ms_at_loss = fake_now;
    } else if (sleep == 45) {
      synthetic::PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
      drawn_at_return = rec.calls.size(), ms_at_return = fake_now;
    }
  };
  ShowSplash(-25);
  EXPECT_EQ(drawn_at_return, drawn_at_loss) << "drew while the window was inactive";
  EXPECT_EQ(ms_at_return - ms_at_loss, 400) << "forty naps of 10 ms";
  EXPECT_EQ(rec.calls.size(), 326u);
  EXPECT_EQ(quit_requested, 0);
}

TEST_F(Splash, LeavesThePlainDrawingState) {
  stereo_mode = 2;
  on_frame = [](int frame) {
    if (frame == 3) synthetic::PushKey(SDL_SCANCODE_SPACE, true);
  };
  ShowSplash(-25);
  int r = 0, g = 0, b = 0;
  GetDrawColor(&r, &g, &b);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{255, 255, 255}));
  EXPECT_EQ(GetBlendMode(), 1);
  EXPECT_FLOAT_EQ(GetDrawAlpha(), 1.0f);
  float sx = 0, sy = 0;
  GetDrawScale(&sx, &sy);
  EXPECT_FLOAT_EQ(sx, 1.0f);
  EXPECT_FLOAT_EQ(sy, 1.0f);
}

}  // namespace
