#include "font/alphabet.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// A sheet drawn wrongly is a mistake in this program, so it stops the build loudly.
[[noreturn]] void BadSheet(const GlyphSheet& s, const char* why) {
  std::fprintf(stderr, "assetgen_font: sheet \"%s\": %s\n", s.chars, why);
  std::abort();
}

std::vector<std::string> SplitRow(const char* row) {
  std::vector<std::string> parts(1);
  for (const char* p = row; *p; p++) {
    if (*p == ' ') parts.emplace_back();
    else if (*p == 'X' || *p == '.') parts.back() += *p;
    else return {};
  }
  return parts;
}

void AddSheet(const GlyphSheet& s, std::map<char, PixelRows>& glyphs) {
  size_t n = std::strlen(s.chars);
  std::vector<PixelRows> drawn(n);
  for (int r = 0; r < kSheetRows; r++) {
    std::vector<std::string> parts = SplitRow(s.rows[r]);
    if (parts.size() != n) BadSheet(s, "a row does not hold one drawing per character");
    for (size_t i = 0; i < n; i++) {
      if (parts[i].empty() || (r > 0 && parts[i].size() != drawn[i][0].size())) BadSheet(s, "ragged drawing");
      drawn[i].push_back(parts[i]);
    }
  }
  for (size_t i = 0; i < n; i++)
    if (!glyphs.emplace(s.chars[i], drawn[i]).second) BadSheet(s, "a character drawn twice");
}

const std::map<char, PixelRows>& Alphabet() {
  static std::map<char, PixelRows> glyphs;
  if (glyphs.empty())
    for (auto* sheets : {&CapitalSheets(), &LowerCaseSheets(), &FigureSheets()})
      for (const GlyphSheet& s : *sheets) AddSheet(s, glyphs);
  return glyphs;
}

}  // namespace

PixelRows AlphabetGlyph(char c) {
  auto it = Alphabet().find(c);
  return it == Alphabet().end() ? PixelRows{} : it->second;
}
