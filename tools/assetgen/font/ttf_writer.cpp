#include "font/ttf_writer.h"

#include <algorithm>
#include <climits>
#include <map>

#include "font/ttf_tables.h"

uint32_t TableChecksum(const std::vector<uint8_t>& d) {
  uint32_t sum = 0;
  for (size_t i = 0; i < d.size(); i += 4) {
    uint32_t w = 0;
    for (size_t k = 0; k < 4; k++) w = (w << 8) | (i + k < d.size() ? d[i + k] : 0);
    sum += w;
  }
  return sum;
}

namespace {

struct Box {
  int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
  bool empty() const { return x0 > x1; }
  void add(const FontPoint& p) {
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  }
  void add(const Box& o) {
    if (!o.empty()) add(FontPoint{o.x0, o.y0}), add(FontPoint{o.x1, o.y1});
  }
};

Box GlyphBox(const TtfGlyph& g) {
  Box b;
  for (const Contour& c : g.contours)
    for (const FontPoint& p : c) b.add(p);
  return b;
}

struct Stats {
  Box all;
  int max_points = 0, max_contours = 0, min_lsb = INT_MAX, min_rsb = INT_MAX, max_extent = 0, max_adv = 0;
  int avg_adv = 0, fixed_pitch = 1;
};

Stats Measure(const TtfFont& f) {
  Stats s;
  long sum = 0, counted = 0;
  for (const TtfGlyph& g : f.glyphs) {
    Box b = GlyphBox(g);
    s.max_adv = std::max(s.max_adv, g.advance);
    if (g.advance != f.glyphs.front().advance) s.fixed_pitch = 0;
    if (g.advance > 0) sum += g.advance, counted++;
    if (b.empty()) continue;
    s.all.add(b);
    int pts = 0;
    for (const Contour& c : g.contours) pts += int(c.size());
    s.max_points = std::max(s.max_points, pts);
    s.max_contours = std::max(s.max_contours, int(g.contours.size()));
    s.min_lsb = std::min(s.min_lsb, b.x0);
    s.min_rsb = std::min(s.min_rsb, g.advance - b.x1);
    s.max_extent = std::max(s.max_extent, b.x1);
  }
  s.avg_adv = counted ? int(sum / counted) : 0;
  return s;
}

// All points are on the curve and coordinates are stored as plain 16-bit deltas.
Bytes GlyphData(const TtfGlyph& g) {
  Bytes o;
  if (g.contours.empty()) return o;
  Box b = GlyphBox(g);
  o.s16(int(g.contours.size()));
  o.s16(b.x0), o.s16(b.y0), o.s16(b.x1), o.s16(b.y1);
  int end = -1;
  for (const Contour& c : g.contours) o.u16(end += int(c.size()));
  o.u16(0);  // no instructions
  for (int i = 0; i <= end; i++) o.u8(0x01);
  FontPoint last{0, 0};
  for (const Contour& c : g.contours)
    for (const FontPoint& p : c) o.s16(p.x - last.x), last.x = p.x;
  for (const Contour& c : g.contours)
    for (const FontPoint& p : c) o.s16(p.y - last.y), last.y = p.y;
  o.pad4();
  return o;
}

void GlyfLoca(const TtfFont& f, Bytes& glyf, Bytes& loca) {
  for (const TtfGlyph& g : f.glyphs) {
    loca.u32(uint32_t(glyf.b.size()));
    glyf.append(GlyphData(g));
  }
  loca.u32(uint32_t(glyf.b.size()));
}

Bytes Head(const TtfFont& f, const Stats& s) {
  Bytes o;
  o.u32(0x00010000), o.u32(0x00010000);  // version, font revision
  o.u32(0);                              // checkSumAdjustment, filled in at the end
  o.u32(0x5F0F3CF5), o.u16(0x0009), o.u16(f.units_per_em);  // flags: baseline at 0, whole ppem
  // Fixed dates keep the file byte-identical from run to run.
  o.u32(0), o.u32(0xE0000000u), o.u32(0), o.u32(0xE0000000u);
  o.s16(s.all.x0), o.s16(s.all.y0), o.s16(s.all.x1), o.s16(s.all.y1);
  o.u16(0), o.u16(8), o.s16(2), o.s16(1), o.s16(0);  // macStyle, lowestRecPPEM, direction, long loca, glyf format
  return o;
}

Bytes Hhea(const TtfFont& f, const Stats& s) {
  Bytes o;
  o.u32(0x00010000), o.s16(f.ascent), o.s16(f.descent), o.s16(0);
  o.u16(s.max_adv), o.s16(s.min_lsb), o.s16(s.min_rsb), o.s16(s.max_extent);
  o.s16(1), o.s16(0), o.s16(0), o.zeros(8), o.s16(0), o.u16(int(f.glyphs.size()));
  return o;
}

Bytes Maxp(const TtfFont& f, const Stats& s) {
  Bytes o;
  o.u32(0x00010000), o.u16(int(f.glyphs.size())), o.u16(s.max_points), o.u16(s.max_contours);
  o.u16(0), o.u16(0), o.u16(2), o.zeros(16);
  return o;
}

Bytes Hmtx(const TtfFont& f) {
  Bytes o;
  for (const TtfGlyph& g : f.glyphs) {
    Box b = GlyphBox(g);
    o.u16(g.advance), o.s16(b.empty() ? 0 : b.x0);
  }
  return o;
}

// Format 4, one segment per run where character and glyph index both rise by one.
Bytes CmapFormat4(const TtfFont& f) {
  struct Seg { int start, end, delta; };
  std::vector<Seg> segs;
  for (auto [ch, gi] : f.cmap) {
    if (!segs.empty() && segs.back().end + 1 == ch && segs.back().delta == (gi - ch) % 65536) segs.back().end = ch;
    else segs.push_back({ch, ch, (gi - ch) % 65536});
  }
  segs.push_back({0xFFFF, 0xFFFF, 1});
  int n = int(segs.size()), pow2 = 1, log2 = 0;
  while (pow2 * 2 <= n) pow2 *= 2, log2++;
  Bytes o;
  o.u16(4), o.u16(16 + 8 * n), o.u16(0), o.u16(2 * n), o.u16(2 * pow2), o.u16(log2), o.u16(2 * n - 2 * pow2);
  for (const Seg& s : segs) o.u16(s.end);
  o.u16(0);
  for (const Seg& s : segs) o.u16(s.start);
  for (const Seg& s : segs) o.s16(s.delta);
  for (int i = 0; i < n; i++) o.u16(0);
  return o;
}

Bytes Cmap(const TtfFont& f) {
  Bytes sub = CmapFormat4(f), o;
  o.u16(0), o.u16(2);
  o.u16(0), o.u16(3), o.u32(20);  // Unicode BMP
  o.u16(3), o.u16(1), o.u32(20);  // Windows Unicode BMP, same subtable
  o.append(sub);
  return o;
}

Bytes Name(const TtfFont& f) {
  std::vector<std::pair<int, std::string>> recs = {
      {0, f.copyright}, {1, f.family}, {2, f.style}, {3, f.family + " " + f.style},
      {4, f.family + " " + f.style}, {5, f.version}, {6, f.family + "-" + f.style}};
  Bytes strings, o;
  int count = int(recs.size()) * 2;
  o.u16(0), o.u16(count), o.u16(6 + 12 * count);
  for (int platform : {1, 3})
    for (auto& [id, text] : recs) {
      int offset = int(strings.b.size());
      for (char c : text) platform == 3 ? strings.u16(uint8_t(c)) : strings.u8(c);
      o.u16(platform), o.u16(platform == 3 ? 1 : 0), o.u16(platform == 3 ? 0x0409 : 0);
      o.u16(id), o.u16(int(strings.b.size()) - offset), o.u16(offset);
    }
  o.append(strings);
  return o;
}

Bytes Os2(const TtfFont& f, const Stats& s) {
  Bytes o;
  int em = f.units_per_em;
  o.u16(4), o.s16(s.avg_adv), o.u16(400), o.u16(5), o.u16(0);  // version, avg width, weight, width, embedding: installable
  o.s16(em * 5 / 8), o.s16(em * 5 / 8), o.s16(0), o.s16(em / 8);                  // subscript
  o.s16(em * 5 / 8), o.s16(em * 5 / 8), o.s16(0), o.s16(em * 3 / 8);              // superscript
  o.s16(em / 8), o.s16(em * 3 / 8), o.s16(0);                                      // strikeout, family class
  o.u8(2), o.u8(11), o.u8(6), o.u8(s.fixed_pitch ? 9 : 3), o.zeros(6);            // PANOSE: sans
  o.u32(1), o.u32(0), o.u32(0), o.u32(0);                                          // Basic Latin
  o.u8('K'), o.u8('L'), o.u8('V'), o.u8('N');                                      // vendor
  o.u16(0x0040), o.u16(f.cmap.front().first), o.u16(f.cmap.back().first);        // regular, first, last char
  o.s16(f.ascent), o.s16(f.descent), o.s16(0), o.u16(f.ascent), o.u16(-f.descent);
  o.u32(1), o.u32(0);                                                              // Latin 1 code page
  o.s16(f.x_height), o.s16(f.cap_height), o.u16(0), o.u16(' '), o.u16(0);
  return o;
}

Bytes Post(const Stats& s) {
  Bytes o;
  o.u32(0x00030000), o.u32(0), o.s16(-96), o.s16(64), o.u32(uint32_t(s.fixed_pitch)), o.zeros(16);  // format 3
  return o;
}

}  // namespace

std::vector<uint8_t> BuildTtf(const TtfFont& f) {
  Stats s = Measure(f);
  Bytes glyf, loca;
  GlyfLoca(f, glyf, loca);
  std::map<std::string, Bytes> tables = {
      {"OS/2", Os2(f, s)}, {"cmap", Cmap(f)},     {"glyf", glyf},      {"head", Head(f, s)},
      {"hhea", Hhea(f, s)}, {"hmtx", Hmtx(f)},    {"loca", loca},      {"maxp", Maxp(f, s)},
      {"name", Name(f)},   {"post", Post(s)}};
  int n = int(tables.size()), pow2 = 1, log2 = 0;
  while (pow2 * 2 <= n) pow2 *= 2, log2++;
  Bytes out;
  out.u32(0x00010000), out.u16(n), out.u16(16 * pow2), out.u16(log2), out.u16(16 * n - 16 * pow2);
  uint32_t offset = uint32_t(12 + 16 * n);
  size_t head_at = 0;
  for (auto& [tag, t] : tables) {  // std::map keeps the tags in the required sorted order
    for (char c : tag) out.u8(c);
    out.u32(TableChecksum(t.b)), out.u32(offset), out.u32(uint32_t(t.b.size()));
    if (tag == "head") head_at = offset;
    offset += uint32_t((t.b.size() + 3) / 4 * 4);
  }
  for (auto& [tag, t] : tables) out.append(t), out.pad4();
  out.put32(head_at + 8, 0xB1B0AFBAu - TableChecksum(out.b));
  return out.b;
}
