// Pixmaps: formats, conversions, windows, masking, and PNG decoding of good and bad input.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "platform/pixmap.h"
#include "platform/stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---- helpers: a small PNG writer over libpng, into memory ----

void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

struct PngSpec {
  int width, height, type, depth;
  Bytes rows;  // packed rows as libpng expects them for this type and depth (16-bit big-endian)
  std::vector<png_color> palette = {};
  Bytes trans = {};  // palette alphas
  int interlace = PNG_INTERLACE_NONE;
};

Bytes EncodePng(const PngSpec& s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, s.width, s.height, s.depth, s.type, s.interlace, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.trans.empty()) png_set_tRNS(png, info, s.trans.data(), static_cast<int>(s.trans.size()), nullptr);
  png_write_info(png, info);
  size_t pitch = s.rows.size() / s.height;
  std::vector<png_bytep> rows(s.height);
  for (int y = 0; y < s.height; y++) rows[y] = const_cast<png_bytep>(s.rows.data() + y * pitch);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::shared_ptr<TPixmap> Decode(const Bytes& b) { return DecodePng(b.data(), b.size()); }

Bytes Px(const TPixmap& p, int x, int y) {
  const uint8_t* q = p.PixelPtr(x, y);
  return Bytes(q, q + TPixmap::BytesPerPixel(p.format));
}

// A 2x2 RGB PNG used by the damage tests.
Bytes SmallRgbPng() { return EncodePng({2, 2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}); }

// Rewrites the IHDR size of a PNG, with a correct CRC, so only the size is wrong.
Bytes WithSize(Bytes png, uint32_t w, uint32_t h) {
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) png[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  put(16, w);
  put(20, h);
  put(29, static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), png.data() + 12, 17)));
  return png;
}

// ---- formats and conversions ----

TEST(Pixmap, CreateRejectsBadSizesAndFormats) {
  EXPECT_EQ(TPixmap::Create(0, 5, PF_RGBA8888), nullptr);
  EXPECT_EQ(TPixmap::Create(5, -1, PF_RGBA8888), nullptr);
  EXPECT_EQ(TPixmap::Create(5, 5, 7), nullptr);
  EXPECT_EQ(TPixmap::Create(5, 5, 0), nullptr);
  EXPECT_EQ(TPixmap::Create(20000, 1, PF_I8), nullptr);
  auto p = TPixmap::Create(3, 2, PF_RGB888);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->pitch, 9);
  EXPECT_EQ(p->capacity, 18);
  EXPECT_EQ(p->pixels.size(), 18u);
}

TEST(Pixmap, ConvertToRgbaFollowsTheTable) {
  struct Case {
    int format;
    Bytes in, rgba;
  } cases[] = {
      {PF_I8, {77}, {77, 77, 77, 255}},
      {PF_A8, {40}, {255, 255, 255, 40}},
      {PF_BGR888, {1, 2, 3}, {3, 2, 1, 255}},
      {PF_RGB888, {1, 2, 3}, {1, 2, 3, 255}},
      {PF_BGRA8888, {1, 2, 3, 4}, {3, 2, 1, 4}},
      {PF_RGBA8888, {1, 2, 3, 4}, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    auto p = TPixmap::Create(1, 1, c.format);
    std::memcpy(p->pixels.data(), c.in.data(), c.in.size());
    auto q = p->Convert(PF_RGBA8888);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(Px(*q, 0, 0), c.rgba) << "format " << c.format;
  }
}

TEST(Pixmap, ConvertBetweenOtherFormats) {
  auto p = TPixmap::Create(2, 1, PF_RGBA8888);
  const uint8_t px[] = {10, 20, 30, 40, 200, 100, 0, 255};
  std::memcpy(p->pixels.data(), px, sizeof px);
  auto bgr = p->Convert(PF_BGR888);
  EXPECT_EQ(Px(*bgr, 0, 0), (Bytes{30, 20, 10}));
  auto a = p->Convert(PF_A8);
  EXPECT_EQ(Px(*a, 0, 0), Bytes{40});
  EXPECT_EQ(Px(*a, 1, 0), Bytes{255});
  auto grey = p->Convert(PF_I8);
  EXPECT_EQ(Px(*grey, 0, 0), Bytes{20});
  EXPECT_EQ(Px(*grey, 1, 0), Bytes{100});
  EXPECT_EQ(p->Convert(9), nullptr);
}

TEST(Pixmap, WindowCopiesAndZeroesOutside) {
  auto p = TPixmap::Create(4, 3, PF_I8);
  for (int i = 0; i < 12; i++) p->pixels[i] = static_cast<uint8_t>(i + 1);
  auto w = p->Window(2, 1, 4, 3);  // hangs over the right and bottom edges
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->pixels, (Bytes{7, 8, 0, 0, 11, 12, 0, 0, 0, 0, 0, 0}));
  auto off = p->Window(-10, -10, 2, 2);
  ASSERT_NE(off, nullptr);
  EXPECT_EQ(off->pixels, Bytes(4, 0));
}

TEST(Pixmap, ResizedAveragesBoxes) {
  auto p = TPixmap::Create(4, 2, PF_I8);
  p->pixels = {0, 100, 200, 50, 10, 20, 30, 40};
  p->capacity = 8;
  auto half = p->Resized(2, 1);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->pixels, (Bytes{(0 + 100 + 10 + 20) / 4, (200 + 50 + 30 + 40) / 4}));
  auto up = p->Resized(8, 4);
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(Px(*up, 7, 3), Bytes{40});
  EXPECT_EQ(Px(*up, 2, 0), Bytes{100});
}

// ---- masking ----

TEST(Mask, TransparentPixelsTakeNeighbourAverage) {
  // 3x3 RGB, black (mask) in the middle and one corner.
  auto p = TPixmap::Create(3, 3, PF_RGB888);
  int v = 10;
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 3; x++, v += 10) {
      uint8_t* q = p->PixelPtr(x, y);
      q[0] = static_cast<uint8_t>(v), q[1] = static_cast<uint8_t>(v + 1), q[2] = 7;
    }
  std::memset(p->PixelPtr(1, 1), 0, 3);
  std::memset(p->PixelPtr(0, 0), 0, 3);
  auto m = MaskPixmap(*p, 0, 0, 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->format, PF_RGBA8888);
  // Centre: neighbours 20,30,40,60,70,80,90 (the corner is mask) -> 390/7 = 55 (integer).
  EXPECT_EQ(Px(*m, 1, 1), (Bytes{55, (21 + 31 + 41 + 61 + 71 + 81 + 91) / 7, 7, 0}));
  // Corner: neighbours (1,0)=20, (0,1)=40; the centre is mask.
  EXPECT_EQ(Px(*m, 0, 0), (Bytes{30, 31, 7, 0}));
  EXPECT_EQ(Px(*m, 2, 2), (Bytes{90, 91, 7, 255}));
}

TEST(Mask, AllMaskGivesBlackAndNearMissStaysOpaque) {
  auto p = TPixmap::Create(2, 2, PF_RGB888);
  std::fill(p->pixels.begin(), p->pixels.end(), 5);
  p->PixelPtr(1, 1)[2] = 6;  // (5, 5, 6) differs from the mask in blue only
  auto m = MaskPixmap(*p, 5, 5, 5);
  EXPECT_EQ(Px(*m, 0, 0), (Bytes{5, 5, 6, 0}));  // only (1,1) is a non-mask neighbour
  EXPECT_EQ(Px(*m, 1, 1), (Bytes{5, 5, 6, 255}));
  auto solid = TPixmap::Create(2, 1, PF_RGB888);
  auto all = MaskPixmap(*solid, 0, 0, 0);
  EXPECT_EQ(Px(*all, 0, 0), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Px(*all, 1, 0), (Bytes{0, 0, 0, 0}));
}

TEST(Mask, GreyAndAlphaSourcesCompareTheirColour) {
  auto g = TPixmap::Create(2, 1, PF_I8);
  g->pixels = {0, 1};
  auto m = MaskPixmap(*g, 0, 0, 0);
  EXPECT_EQ(Px(*m, 0, 0), (Bytes{1, 1, 1, 0}));
  EXPECT_EQ(Px(*m, 1, 0), (Bytes{1, 1, 1, 255}));
  auto rgba = TPixmap::Create(1, 1, PF_RGBA8888);
  rgba->pixels = {9, 9, 9, 3};
  EXPECT_EQ(Px(*MaskPixmap(*rgba, 0, 0, 0), 0, 0), (Bytes{9, 9, 9, 255}));
}

// ---- PNG decoding ----

TEST(Png, GreyBecomesFormat1) {
  auto p = Decode(EncodePng({2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 200}}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_I8);
  EXPECT_EQ(p->pixels, (Bytes{0, 200}));
}

TEST(Png, LowDepthGreyIsExpanded) {
  // 1-bit: 1,0,1 then padding -> 255, 0, 255.
  auto p = Decode(EncodePng({3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_I8);
  EXPECT_EQ(p->pixels, (Bytes{255, 0, 255}));
}

TEST(Png, SixteenBitIsReducedTo8) {
  auto p = Decode(EncodePng({1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_RGB888);
  EXPECT_EQ(p->pixels, (Bytes{0x12, 0xAB, 0xFF}));
}

TEST(Png, RgbBecomesFormat4) {
  auto p = Decode(SmallRgbPng());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_RGB888);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->height, 2);
  EXPECT_EQ(p->pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(Png, RgbaBecomesFormat6) {
  auto p = Decode(EncodePng({1, 2, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4, 5, 6, 7, 0}}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_RGBA8888);
  EXPECT_EQ(p->pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 0}));
}

TEST(Png, GreyAlphaBecomesFormat6) {
  auto p = Decode(EncodePng({2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {50, 128, 9, 255}}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_RGBA8888);
  EXPECT_EQ(p->pixels, (Bytes{50, 50, 50, 128, 9, 9, 9, 255}));
}

TEST(Png, PaletteIsExpanded) {
  std::vector<png_color> pal = {{10, 20, 30}, {40, 50, 60}};
  PngSpec s{3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x14}, pal, {}};  // indices 0, 1, 1
  auto p = Decode(EncodePng(s));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->format, PF_RGB888);
  EXPECT_EQ(p->pixels, (Bytes{10, 20, 30, 40, 50, 60, 40, 50, 60}));
  s.trans = {0};  // entry 0 transparent
  auto t = Decode(EncodePng(s));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->format, PF_RGBA8888);
  EXPECT_EQ(Px(*t, 0, 0), (Bytes{10, 20, 30, 0}));
  EXPECT_EQ(Px(*t, 1, 0), (Bytes{40, 50, 60, 255}));
}

TEST(Png, InterlacedMatchesPlain) {
  Bytes rows;
  for (int i = 0; i < 9 * 9 * 3; i++) rows.push_back(static_cast<uint8_t>(i * 7));
  PngSpec s{9, 9, PNG_COLOR_TYPE_RGB, 8, rows};
  s.interlace = PNG_INTERLACE_ADAM7;
  auto p = Decode(EncodePng(s));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->pixels, rows);
}

TEST(Png, EveryTruncationGivesNothing) {
  Bytes good = SmallRgbPng();
  ASSERT_NE(Decode(good), nullptr);
  for (size_t n = 0; n < good.size(); n++) {
    Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(DecodePng(cut.data(), cut.size()), nullptr) << "cut at " << n;
  }
  EXPECT_EQ(DecodePng(nullptr, 100), nullptr);
}

TEST(Png, CorruptBytesGiveNothing) {
  Bytes good = SmallRgbPng();
  Bytes sig = good;
  sig[1] = 'X';
  EXPECT_EQ(Decode(sig), nullptr);
  Bytes ihdr = good;
  ihdr[17] ^= 1;  // width changed, CRC not
  EXPECT_EQ(Decode(ihdr), nullptr);
  Bytes idat = good;
  idat[good.size() - 20] ^= 0x55;  // inside the compressed data or its CRC
  EXPECT_EQ(Decode(idat), nullptr);
}

TEST(Png, BadSizesGiveNothing) {
  Bytes good = SmallRgbPng();
  EXPECT_NE(Decode(WithSize(good, 2, 2)), nullptr);  // the rewrite itself keeps a good file good
  EXPECT_EQ(Decode(WithSize(good, 0, 2)), nullptr);
  EXPECT_EQ(Decode(WithSize(good, 2, 0)), nullptr);
  EXPECT_EQ(Decode(WithSize(good, 20000, 2)), nullptr);
  EXPECT_EQ(Decode(WithSize(good, 0x7FFFFFFF, 0x7FFFFFFF)), nullptr);
  // Within the limits but far more than a 70-byte file could hold: refused without a 700 MB buffer.
  EXPECT_EQ(Decode(WithSize(good, 16000, 16000)), nullptr);
}

// A chunk placed just before IEND; the length field may lie.
Bytes WithChunkBeforeEnd(Bytes png, const char* kind, const Bytes& body, uint32_t length) {
  Bytes c;
  for (int i = 0; i < 4; i++) c.push_back(static_cast<uint8_t>(length >> (24 - 8 * i)));
  c.insert(c.end(), kind, kind + 4);
  c.insert(c.end(), body.begin(), body.end());
  uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), c.data() + 4, static_cast<uInt>(4 + body.size())));
  for (int i = 0; i < 4; i++) c.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
  png.insert(png.end() - 12, c.begin(), c.end());
  return png;
}

TEST(Png, TextChunksAreSkipped) {
  Bytes big(9 << 20, 'a');  // larger than any chunk the decoder would hold in memory
  big[0] = 'k', big[1] = 0;  // keyword "k"
  auto p = Decode(WithChunkBeforeEnd(SmallRgbPng(), "tEXt", big, static_cast<uint32_t>(big.size())));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->width, 2);
  // A text chunk claiming 2 GB in a short file gives nothing (tools/fuzz/seeds/png_fuzz/oom_itxt_length.png
  // replays the case under the fuzzer's memory limit).
  EXPECT_EQ(Decode(WithChunkBeforeEnd(SmallRgbPng(), "iTXt", {'k', 0, 0, 0, 0}, 0x78FFFFFF)), nullptr);
}

// The size check must not refuse a real picture that deflate packed as tightly as it can.
TEST(Png, MaximallyCompressedPictureStillDecodes) {
  auto p = Decode(EncodePng({3000, 2000, PNG_COLOR_TYPE_GRAY, 8, Bytes(3000 * 2000, 0)}));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->width, 3000);
  EXPECT_EQ(p->pixels[3000 * 2000 - 1], 0);
}

TEST(Png, LoadByStreamName) {
  static Bytes file = SmallRgbPng();
  ASSERT_EQ(RegisterEmbeddedFile("pixmap_test.png", file.data(), static_cast<int64_t>(file.size())), 1);
  auto p = LoadPixmapPng("incbin::pixmap_test.png");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(LoadPixmapPng("incbin::no_such.png"), nullptr);
}

TEST(Png, GameAssetsDecodeToTheirSizes) {
  struct Asset {
    const char* name;
    int w, h;
  } assets[] = {{"twlogo.png", 420, 236},       {"dmpointer.png", 18, 18},      {"kelvane_sf01.png", 596, 403},
                {"kelvane_sf02.png", 320, 213}, {"kelvane_sf03.png", 525, 461}};
  for (const Asset& a : assets) {
    auto p = LoadPixmapPng(std::string(KELVANE_SOURCE_DIR) + "/assets/" + a.name);
    ASSERT_NE(p, nullptr) << a.name;
    EXPECT_EQ(p->width, a.w) << a.name;
    EXPECT_EQ(p->height, a.h) << a.name;
    EXPECT_EQ(p->format, PF_RGB888) << a.name;
  }
}

}  // namespace
