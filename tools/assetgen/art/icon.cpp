// The program's icon: the player's ship over a piece of the circuit board, in a rounded
// square. Drawn once large and averaged down to each size, so the small ones stay clean.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "art/art.h"
#include "common/png_out.h"

namespace {

constexpr int kMaster = 768;  // every icon size divides it
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

using Picture = std::vector<Rgba>;  // kMaster x kMaster, colours not premultiplied

// Signed distance outside a rounded square of half-size `half` and corner radius `radius`.
float RoundedSquareDistance(float x, float y, float half, float radius) {
  float qx = std::fabs(x) - (half - radius), qy = std::fabs(y) - (half - radius);
  float out = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
  return out + std::min(std::max(qx, qy), 0.f) - radius;
}

Rgba Sample(const Image8& img, float u, float v) {
  int x = std::clamp(int(u), 0, img.w - 1), y = std::clamp(int(v), 0, img.h - 1);
  const uint8_t* p = img.at(x, y);
  return {p[0] / 255.f, p[1] / 255.f, p[2] / 255.f, 1};
}

// The board, dimmed towards the edges so the ship stands out, inside a dark rim.
void Backdrop(Picture& pic) {
  Image8 board = DrawBoard(0x5eed01u, false);
  float half = kMaster * 0.47f, side = float(board.h);
  for (int y = 0; y < kMaster; y++)
    for (int x = 0; x < kMaster; x++) {
      float cx = x + 0.5f - kMaster / 2.f, cy = y + 0.5f - kMaster / 2.f;
      float d = RoundedSquareDistance(cx, cy, half, kMaster * 0.11f);
      if (d > 0) continue;
      Rgba c = Sample(board, (board.w - side) / 2 + (x + 0.5f) * side / kMaster, (y + 0.5f) * side / kMaster);
      float dim = 0.62f - 0.22f * std::hypot(cx, cy) / half;
      float rim = d > -kMaster * 0.018f ? 0.25f : 1.f;
      pic[size_t(y) * kMaster + x] = {c.r * dim * rim, c.g * dim * rim, c.b * dim * rim, 1};
    }
}

// The ship sprite is drawn on black; its black is see-through, as in the game.
void Ship(Picture& pic) {
  float scale = kMaster / 76.f;
  Image8 ship = DrawShip(0, 1, scale, kMaster, kMaster);
  for (int y = 0; y < kMaster; y++)
    for (int x = 0; x < kMaster; x++) {
      const uint8_t* p = ship.at(x, y);
      if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
      pic[size_t(y) * kMaster + x] = {p[0] / 255.f, p[1] / 255.f, p[2] / 255.f, 1};
    }
}

// Each output pixel is the alpha-weighted average of the block of master pixels under it.
std::vector<uint8_t> Shrink(const Picture& pic, int size) {
  int k = kMaster / size;
  std::vector<uint8_t> out(size_t(size) * size * 4);
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      Rgba sum;
      for (int j = 0; j < k; j++)
        for (int i = 0; i < k; i++) {
          const Rgba& p = pic[size_t(y * k + j) * kMaster + x * k + i];
          sum.r += p.r * p.a, sum.g += p.g * p.a, sum.b += p.b * p.a, sum.a += p.a;
        }
      uint8_t* o = &out[(size_t(y) * size + x) * 4];
      float a = sum.a > 0 ? sum.a : 1;
      o[0] = uint8_t(std::lround(std::clamp(sum.r / a, 0.f, 1.f) * 255));
      o[1] = uint8_t(std::lround(std::clamp(sum.g / a, 0.f, 1.f) * 255));
      o[2] = uint8_t(std::lround(std::clamp(sum.b / a, 0.f, 1.f) * 255));
      o[3] = uint8_t(std::lround(sum.a / (k * k) * 255));
    }
  return out;
}

bool WriteRgbaPng(const std::string& path, const std::vector<uint8_t>& rgba, int size) {
  if (!WritePngPixels(path, size, size, 4, rgba.data())) return false;
  std::error_code ignored;
  std::printf("%s: %dx%d RGBA, %ju bytes\n", path.c_str(), size, size, std::uintmax_t(std::filesystem::file_size(path, ignored)));
  return true;
}

}  // namespace

bool WriteIcons(const std::string& dir) {
  Picture pic(size_t(kMaster) * kMaster);
  Backdrop(pic);
  Ship(pic);
  for (int size : kSizes)
    if (!WriteRgbaPng(dir + "/kelvane_" + std::to_string(size) + ".png", Shrink(pic, size), size)) return false;
  return true;
}
