// Fonts: the built-in font, TrueType faces through FreeType, drawing and measuring text.
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include "platform/font.h"
#include "platform/stream.h"
#include "support/file_bytes.h"
#include "support/gl_test_util.h"

namespace {

const std::string kFontPath = std::string(KELVANE_SOURCE_DIR) + "/assets/joystix.ttf";

struct FontTest : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(OpenTestDisplay());
    ClearScreen();
    SetBlendMode(3);
  }
  void TearDown() override { CloseGraphics(); }
};

// Lit pixels in a rectangle of the picture.
int InkIn(int x, int y, int w, int h) {
  auto p = GrabPixmap(x, y, w, h);
  int ink = 0;
  for (int j = 0; j < h; j++)
    for (int i = 0; i < w; i++) ink += PixelOf(*p, i, j).r > 0;
  return ink;
}


// UTF-8 for a code point below 0x10000.
std::string Utf8(int code) {
  std::string s;
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  if (code < 0x800) {
    s += static_cast<char>(0xC0 | (code >> 6));
  } else {
    s += static_cast<char>(0xE0 | (code >> 12));
    s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  }
  s += static_cast<char>(0x80 | (code & 0x3F));
  return s;
}

}  // namespace

TEST_F(FontTest, BuiltInFontDrawsInsideItsCell) {
  SelectFont(nullptr);
  EXPECT_EQ(MeasureTextHeight(), 16);
  EXPECT_EQ(MeasureTextWidth("AB"), 16);
  DrawTextAt("A", 100, 100);
  EXPECT_GT(InkIn(100, 100, 8, 16), 20);
  EXPECT_EQ(InkIn(90, 90, 30, 10) + InkIn(90, 116, 30, 10) + InkIn(108, 100, 10, 16), 0);
  EXPECT_EQ(InkIn(200, 100, 8, 16), 0);
  DrawTextAt(" ", 200, 100);
  EXPECT_EQ(InkIn(200, 100, 8, 16), 0);
}

TEST_F(FontTest, BuiltInFontHasEveryPrintableCharacter) {
  auto font = TImageFont::CreateDefault();
  for (int code = 33; code <= 127; code++) {
    TImageGlyph* g = font->LoadGlyph(font->CharToGlyph(code));
    ASSERT_NE(g, nullptr) << code;
    ASSERT_TRUE(g->_image) << code;
    int ink = 0;
    for (int i = 0; i < 8 * 16; i++) ink += g->_image->pixmaps[0]->pixels[i] != 0;
    EXPECT_GT(ink, 0) << "glyph " << code << " is blank";
  }
  EXPECT_EQ(font->CharToGlyph(31), -1);
  EXPECT_EQ(font->CharToGlyph(128), -1);
}

TEST_F(FontTest, UnmappedCharacterIsSkippedByDrawingAndMeasuring) {
  SelectFont(nullptr);
  std::string with = std::string("A").append(Utf8(0xE9)).append("B");  // é is beyond the built-in font's range
  EXPECT_EQ(MeasureTextWidth(with), MeasureTextWidth("AB"));
  DrawTextAt("AB", 100, 100);
  DrawTextAt(with, 100, 200);
  auto a = GrabPixmap(100, 100, 32, 16), b = GrabPixmap(100, 200, 32, 16);
  EXPECT_EQ(a->pixels, b->pixels);
}

TEST_F(FontTest, MeasuresIgnoreScaleAndRotation) {
  SelectFont(nullptr);
  int plain = MeasureTextWidth("Kelvane");
  SetDrawTransform(30, 2, 3);
  EXPECT_EQ(MeasureTextWidth("Kelvane"), plain);
  EXPECT_EQ(MeasureTextHeight(), 16);
}

TEST_F(FontTest, PenFollowsTheRotatedAxis) {
  SelectFont(nullptr);
  SetDrawRotation(90);  // text runs downward; each glyph lies left of the pen
  DrawTextAt("I", 300, 100);
  EXPECT_EQ(InkIn(284, 108, 16, 8), 0);
  DrawTextAt("II", 300, 100);
  EXPECT_GT(InkIn(284, 108, 16, 8), 0);
  EXPECT_EQ(InkIn(300, 100, 16, 16), 0);
}

TEST_F(FontTest, TrueTypeFaceFromAFileAndFromEmbeddedBytes) {
  auto font = LoadFontFile(kFontPath, 24, 4);
  ASSERT_TRUE(font) << kFontPath;
  EXPECT_GT(font->Height(), 0);
  EXPECT_EQ(font->_imageFlags, 6);
  int a = font->CharToGlyph('A');
  ASSERT_GE(a, 0);
  TImageGlyph* g = font->LoadGlyph(a);
  ASSERT_TRUE(g && g->_image);
  EXPECT_EQ(g->_image->flags, 6);
  EXPECT_EQ(g->_image->pixmaps[0]->format, PF_A8);
  EXPECT_GT(g->_advance, 0);
  SelectFont(font);
  EXPECT_EQ(MeasureTextWidth("AAA"), 3 * static_cast<int>(g->_advance));
  EXPECT_EQ(MeasureTextHeight(), font->Height());
  DrawTextAt("A", 100, 100);
  EXPECT_GT(InkIn(100, 100, 40, 40), 0);

  static std::string bytes = ReadText(kFontPath);
  RegisterEmbeddedFile("fonttest.ttf", reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int64_t>(bytes.size()));
  auto embedded = LoadFontFile("incbin::fonttest.ttf", 24, 0);
  ASSERT_TRUE(embedded);
  EXPECT_EQ(embedded->_imageFlags, 0);
  EXPECT_EQ(embedded->Height(), font->Height());
}

TEST_F(FontTest, TrueTypeSkipsWhatTheFaceDoesNotMap) {
  auto font = LoadFontFile(kFontPath, 24, 0);
  ASSERT_TRUE(font);
  int unmapped = 0;
  for (int code : {0xE000, 0x4E00, 0x0F00, 0x16A0})
    if (font->CharToGlyph(code) < 0) {
      unmapped = code;
      break;
    }
  if (!unmapped) GTEST_SKIP() << "the face maps every candidate";
  SelectFont(font);
  std::string with = std::string("A").append(Utf8(unmapped)).append("B");
  EXPECT_EQ(MeasureTextWidth(with), MeasureTextWidth("AB"));
  DrawTextAt("AB", 100, 100);
  DrawTextAt(with, 100, 200);
  auto a = GrabPixmap(100, 100, 80, 40), b = GrabPixmap(100, 200, 80, 40);
  EXPECT_EQ(a->pixels, b->pixels);
}

TEST_F(FontTest, DamagedOrMissingFontsGiveNothing) {
  static const uint8_t garbage[] = "this is not a TrueType face, just some bytes";
  RegisterEmbeddedFile("garbage.ttf", garbage, sizeof garbage);
  EXPECT_EQ(LoadFontFile("incbin::garbage.ttf", 24, 4), nullptr);
  static const uint8_t empty[1] = {0};
  RegisterEmbeddedFile("empty.ttf", empty, 0);
  EXPECT_EQ(LoadFontFile("incbin::empty.ttf", 24, 4), nullptr);
  EXPECT_EQ(LoadFontFile("incbin::missing.ttf", 24, 4), nullptr);
  EXPECT_EQ(LoadFontFile("no/such/font.ttf", 24, 4), nullptr);
}

TEST_F(FontTest, TruncatedFontNeverCrashes) {
  static std::string bytes = ReadText(kFontPath);
  ASSERT_GT(bytes.size(), 4000u);
  static std::string cuts[] = {bytes.substr(0, 12), bytes.substr(0, 400), bytes.substr(0, bytes.size() / 2)};
  for (int i = 0; i < 3; i++) {
    std::string name = "cut" + std::to_string(i) + ".ttf";
    RegisterEmbeddedFile(name, reinterpret_cast<const uint8_t*>(cuts[i].data()), static_cast<int64_t>(cuts[i].size()));
    auto font = LoadFontFile("incbin::" + name, 24, 4);
    if (!font) continue;  // refused outright, or opened and then drawn as far as it goes
    SelectFont(font);
    DrawTextAt("Kelvane 123", 10, 10);
    MeasureTextWidth("Kelvane 123");
  }
  SelectFont(nullptr);
  EXPECT_EQ(MeasureTextWidth("AB"), 16);
}
