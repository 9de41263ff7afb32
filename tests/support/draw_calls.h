// draw_calls: what a stretch of game code drew, one short line per image frame, text,
// rectangle or line, with the drawing state it was drawn under, to set beside the
// design's tables: "ship#0 240,320 rgb255,255,255 a1 b1 r0 s1" is frame 0 of the ship
// with its handle at (240, 320), white, full alpha, mask blend, unturned, scale 1.
#pragma once
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "game/globals.h"
#include "platform/draw.h"
#include "platform/font.h"

namespace drawcalls {

inline std::string ImageName(const void* image) {
  const std::pair<const std::shared_ptr<TImage>*, const char*> names[] = {
      {&ship_img, "ship"},   {&virus_img, "virus"},     {&bits_img, "bits"},
      {&cpu_img, "cpu"},     {&board_img, "board"},     {&logo_img, "logo"},
      {&pointer_img, "pointer"}, {&firewall_img, "firewall"}, {&pause_backdrop, "backdrop"}};
  for (const auto& n : names)
    if (n.first->get() == image) return n.second;
  return "image";
}

// Two decimals at most, no trailing zeros: 0.8 reads "0.8", 240 reads "240".
inline std::string Num(float v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", std::round(static_cast<double>(v) * 100.0) / 100.0);
  return std::string(b) == "-0" ? "0" : b;
}

inline std::string What(const TDrawCall& c) {
  switch (c.kind) {
    case DC_IMAGE: return ImageName(c.image) + "#" + std::to_string(c.frame);
    case DC_TEXT: return "'" + c.text + "'";
    case DC_RECT: return "rect" + Num(c.w) + "x" + Num(c.h);
    default: return "line-" + Num(c.w) + "," + Num(c.h);
  }
}

inline std::string Line(const TDrawCall& c) {
  std::string scale = c.sx == c.sy ? Num(c.sx) : Num(c.sx) + "x" + Num(c.sy);
  return What(c) + " " + Num(c.x) + "," + Num(c.y) + " rgb" + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
         std::to_string(c.b) + " a" + Num(c.alpha) + " b" + std::to_string(c.blend) + " r" + Num(c.rotation) +
         " s" + scale;
}

// Logs every draw while it lives.
class recorder {
 public:
  recorder() { SetDrawCallLog(&calls); }
  ~recorder() { SetDrawCallLog(nullptr); }
  recorder(const recorder&) = delete;
  recorder& operator=(const recorder&) = delete;

  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const TDrawCall& c : calls) out.push_back(Line(c));
    return out;
  }
  std::vector<std::string> Whats() const {
    std::vector<std::string> out;
    for (const TDrawCall& c : calls) out.push_back(What(c));
    return out;
  }
  void Clear() { calls.clear(); }

  std::vector<TDrawCall> calls;
};

// Where a text centred on (x, y) starts at the given scale, as the stereo drawing works it out.
inline float CentredX(const std::string& text, float x, float scale = 1.0f) {
  return x - MeasureTextWidth(text) * scale / 2;
}
inline float CentredY(float y, float scale = 1.0f) { return y - MeasureTextHeight() * scale / 2; }
inline std::string CentredAt(const std::string& text, float x, float y) {
  return Num(CentredX(text, x)) + "," + Num(CentredY(y));
}

// One i3d or t3d as drawn: once in the caller's colour and blend with stereo off, else
// n passes of the two eye copies d pixels either side, additive, in the "R\\C" eye colours.
struct pair_draw {
  std::string what;
  float x, y;
  std::string rgb, alpha;  // "255,255,255", "1"
  int blend;
  std::string turn_scale;  // "r0 s1.2x1.5"
  float d;
  int n;
};
inline void AddDrawn(const pair_draw& p, int stereo, std::vector<std::string>* lines) {
  auto line = [&p](float x, const std::string& rgb, int blend) {
    return p.what + " " + Num(x) + "," + Num(p.y) + " rgb" + rgb + " a" + p.alpha + " b" + std::to_string(blend) +
           " " + p.turn_scale;
  };
  if (!stereo) return lines->push_back(line(p.x, p.rgb, p.blend));
  for (int i = 0; i < p.n; i++) {
    lines->push_back(line(p.x - p.d, "4,80,60", 4));
    lines->push_back(line(p.x + p.d, "140,4,10", 4));
  }
}

}  // namespace drawcalls
