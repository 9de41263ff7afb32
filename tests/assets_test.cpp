// The committed pictures, font and sounds against the layout and levels the game relies on.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <png.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kAssets = std::string(KELVANE_SOURCE_DIR) + "/assets/";
const std::string kData = std::string(KELVANE_SOURCE_DIR) + "/data/";

struct Png {
  int w = 0, h = 0, depth = 0, type = -1;
  bool ok = false;
  std::vector<unsigned char> rgb;
  bool Black(int x, int y) const {
    const unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
    return !p[0] && !p[1] && !p[2];
  }
  int Luma(int x, int y) const {
    const unsigned char* p = &rgb[(size_t(y) * w + x) * 3];
    return (p[0] * 3 + p[1] * 6 + p[2]) / 10;
  }
};

// Header as stored, pixels only when the file is plain 8-bit RGB.
Png ReadPngFrom(FILE* f) {
  Png img;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return Png{};
  }
  png_init_io(png, f);
  png_read_info(png, info);
  img.w = int(png_get_image_width(png, info));
  img.h = int(png_get_image_height(png, info));
  img.depth = png_get_bit_depth(png, info);
  img.type = png_get_color_type(png, info);
  if (img.depth == 8 && img.type == PNG_COLOR_TYPE_RGB && !png_get_valid(png, info, PNG_INFO_tRNS)) {
    img.rgb.resize(size_t(img.w) * img.h * 3);
    for (int y = 0; y < img.h; y++) png_read_row(png, &img.rgb[size_t(y) * img.w * 3], nullptr);
    img.ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return img;
}

Png ReadPng(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return Png{};
  Png img = ReadPngFrom(f);
  std::fclose(f);
  return img;
}

struct Rect {
  const char* what;
  int x, y, w, h;
};

// Every rectangle the loader cuts from the sheet; the heat sink is the only drawn part of the
// CPU image, whose 454x126 cut is otherwise black.
std::vector<Rect> SheetRects() {
  std::vector<Rect> r;
  for (int i = 0; i < 6; i++) r.push_back({"ship", 1 + 71 * i, 1, 70, 60});
  for (int i = 0; i < 3; i++) r.push_back({"virus", 429 + 55 * i, 1, 54, 33});
  for (int i = 0; i < 5; i++) r.push_back({"bits", 429 + 31 * i, 37, 30, 20});
  r.push_back({"board", 0, 64, 320, 213});
  r.push_back({"heat sink", 324, 64, 130, 62});
  r.push_back({"logo", 1, 280, 458, 122});
  return r;
}

int SolidPixels(const Png& img, const Rect& r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; y++)
    for (int x = r.x; x < r.x + r.w; x++) n += !img.Black(x, y);
  return n;
}

TEST(AssetPictures, EachIsEightBitRgbOfItsSize) {
  struct Want {
    const char* name;
    int w, h;
  } files[] = {{"kelvane_sf01.png", 596, 403}, {"kelvane_sf02.png", 320, 213}, {"kelvane_sf03.png", 525, 461},
               {"dmpointer.png", 18, 18},     {"twlogo.png", 420, 236}};
  for (const Want& f : files) {
    Png img = ReadPng(kAssets + f.name);
    EXPECT_EQ(img.w, f.w) << f.name;
    EXPECT_EQ(img.h, f.h) << f.name;
    EXPECT_EQ(img.depth, 8) << f.name;
    EXPECT_EQ(img.type, PNG_COLOR_TYPE_RGB) << f.name;
    EXPECT_TRUE(img.ok) << f.name << " has transparency or cannot be read";
  }
}

TEST(AssetSheet, BlackOutsideTheCutRectangles) {
  Png img = ReadPng(kAssets + "kelvane_sf01.png");
  ASSERT_TRUE(img.ok);
  std::vector<Rect> rects = SheetRects();
  int stray = 0, first_x = -1, first_y = -1;
  for (int y = 0; y < img.h; y++)
    for (int x = 0; x < img.w; x++) {
      bool inside = std::any_of(rects.begin(), rects.end(),
                                [&](const Rect& r) { return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h; });
      if (inside || img.Black(x, y)) continue;
      if (!stray++) first_x = x, first_y = y;
    }
  EXPECT_EQ(stray, 0) << "first stray pixel at (" << first_x << ", " << first_y << ")";
}

TEST(AssetSheet, EveryFrameHasSolidPixels) {
  Png img = ReadPng(kAssets + "kelvane_sf01.png");
  ASSERT_TRUE(img.ok);
  for (const Rect& r : SheetRects()) {
    int solid = SolidPixels(img, r);
    // Sprites small enough to miss would make shots and contacts unreliable.
    EXPECT_GE(solid, r.w * r.h / 20) << r.what << " at (" << r.x << ", " << r.y << ")";
  }
  // The board is a backdrop: almost all of it is drawn.
  EXPECT_GE(SolidPixels(img, {"board", 0, 64, 320, 213}), 320 * 213 * 8 / 10);
}

int DifferingPixels(const Png& img, const Rect& a, const Rect& b) {
  int n = 0;
  for (int y = 0; y < a.h; y++)
    for (int x = 0; x < a.w; x++) n += img.Luma(a.x + x, a.y + y) != img.Luma(b.x + x, b.y + y);
  return n;
}

TEST(AssetSheet, AnimationFramesAreDistinctPictures) {
  Png img = ReadPng(kAssets + "kelvane_sf01.png");
  ASSERT_TRUE(img.ok);
  std::vector<Rect> r = SheetRects();
  EXPECT_GT(DifferingPixels(img, r[0], r[1]), 10);   // engine flicker
  EXPECT_GT(DifferingPixels(img, r[0], r[2]), 100);  // banking up-left
  EXPECT_GT(DifferingPixels(img, r[0], r[4]), 100);  // banking down-right
  EXPECT_GT(DifferingPixels(img, r[2], r[4]), 100);
  EXPECT_GT(DifferingPixels(img, r[6], r[7]), 100);  // the virus's two phases
}

// The tiles overlap by up to 18.3 of their pixels in the game, either one in front; both end
// in one strip, the same in both pictures and at every x, with nothing see-through.
TEST(AssetBackdrop, SecondTileIsDarkerAndBothEndAlike) {
  Png sheet = ReadPng(kAssets + "kelvane_sf01.png"), dark = ReadPng(kAssets + "kelvane_sf02.png");
  ASSERT_TRUE(sheet.ok && dark.ok);
  long bright_sum = 0, dark_sum = 0;
  int black = 0, unlike = 0, middle_like = 0;
  auto same = [](const Png& a, int ax, int ay, const Png& b, int bx, int by) {
    return std::equal(&a.rgb[(size_t(ay) * a.w + ax) * 3], &a.rgb[(size_t(ay) * a.w + ax) * 3 + 3],
                      &b.rgb[(size_t(by) * b.w + bx) * 3]);
  };
  for (int y = 0; y < 213; y++)
    for (int x = 0; x < 320; x++) {
      bright_sum += sheet.Luma(x, 64 + y);
      dark_sum += dark.Luma(x, y);
      black += dark.Black(x, y) + sheet.Black(x, 64 + y);
      if (x < 19 || x >= 301) unlike += !same(dark, x, y, sheet, x, 64 + y) + !same(dark, x, y, dark, 0, y);
      if (x >= 100 && x < 220) middle_like += same(dark, x, y, sheet, x, 64 + y);
    }
  EXPECT_LT(dark_sum, bright_sum * 3 / 4);
  EXPECT_EQ(black, 0);
  EXPECT_EQ(unlike, 0);
  EXPECT_LT(middle_like, 120 * 213 / 20) << "the two pictures are different boards";
}

TEST(AssetFireWall, FlamesRunAlongTheDiagonalOnBlack) {
  Png img = ReadPng(kAssets + "kelvane_sf03.png");
  ASSERT_TRUE(img.ok);
  EXPECT_TRUE(img.Black(img.w - 1, 0));  // upper right and lower left corners are off the wall
  EXPECT_TRUE(img.Black(0, img.h - 1));
  // Across the wall, at each point of its middle half, the flame burns bright somewhere.
  int lit = 0;
  for (int k = -120; k <= 120; k += 8) {
    int best = 0;
    for (int j = -70; j <= 70; j++) best = std::max(best, img.Luma(img.w / 2 + k + j, img.h / 2 + k - j));
    lit += best > 150;
  }
  EXPECT_GE(lit, 28);
}

TEST(AssetPointer, HotSpotPixelIsDrawn) {
  Png img = ReadPng(kAssets + "dmpointer.png");
  ASSERT_TRUE(img.ok);
  EXPECT_FALSE(img.Black(0, 0));
  EXPECT_TRUE(img.Black(17, 0));  // the arrow points up-left, so the far corner is empty
  EXPECT_GE(SolidPixels(img, {"pointer", 0, 0, 18, 18}), 40);
}

TEST(AssetFont, CoversPrintableAsciiAndRendersAt24Pixels) {
  FT_Library lib;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  FT_Face face;
  ASSERT_EQ(FT_New_Face(lib, (kAssets + "joystix.ttf").c_str(), 0, &face), 0);
  ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 24), 0);
  EXPECT_LE((face->size->metrics.height >> 6), 30);
  for (int c = 33; c <= 126; c++) {
    ASSERT_NE(FT_Get_Char_Index(face, FT_ULong(c)), 0u) << "no glyph for '" << char(c) << "'";
    ASSERT_EQ(FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER), 0) << char(c);
    EXPECT_GT(face->glyph->bitmap.rows * face->glyph->bitmap.width, 0u) << "blank glyph for '" << char(c) << "'";
    EXPECT_GE(face->glyph->advance.x >> 6, 4) << char(c);
    EXPECT_LE(face->glyph->bitmap_left + int(face->glyph->bitmap.width), face->glyph->advance.x >> 6) << char(c);
  }
  EXPECT_NE(FT_Get_Char_Index(face, ' '), 0u);
  // Counting scores must not shuffle sideways: every digit takes the same room.
  ASSERT_EQ(FT_Load_Char(face, '0', FT_LOAD_DEFAULT), 0);
  long digit = face->glyph->advance.x;
  for (char d = '1'; d <= '9'; d++) {
    ASSERT_EQ(FT_Load_Char(face, FT_ULong(d), FT_LOAD_DEFAULT), 0);
    EXPECT_EQ(face->glyph->advance.x, digit) << d;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
}

struct Ogg {
  bool ok = false;
  int rate = 0, channels = 0;
  std::vector<float> s;  // interleaved
  size_t frames() const { return channels ? s.size() / size_t(channels) : 0; }
  float Peak() const {
    float p = 0;
    for (float v : s) p = std::max(p, std::fabs(v));
    return p;
  }
};

Ogg ReadOgg(const std::string& path) {
  Ogg o;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return o;
  o.rate = int(ov_info(&vf, -1)->rate);
  o.channels = ov_info(&vf, -1)->channels;
  for (;;) {
    float** pcm;
    int section;
    long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n < 0) {
      ov_clear(&vf);
      return Ogg{};
    }
    if (n == 0) break;
    for (long i = 0; i < n; i++)
      for (int c = 0; c < o.channels; c++) o.s.push_back(pcm[c][i]);
  }
  ov_clear(&vf);
  o.ok = true;
  return o;
}

float Db(float v) { return 20 * std::log10(v); }

TEST(AssetSounds, EffectsDecodeWithTheirLengthsAndHeadroom) {
  struct Want {
    const char* name;
    float min_s, max_s;
  } effects[] = {{"plasma.ogg", 0.1f, 0.35f},   {"firewall.ogg", 0.8f, 1.3f},   {"explode.ogg", 0.3f, 0.7f},
                 {"powerup.ogg", 0.3f, 1.5f},   {"stageclear.ogg", 1.f, 4.f},   {"gamestart.ogg", 0.8f, 3.f}};
  for (const Want& e : effects) {
    Ogg o = ReadOgg(kData + e.name);
    ASSERT_TRUE(o.ok) << e.name;
    EXPECT_EQ(o.rate, 44100) << e.name;
    EXPECT_TRUE(o.channels == 1 || o.channels == 2) << e.name;
    float secs = float(o.frames()) / float(o.rate);
    EXPECT_GE(secs, e.min_s) << e.name;
    EXPECT_LE(secs, e.max_s) << e.name;
    EXPECT_LT(Db(o.Peak()), -2.5f) << e.name << " leaves no headroom";
    EXPECT_GT(Db(o.Peak()), -9.f) << e.name << " is too quiet to hear over the music";
  }
}

TEST(AssetSounds, MusicIsLongQuieterThanEffectsAndWholeBars) {
  Ogg m = ReadOgg(kData + "virus.ogg");
  ASSERT_TRUE(m.ok);
  // Decoded whole, so kept at 31500 Hz: a bar at 140 beats a minute is 54000 samples there,
  // and the loop is a whole number of them.
  EXPECT_EQ(m.rate, 31500);
  EXPECT_EQ(m.channels, 2);
  EXPECT_GE(m.frames(), size_t(60 * 31500));
  EXPECT_EQ(m.frames() % 54000, 0u);
  EXPECT_LT(Db(m.Peak()), -6.f);
  EXPECT_GT(Db(m.Peak()), -14.f);
}

TEST(AssetSounds, MusicLoopSeamHasNoJump) {
  Ogg m = ReadOgg(kData + "virus.ogg");
  ASSERT_TRUE(m.ok && m.frames() > 2);
  size_t n = m.frames();
  for (int c = 0; c < m.channels; c++) {
    // Compare the step across the seam with the steps the music makes anyway.
    std::vector<float> steps;
    for (size_t i = 1; i < n; i++) steps.push_back(std::fabs(m.s[i * 2 + c] - m.s[(i - 1) * 2 + c]));
    std::nth_element(steps.begin(), steps.begin() + long(steps.size() * 99 / 100), steps.end());
    float usual = steps[steps.size() * 99 / 100];
    float seam = std::fabs(m.s[c] - m.s[(n - 1) * 2 + c]);
    EXPECT_LE(seam, usual) << "channel " << c;
    EXPECT_LT(seam, 0.02f) << "channel " << c;
  }
}

}  // namespace
