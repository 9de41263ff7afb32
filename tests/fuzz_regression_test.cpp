// Inputs the fuzzers found (and the seeds they start from) replayed through the decoders.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "platform/freetype_font.h"
#include "platform/pixmap.h"
#include "platform/sound.h"
#include "support/file_bytes.h"

namespace {

std::vector<std::string> SeedFiles(const std::string& fuzzer) {
  std::vector<std::string> files;
  std::filesystem::path dir = std::filesystem::path(KELVANE_SOURCE_DIR) / "tools/fuzz/seeds" / fuzzer;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) files.push_back(entry.path().string());
  return files;
}


TEST(FuzzRegression, FontsGiveSaneMetricsOrNothing) {
  for (const std::string& path : SeedFiles("font_fuzz")) {
    std::vector<uint8_t> data = ReadBytes(path);
    std::shared_ptr<TFont> font = LoadFreeTypeFontFromMemory(data.data(), data.size(), 24, 4);
    if (!font) continue;
    EXPECT_GE(font->Height(), 0) << path;
    // Glyphs a damaged face claims to be huge come out blank, not as giant pixmaps.
    for (int code = 32; code < 128; code++) {
      std::shared_ptr<TPixmap> pixmap;
      float advance = 0;
      int x, y, w, h;
      font->LoadGlyph(font->CharToGlyph(code), &pixmap, &advance, &x, &y, &w, &h);
      if (!pixmap) continue;
      EXPECT_LE(pixmap->width, 256) << path << " '" << char(code) << "'";
      EXPECT_LE(pixmap->height, 256) << path << " '" << char(code) << "'";
    }
  }
}

TEST(FuzzRegression, PngsDecodeToWholePixmapsOrNothing) {
  int decoded = 0;
  for (const std::string& path : SeedFiles("png_fuzz")) {
    std::vector<uint8_t> data = ReadBytes(path);
    std::shared_ptr<TPixmap> p = DecodePng(data.data(), data.size());
    if (!p) continue;
    decoded++;
    EXPECT_EQ(p->pixels.size(), static_cast<size_t>(p->pitch) * p->height) << path;
  }
  EXPECT_GT(decoded, 0);  // the good seeds still decode
}

TEST(FuzzRegression, OggsDecodeOrGiveNothing) {
  for (const std::string& path : SeedFiles("ogg_fuzz")) {
    std::vector<uint8_t> data = ReadBytes(path);
    std::shared_ptr<TAudioSample> s = DecodeOggVorbis(data.data(), data.size());
    if (!s) continue;
    EXPECT_GT(s->length, 0) << path;
  }
}

}  // namespace
